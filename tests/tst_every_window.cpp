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
#include "certificates/certificatecard.h"
#include "storage/archive.h"
#include "storage/filelayer.h"
#include "storage/programfolder.h"
#include "storage/records.h"
#include "storage/inifile.h"
#include "support/testenv.h"
#include "practice/core/backup.h"
#include "practice/expiringwindow.h"
#include "practice/strumenti.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace vornel;

namespace {


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
        testing::whenModal<TfrmStrumenti>([&](TfrmStrumenti* w) {
            // Closed with Esci however the checks end.
            const std::shared_ptr<void> closer(nullptr, [w](void*) {
                if (QApplication::activeModalWidget() == w)
                    w->cmdEsci->click();
            });
            QVERIFY(QTest::qWaitForWindowExposed(w));
            inside(w);
            ran = true;
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
        files::faults::clear();
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
            testing::whenModal<TfrmPasswordCopia>([&](TfrmPasswordCopia* p) {
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

            testing::whenModal<TfrmPasswordCopia>([&](TfrmPasswordCopia* p) {
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
            testing::whenModal<TfrmScadenze>([&](TfrmScadenze* s) {
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
    // Enter on the focused button of a dialog presses that button, as Space
    // does, and no other: not the dialog's default button, and nothing
    // when no button has it. Each dialog is opened by its button.
    void enterPressesOnlyTheFocusedButton_data()
    {
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("stored"); // the opener must show a stored record
        const QList<std::tuple<const char*, const char*, bool>> rows{
            {"TfrmClienti", "btnCodFisc", false},
            {"TfrmClienti", "btnPartitaIva", false},
            {"TfrmClienti", "btnPrivacy", false},
            {"TfrmClienti", "cmdFile", false},
            {"TfrmClienti", "cmdCartella", true},
            {"TfrmClienti", "cmdGuida", false},
            {"TfrmCertificati_Agonistici", "cmdStampa", true},
            {"TfrmCertificati_Agonistici", "cmdAnteprima", true},
            {"TfrmAvvio", "imgInfo", false},
            {"TfrmAvvio", "imgCopyright", false},
        };
        for (const auto& [opener, button, stored] : rows)
            QTest::addRow("%s %s", opener, button) << opener << button << stored;
    }
    void enterPressesOnlyTheFocusedButton()
    {
        QFETCH(QString, opener);
        QFETCH(QString, button);
        QFETCH(bool, stored);
        QWidget* w = findWindow(qPrintable(opener));
        QVERIFY(w);
        if (w != instance<TfrmAvvio>())
            goTo(w, instance<TfrmAvvio>());
        QVERIFY(QTest::qWaitForWindowExposed(w));
        if (stored) {
            const bool patient = opener == QLatin1String("TfrmClienti");
            Archive archive(patient ? archives::Pazienti : archives::Agonistici);
            archive.open();
            Record r(patient ? layouts::TSchedaPaziente : layouts::TSchedaAgonistica);
            r.setText("txtPaziente", QStringLiteral("ROSSI MARIO"));
            r.setFlag(patient ? "chkRicontatta" : "chkCompletato", false);
            archive.append(r);
            QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdPrimo")), Qt::LeftButton);
            QCOMPARE(w->findChild<QLabel*>(QStringLiteral("lblPosizione"))->text(), QStringLiteral("1"));
        }
        int checked = 0;
        QString opened;
        testing::onNextModal([&](QWidget* modal) {
            opened = QLatin1String(modal->metaObject()->className());
            // Closed however the checks end.
            const std::shared_ptr<void> closer(nullptr, [modal](void*) {
                if (auto* d = qobject_cast<QDialog*>(modal))
                    d->done(QDialog::Rejected);
            });
            QVERIFY(QTest::qWaitForWindowExposed(modal));
            QList<QPushButton*> buttons;
            for (QPushButton* b : modal->findChildren<QPushButton*>()) {
                if (b->isVisibleTo(modal) && b->isEnabled() && (b->focusPolicy() & Qt::TabFocus))
                    buttons << b;
            }
            QVERIFY(!buttons.isEmpty());
            // The buttons only tell that they were pressed.
            QList<std::shared_ptr<QSignalSpy>> spies;
            for (QPushButton* b : buttons) {
                QObject::disconnect(b, &QAbstractButton::clicked, nullptr, nullptr);
                spies << std::make_shared<QSignalSpy>(b, &QAbstractButton::clicked);
            }
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
                for (int i = 0; i < buttons.size(); ++i) {
                    buttons[i]->setFocus(Qt::TabFocusReason);
                    QTRY_VERIFY(buttons[i]->hasFocus());
                    pressKey(modal, key);
                    for (int j = 0; j < buttons.size(); ++j) {
                        QVERIFY2(spies[j]->count() == (i == j ? 1 : 0),
                                 qPrintable(QStringLiteral("Enter on %1 pressed %2 %3 times")
                                                .arg(buttons[i]->objectName(), buttons[j]->objectName())
                                                .arg(spies[j]->count())));
                        spies[j]->clear();
                    }
                    ++checked;
                }
            }
        });
        QWidget* control = w->findChild<QWidget*>(button);
        QVERIFY(control);
        QTest::mouseClick(control, Qt::LeftButton);
        QVERIFY2(!opened.isEmpty(), "no dialog opened");
        QVERIFY2(checked > 0, qPrintable(opened));
    }

    // The dialogs of the patient card, restored from the taskbar, keep what
    // the user typed in them.
    void restoredDialogKeepsWhatWasTyped_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::newRow("TfrmCodFisc") << "btnCodFisc" << "txtCodFisc";
        QTest::newRow("TfrmPartitaIva") << "btnPartitaIva" << "txtPartitaIva";
        QTest::newRow("TfrmAllegaCartella") << "cmdFile" << "txtDesc01";
        QTest::newRow("TfrmPrivacy") << "btnPrivacy" << "txtPrivacy";
    }
    void restoredDialogKeepsWhatWasTyped()
    {
        QFETCH(QString, button);
        QFETCH(QString, field);
        QWidget* card = findWindow("TfrmClienti");
        goTo(card, instance<TfrmAvvio>());
        QVERIFY(QTest::qWaitForWindowExposed(card));
        QString typed, kept;
        testing::onNextModal([&](QWidget* modal) {
            const std::shared_ptr<void> closer(nullptr, [modal](void*) {
                if (auto* d = qobject_cast<QDialog*>(modal))
                    d->done(QDialog::Rejected);
            });
            QVERIFY(QTest::qWaitForWindowExposed(modal));
            auto* edit = modal->findChild<QLineEdit*>(field);
            QVERIFY(edit);
            edit->setFocus();
            QTest::keyClicks(edit, QStringLiteral("12345"));
            typed = edit->text();
            minimiseAndRestore(modal);
            kept = edit->text();
        });
        QTest::mouseClick(card->findChild<QWidget*>(button), Qt::LeftButton);
        QVERIFY(!typed.isEmpty());
        QCOMPARE(kept, typed);
    }

    void certificateCards_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("archive");
        QTest::newRow("TfrmCertificati") << "TfrmCertificati" << "Certificati.vrn";
        QTest::newRow("TfrmCertificati_Agonistici") << "TfrmCertificati_Agonistici" << "Certificati_Agonistici.vrn";
        QTest::newRow("TfrmCertificati_Disabili") << "TfrmCertificati_Disabili" << "Certificati_Disabili.vrn";
        QTest::newRow("TfrmCertificati_NonIdoneita") << "TfrmCertificati_NonIdoneita" << "Certificati_Non_Idoneita.vrn";
    }

    // A VAT number pasted with its country prefix: the letters go first,
    // then the field keeps its eleven digits.
    void vatPastedWithItsPrefix_data() { certificateCards_data(); }
    void vatPastedWithItsPrefix()
    {
        QFETCH(QString, card);
        auto* w = static_cast<CertificateCard*>(findWindow(qPrintable(card)));
        goTo(w, instance<TfrmAvvio>());
        QVERIFY(QTest::qWaitForWindowExposed(w));
        auto* iva = w->findChild<QLineEdit*>(QStringLiteral("txtIvaDent"));
        iva->setFocus();
        QTRY_VERIFY(iva->hasFocus());
        QGuiApplication::clipboard()->setText(QStringLiteral("IT01234567890"));
        QTest::keyClick(w->windowHandle(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(iva->text(), QStringLiteral("01234567890"));
    }

    // Through the file seam, on every certificate card: an archive that
    // cannot be opened or written fails Salva with the archive message and
    // leaves the file as it was; a settings file that cannot be written or
    // replaced keeps the card open with the settings message and the file
    // unchanged.
    void cardFileFaults_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("archive");
        QTest::addColumn<int>("op");
        const QList<std::pair<const char*, const char*>> cards{
            {"TfrmCertificati", "Certificati.vrn"},
            {"TfrmCertificati_Agonistici", "Certificati_Agonistici.vrn"},
            {"TfrmCertificati_Disabili", "Certificati_Disabili.vrn"},
            {"TfrmCertificati_NonIdoneita", "Certificati_Non_Idoneita.vrn"}};
        for (const auto& [card, archive] : cards) {
            QTest::addRow("%s open", card) << card << archive << int(files::Op::Open);
            QTest::addRow("%s write", card) << card << archive << int(files::Op::Write);
            QTest::addRow("%s rename", card) << card << archive << int(files::Op::Rename);
        }
    }
    void cardFileFaults()
    {
        QFETCH(QString, card);
        QFETCH(QString, archive);
        QFETCH(int, op);
        auto* w = static_cast<CertificateCard*>(findWindow(qPrintable(card)));
        goTo(w, instance<TfrmAvvio>());
        for (QLineEdit* field : w->fields())
            field->setText(field->objectName().mid(3, 8));
        w->findChild<QLineEdit*>(QStringLiteral("txtIvaDent"))->setText(QStringLiteral("01234567890"));
        QTest::mouseClick(w->cmdSalva, Qt::LeftButton);
        QCOMPARE(w->lblPosizione->text(), QStringLiteral("1"));
        const QString archivePath = programPath(archive);
        const QByteArray stored = testing::readFile(archivePath);
        m_env->messages.clear();

        if (op != int(files::Op::Rename)) { // appends write in place
            files::faults::failOn(files::Op(op), archive);
            w->lblPosizione->clear(); // a new certificate
            QTest::mouseClick(w->cmdSalva, Qt::LeftButton);
            QCOMPARE(m_env->texts(), QStringList{archiveErrorMessage()});
            QCOMPARE(m_env->messages.first().kind, msg::Kind::Error);
            QCOMPARE(testing::readFile(archivePath), stored);
            QCOMPARE(w->lblPosizione->text(), QString());
            files::faults::clear();
            m_env->messages.clear();
        }

        const QString settings = programPath(QStringLiteral("Studio_Medico_Vrn.ini"));
        const QByteArray before = "[Modulo Privacy]\r\nStudio Medico=Studio Salus\r\nTitolare Privacy=Dott. Neri\r\n";
        testing::writeFile(settings, before);
        files::faults::failOn(files::Op(op), QStringLiteral("Studio_Medico_Vrn.ini"));
        m_env->confirmAnswer = false; // No: the card stays, to try again
        QTest::mouseClick(w->cmdEsci, Qt::LeftButton);
        m_env->confirmAnswer = true;
        QCOMPARE(m_env->texts(), QStringList({QStringLiteral("Unable to write to ") + settings, QStringLiteral("I dati dello studio medico non sono stati salvati.\r\n\r\nSi vuole chiudere ugualmente la finestra senza salvarli?")}));
        QVERIFY(w->isVisible());
        QCOMPARE(testing::readFile(settings), before);
        QCOMPARE(QDir(m_env->folder()).entryList({QStringLiteral("*.ini*")}, QDir::Files | QDir::Hidden),
                 QStringList{"Studio_Medico_Vrn.ini"});
        files::faults::clear();
        QTest::mouseClick(w->cmdEsci, Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QVERIFY(IniFile(settings).read(QStringLiteral("Modulo Privacy"), QStringLiteral("Titolare Privacy"))
                == QStringLiteral("Dott. Neri"));
    }
};

QTEST_MAIN(TstEveryWindow)
#include "tst_every_window.moc"
