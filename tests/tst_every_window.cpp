// Every window with a status line, and the dialogs of the practice tools,
// driven as a user drives them: the real pointer moved over each control,
// keys pressed on the window (they reach the focused control), a minimised
// window restored from the taskbar.
#include "app/filedialogs.h"
#include "app/look.h"
#include "app/mainmenu.h"
#include "app/password.h"
#include "app/registry.h"
#include "app/startup.h"
#include "storage/inifile.h"
#include "support/testenv.h"
#include "tools/core/backup.h"
#include "tools/expiringwindow.h"
#include "tools/strumenti.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace vornel;

namespace {

// Runs 'action' once a modal window of class T is on top.
template <class T>
void whenModal(const std::function<void(T*)>& action)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(w);
        }
    });
    timer->start();
}

QString describe(const QWidget* w)
{
    if (!w)
        return QStringLiteral("(the window itself)");
    return QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()), w->objectName());
}

// The controls of a window that carry a hint, and the areas that clear it.
QList<QWidget*> withProperty(QWidget* window, const char* property)
{
    QList<QWidget*> out;
    QList<QWidget*> all = window->findChildren<QWidget*>();
    all.prepend(window);
    for (QWidget* w : all) {
        const QVariant v = w->property(property);
        if (v.isValid() && (qstrcmp(property, "vornelClearsHint") != 0 || v.toBool()) && w->isVisibleTo(window))
            out << w;
    }
    return out;
}

// A point of 'area' where the pointer is over the area itself (no child, no
// sibling on top of it); (-1, -1) when there is none.
QPoint ownSpot(QWidget* window, QWidget* area)
{
    const QPoint centre = area->rect().center();
    QPoint best(-1, -1);
    int bestDistance = INT_MAX;
    for (int y = 1; y < area->height() - 1; y += 3) {
        for (int x = 1; x < area->width() - 1; x += 3) {
            QWidget* under = window->childAt(area->mapTo(window, QPoint(x, y)));
            if (under != (area == window ? nullptr : area))
                continue;
            const int d = (QPoint(x, y) - centre).manhattanLength();
            if (d < bestDistance) {
                bestDistance = d;
                best = QPoint(x, y);
            }
        }
    }
    return best;
}

// Moves the real pointer over every point that matters of every control with
// a hint: the hint shows and stays while the pointer moves on the control,
// and every background area clears it.
void checkEveryHint(QWidget* window)
{
    QVERIFY(QTest::qWaitForWindowExposed(window));
    auto* status = window->findChild<QLabel*>(QStringLiteral("panInfo"));
    QVERIFY(status);
    const QList<QWidget*> controls = withProperty(window, "vornelHint");
    QVERIFY(!controls.isEmpty());
    QList<std::pair<QWidget*, QPoint>> areas;
    for (QWidget* area : withProperty(window, "vornelClearsHint")) {
        const QPoint spot = ownSpot(window, area);
        if (spot.x() >= 0)
            areas.append({area, spot});
    }
    QVERIFY(!areas.isEmpty());
    const auto& [home, homeSpot] = areas.first();

    for (QWidget* control : controls) {
        const QString hint = control->property("vornelHint").toString();
        const QString name = describe(control);
        QVERIFY2(!hint.isEmpty(), qPrintable(name));
        testing::moveMouseTo(home, homeSpot);
        QVERIFY2(status->text().isEmpty(), qPrintable(name + QStringLiteral(": not cleared by ") + describe(home)));
        const int w = control->width(), h = control->height();
        const QList<QPoint> points{control->rect().center(), {2, h / 2},     {w - 3, h / 2},
                                   {w / 2, 2},               {w / 2, h - 3}, {w - 3, h - 3},
                                   control->rect().center() + QPoint(1, 1)};
        for (const QPoint& p : points) {
            QWidget* under = window->childAt(control->mapTo(window, p));
            QVERIFY2(under == control || control->isAncestorOf(under),
                     qPrintable(QStringLiteral("%1 is covered by %2").arg(name, describe(under))));
            testing::moveMouseTo(control, p);
            QVERIFY2(status->text() == hint,
                     qPrintable(QStringLiteral("%1 at %2,%3 shows \"%4\"").arg(name).arg(p.x()).arg(p.y()).arg(status->text())));
        }
    }
    for (const auto& [area, spot] : areas) {
        testing::moveMouseOver(controls.first());
        QVERIFY(!status->text().isEmpty());
        testing::moveMouseTo(area, spot);
        QVERIFY2(status->text().isEmpty(), qPrintable(describe(area) + QStringLiteral(" does not clear the hint")));
    }
}

// Minimises a shown window and restores it, as the taskbar does.
void minimiseAndRestore(QWidget* w)
{
    QVERIFY(w->isVisible());
    w->showMinimized();
    QTRY_VERIFY(w->isMinimized());
    w->showNormal();
    QTRY_VERIFY(!w->isMinimized());
    QCoreApplication::processEvents();
}

// A key pressed on the window, as the keyboard does: it reaches whatever has
// the focus.
void pressKey(QWidget* window, Qt::Key key)
{
    QTest::keyClick(window->windowHandle(), key);
    QCoreApplication::processEvents();
}

} // namespace

class TstEveryWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;
    QTemporaryDir m_dest;

    // Opens the tools from the main menu's picture, runs 'inside' on the
    // window, and closes it with Esci.
    void withTools(const std::function<void(TfrmStrumenti*)>& inside)
    {
        bool ran = false;
        whenModal<TfrmStrumenti>([&](TfrmStrumenti* w) {
            QVERIFY(QTest::qWaitForWindowExposed(w));
            inside(w);
            ran = true;
            if (QApplication::activeModalWidget() == w)
                w->cmdEsci->click();
        });
        QTest::mouseClick(instance<TfrmAvvio>()->imgStrumenti, Qt::LeftButton);
        QVERIFY(ran);
        QVERIFY(!QApplication::activeModalWidget());
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        dialogs::setFolderResponder([this](const QString&, const QString&) { return m_dest.path(); });
        startUp();
        goTo(instance<TfrmAvvio>(), instance<TfrmPassword>());
    }
    void cleanup()
    {
        testing::closeModals();
        shutDown();
        dialogs::setFolderResponder({});
        m_env.reset();
        for (const QString& f : QDir(m_dest.path()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(m_dest.filePath(f));
    }

    void hintsOfTheCards_data()
    {
        QTest::addColumn<QString>("card");
        for (const char* c : {"TfrmClienti", "TfrmCertificati", "TfrmCertificati_Agonistici", "TfrmCertificati_Disabili",
                              "TfrmCertificati_NonIdoneita"})
            QTest::newRow(c) << QString::fromLatin1(c);
    }
    void hintsOfTheCards()
    {
        QFETCH(QString, card);
        QWidget* w = findWindow(qPrintable(card));
        QVERIFY(w);
        goTo(w, instance<TfrmAvvio>());
        // The test screen is smaller than the card: give it a laptop's room.
        w->showNormal();
        w->resize(1366, 728);
        QTRY_COMPARE(w->size(), QSize(1366, 728));
        checkEveryHint(w);
    }

    // The export windows, opened with the Esporta picture of their card.
    void hintsOfTheExportWindows_data() { hintsOfTheCards_data(); }
    void hintsOfTheExportWindows()
    {
        QFETCH(QString, card);
        QWidget* w = findWindow(qPrintable(card));
        goTo(w, instance<TfrmAvvio>());
        bool ran = false;
        testing::onNextModal([&](QWidget* modal) {
            ran = QLatin1String(modal->metaObject()->className()).startsWith(QLatin1String("TfrmExp"));
            checkEveryHint(modal);
            modal->close();
        });
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdEsporta")), Qt::LeftButton);
        QVERIFY(ran);
    }

    void hintsOfTheToolsWindow()
    {
        withTools([](TfrmStrumenti* w) { checkEveryHint(w); });
    }

    // The password of a protected copy: Enter in a field moves on, Enter on a
    // focused button presses it, the keypad's Enter too.
    void enterPressesTheButtonsOfTheCopyPassword()
    {
        bool cancelled = false;
        withTools([&](TfrmStrumenti* w) {
            QTest::mouseClick(w->chkPassword, Qt::LeftButton);
            QVERIFY(w->chkPassword->isChecked());
            // First the copy is given up with Annulla, reached by Tab.
            whenModal<TfrmPasswordCopia>([&](TfrmPasswordCopia* p) {
                QVERIFY(QTest::qWaitForWindowExposed(p));
                QTRY_VERIFY(p->txtPassword->hasFocus());
                pressKey(p, Qt::Key_Tab);
                pressKey(p, Qt::Key_Tab);
                pressKey(p, Qt::Key_Tab);
                QTRY_VERIFY(p->btnAnnulla->hasFocus());
                pressKey(p, Qt::Key_Enter);
                cancelled = !p->isVisible();
                if (p->isVisible())
                    p->reject();
            });
            QTest::mouseClick(w->cmdCopia, Qt::LeftButton);
            QVERIFY(cancelled);
            QCOMPARE(QDir(m_dest.path()).entryList(QDir::Files), QStringList());

            whenModal<TfrmPasswordCopia>([&](TfrmPasswordCopia* p) {
                QVERIFY(QTest::qWaitForWindowExposed(p));
                QTRY_VERIFY(p->txtPassword->hasFocus());
                QTest::keyClicks(p->txtPassword, QStringLiteral("Segreta"));
                pressKey(p, Qt::Key_Return);
                QTRY_VERIFY(p->txtConferma->hasFocus());
                QVERIFY(p->isVisible());
                QTest::keyClicks(p->txtConferma, QStringLiteral("Segreta"));
                pressKey(p, Qt::Key_Return); // back to the first field, nothing pressed
                QTRY_VERIFY(p->txtPassword->hasFocus());
                QVERIFY(p->isVisible());
                pressKey(p, Qt::Key_Tab);
                pressKey(p, Qt::Key_Tab);
                QTRY_VERIFY(p->btnOK->hasFocus());
                pressKey(p, Qt::Key_Return);
                if (p->isVisible())
                    p->reject();
            });
            QTest::mouseClick(w->cmdCopia, Qt::LeftButton);
        });
        const QStringList copies = QDir(m_dest.path()).entryList({QStringLiteral("*.zip")}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        QVERIFY(backup::isEncrypted(m_dest.filePath(copies.first())));
        QVERIFY(m_env->lastText().startsWith(QStringLiteral("Copia di sicurezza creata e verificata.")));
    }

    // Restoring the minimised tools window is no new showing: what it shows
    // is what it read when it opened; the next opening reads afresh.
    void restoredToolsWindowKeepsWhatItShows()
    {
        const QString settings = m_env->path(QStringLiteral("Studio_Medico_Vrn.ini"));
        const QString none = QStringLiteral("Nessuna copia di sicurezza eseguita.");
        withTools([&](TfrmStrumenti* w) {
            QCOMPARE(w->lblUltimaCopia->text(), none);
            w->chkPassword->setChecked(true);
            // Another workstation makes a copy meanwhile.
            IniFile(settings).write(QStringLiteral("Copia di sicurezza"), QStringLiteral("Ultimo file"),
                                    QStringLiteral("/altrove/copia.zip"));
            minimiseAndRestore(w);
            QCOMPARE(w->lblUltimaCopia->text(), none);
            QVERIFY(w->chkPassword->isChecked());
        });
        withTools([&](TfrmStrumenti* w) { QVERIFY(w->lblUltimaCopia->text().contains(QStringLiteral("copia.zip"))); });
    }

    void restoredExpiringListKeepsWhatWasTyped()
    {
        bool checked = false;
        withTools([&](TfrmStrumenti* w) {
            whenModal<TfrmScadenze>([&](TfrmScadenze* s) {
                QVERIFY(QTest::qWaitForWindowExposed(s));
                QTRY_VERIFY(s->txtGiorni->hasFocus());
                QCOMPARE(s->txtGiorni->text(), QStringLiteral("30"));
                s->txtGiorni->clear();
                QTest::keyClicks(s->txtGiorni, QStringLiteral("90"));
                QTest::keyClicks(s->txtTrova, QStringLiteral("Rossi"));
                minimiseAndRestore(s);
                QCOMPARE(s->txtGiorni->text(), QStringLiteral("90"));
                QCOMPARE(s->txtTrova->text(), QStringLiteral("Rossi"));
                checked = true;
                s->close();
            });
            QTest::mouseClick(w->cmdScadenze, Qt::LeftButton);
        });
        QVERIFY(checked);
    }

    // A card restored from the taskbar keeps what the user typed on it.
    void restoredCardKeepsWhatWasTyped_data() { hintsOfTheCards_data(); }
    void restoredCardKeepsWhatWasTyped()
    {
        QFETCH(QString, card);
        QWidget* w = findWindow(qPrintable(card));
        goTo(w, instance<TfrmAvvio>());
        QVERIFY(QTest::qWaitForWindowExposed(w));
        auto* name = w->findChild<QLineEdit*>(QStringLiteral("txtPaziente"));
        QVERIFY(name);
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("Rossi Mario"));
        minimiseAndRestore(w);
        QCOMPARE(name->text(), QStringLiteral("Rossi Mario"));
        // A new showing from the main menu starts the card afresh.
        goTo(instance<TfrmAvvio>(), w);
        goTo(w, instance<TfrmAvvio>());
        QCOMPARE(name->text(), QString());
    }
};

QTEST_MAIN(TstEveryWindow)
#include "tst_every_window.moc"
