// The history of changes through the five cards: Salva over a stored record
// keeps the record as it was, the history window shows and brings back the
// earlier versions, and a history that cannot be written stops the Salva.
#include "app/cardwindow.h"
#include "app/registry.h"
#include "app/startup.h"
#include "documents/report.h"
#include "app/reportui.h"
#include "practice/historywindow.h"
#include "storage/archive.h"
#include "storage/filelayer.h"
#include "storage/history.h"
#include "storage/programfolder.h"
#include "storage/records.h"
#include "support/testenv.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QTest>

#include <memory>

using namespace vornel;

namespace {

const QString kUpdated = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");

struct Kind {
    const char* cls;
    const ArchiveDef* archive;
    const char* second;      // a field changed by the second Salva
    const char* secondLabel; // and its label in the history
};

QList<Kind> kinds()
{
    return {
        {"TfrmClienti", &archives::Pazienti, "txtDataNasc", "Data di nascita"},
        {"TfrmCertificati", &archives::Certificati, "txtDataECG", "Data ECG"},
        {"TfrmCertificati_Agonistici", &archives::Agonistici, "txtDataScade", "Data scadenza"},
        {"TfrmCertificati_Disabili", &archives::Disabili, "txtSportApprovato", "Sport approvato"},
        {"TfrmCertificati_NonIdoneita", &archives::NonIdoneita, "txtSportApprovato", "Non idoneo per"},
    };
}

void addKindRows()
{
    QTest::addColumn<int>("kind");
    const QList<Kind> all = kinds();
    for (int k = 0; k < all.size(); ++k)
        QTest::newRow(all[k].cls) << k;
}

QPushButton* button(QWidget* w, const char* name)
{
    return w->findChild<QPushButton*>(QLatin1String(name));
}

QLineEdit* edit(QWidget* w, const char* name)
{
    return w->findChild<QLineEdit*>(QLatin1String(name));
}

QLabel* position(QWidget* card)
{
    return card->findChild<QLabel*>(QStringLiteral("lblPosizione"));
}

CardWindow* showCard(const Kind& kind)
{
    CardWindow* card = findCard(kind.cls);
    goTo(card, nullptr);
    return card;
}

// Every data field of the card filled with a text that fits it.
void fillCard(CardWindow* card, const Kind& kind)
{
    for (const FieldDef& f : kind.archive->layout->fields()) {
        const QString name = QString::fromLatin1(f.name.data(), qsizetype(f.name.size()));
        QLineEdit* e = card->findChild<QLineEdit*>(name);
        if (!e || qobject_cast<QComboBox*>(e->parentWidget()))
            continue;
        QString text = name.mid(3).toUpper();
        if (name == QLatin1String("txtIvaDent") || name == QLatin1String("txtPartitaIva"))
            text = QStringLiteral("12345678901");
        e->setText(text.left(e->maxLength()));
    }
}

// The program folder's file of an archive.
QString programPathOf(const Kind& kind)
{
    return programPath(QString::fromLatin1(kind.archive->fileName));
}

QByteArray storedRecord(const Kind& kind, int pos)
{
    const int size = kind.archive->layout->size();
    return testing::readFile(programPathOf(kind)).mid((pos - 1) * size, size);
}

} // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestEnv> m_env;
    QList<QPair<QString, QStringList>> m_printed;

    void click(QPushButton* b)
    {
        QVERIFY(b && b->isEnabled());
        QTest::mouseClick(b, Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        printing::setPrintSeam([this](const report::Document& doc, QWidget*) {
            m_printed.append({doc.memo(QStringLiteral("txtTitolo")).text(), doc.memo(QStringLiteral("txtRiepilogo")).lines()});
            return true;
        });
    }
    void cleanupTestCase() { printing::setPrintSeam({}); }
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_printed.clear();
        startUp();
    }
    void cleanup()
    {
        shutDown();
        m_env.reset();
    }

    // Overwrite a record twice, see both earlier versions with their changed
    // fields, bring the first back, Salva: three versions are kept and the
    // archive holds the first version's bytes again.
    void overwriteTwiceAndBringTheFirstBack_data() { addKindRows(); }
    void overwriteTwiceAndBringTheFirstBack()
    {
        QFETCH(int, kind);
        const Kind k = kinds()[kind];
        CardWindow* card = showCard(k);
        QPushButton* cmdStorico = button(card, "cmdStorico");
        QVERIFY(cmdStorico);
        QVERIFY(!cmdStorico->isEnabled()); // a new card has no history

        fillCard(card, k);
        click(button(card, "cmdSalva"));
        QCOMPARE(position(card)->text(), QStringLiteral("1"));
        QVERIFY(cmdStorico->isEnabled());
        const QByteArray first = storedRecord(k, 1);

        edit(card, "txtPaziente")->setText(QStringLiteral("ROSSI MARIO"));
        click(button(card, "cmdSalva"));
        edit(card, k.second)->setText(QStringLiteral("01/02/2027"));
        click(button(card, "cmdSalva"));
        QCOMPARE(m_env->lastText(), kUpdated);
        const QByteArray third = storedRecord(k, 1);
        const QString hist = m_env->path(history::fileNameFor(*k.archive));
        QCOMPARE(QFileInfo(hist).size(), 2 * history::sizeFor(*k.archive->layout));

        const QString station = QSysInfo::machineHostName().left(24);
        bool seen = false;
        testing::whenModal<TfrmStorico>([&](TfrmStorico* w) {
            seen = true;
            QCOMPARE(w->windowTitle(), QStringLiteral(" Storico delle modifiche"));
            QCOMPARE(w->lstVersioni->objectName(), QStringLiteral("lstVersioni"));
            const QStringList lines = w->lines();
            QCOMPARE(lines.size(), 2);
            // Newest first: the version before the second Salva, whose
            // change was the second field; then the first version.
            QVERIFY2(lines[0].startsWith(QStringLiteral("14/03/2026 09:26:53  ") + station), qPrintable(lines[0]));
            QVERIFY2(lines[0].endsWith(QStringLiteral("Cambiati: ") + QString::fromUtf8(k.secondLabel)),
                     qPrintable(lines[0]));
            QVERIFY2(lines[1].endsWith(QStringLiteral("Cambiati: Cognome e nome")), qPrintable(lines[1]));
            QVERIFY(!w->cmdRipristina->isEnabled());

            // Quick find selects the line; the comparison marks the changed field.
            QTest::keyClicks(w->txtTrova, QStringLiteral("cognome"));
            QTest::mouseClick(w->btnTrova, Qt::LeftButton);
            QCOMPARE(w->selectedRow(), 1);
            QVERIFY(w->cmdRipristina->isEnabled());
            const int name = k.archive->layout->indexOf(std::string_view("txtPaziente"));
            const int second = k.archive->layout->indexOf(std::string_view(k.second));
            QCOMPARE(w->grdConfronto->item(name, 1)->text(), QStringLiteral("PAZIENTE"));
            QCOMPARE(w->grdConfronto->item(name, 2)->text(), QStringLiteral("ROSSI MARIO"));
            QVERIFY(w->grdConfronto->item(name, 0)->data(Qt::UserRole).toBool());
            QVERIFY(w->grdConfronto->item(second, 0)->data(Qt::UserRole).toBool());
            QVERIFY(w->grdConfronto->item(name, 0)->font().bold());
            const int unchanged = k.archive->layout->indexOf(std::string_view("txtDataNasc")) == second
                                      ? k.archive->layout->indexOf(std::string_view("txtRecapito"))
                                      : k.archive->layout->indexOf(std::string_view("txtDataNasc"));
            QVERIFY(!w->grdConfronto->item(unchanged, 0)->data(Qt::UserRole).toBool());
            QTest::mouseClick(w->cmdRipristina, Qt::LeftButton);
        });
        click(cmdStorico);
        QVERIFY(seen);
        QTRY_VERIFY(!QApplication::activeModalWidget());

        // The card shows the first version at its own position; nothing is
        // stored until Salva.
        QCOMPARE(edit(card, "txtPaziente")->text(), QStringLiteral("PAZIENTE"));
        QCOMPARE(position(card)->text(), QStringLiteral("1"));
        QCOMPARE(storedRecord(k, 1), third);
        click(button(card, "cmdSalva"));
        QCOMPARE(storedRecord(k, 1), first);
        const auto versions = history::versionsOf(hist, *k.archive->layout, 1);
        QCOMPARE(versions.size(), size_t(3));
        QCOMPARE(versions[2].bytes, third);
        QCOMPARE(versions[0].bytes, first);
    }

    // When the history file cannot be written, Salva shows the archive
    // message and the archive stays byte for byte as it was.
    void unwritableHistoryStopsSalva_data() { addKindRows(); }
    void unwritableHistoryStopsSalva()
    {
        QFETCH(int, kind);
        const Kind k = kinds()[kind];
        CardWindow* card = showCard(k);
        fillCard(card, k);
        click(button(card, "cmdSalva"));
        const QString archivePath = programPathOf(k);
        const QByteArray before = testing::readFile(archivePath);

        files::faults::failOn(files::Op::Write, history::fileNameFor(*k.archive));
        edit(card, "txtPaziente")->setText(QStringLiteral("SOPRA"));
        click(button(card, "cmdSalva"));
        QCOMPARE(m_env->messages.last().kind, msg::Kind::Error);
        QCOMPARE(m_env->lastText(), archiveErrorMessage());
        QCOMPARE(testing::readFile(archivePath), before);
        QCOMPARE(position(card)->text(), QStringLiteral("1"));
    }

    // A record never changed says so; Chiudi leaves the card as it was.
    // Stampa prints the lines under the window's title.
    void recordWithoutHistory()
    {
        const Kind k = kinds()[0];
        CardWindow* card = showCard(k);
        fillCard(card, k);
        click(button(card, "cmdSalva"));
        // The test screen is smaller than the card: give it a laptop's room.
        card->showNormal();
        card->resize(1366, 728);
        QTRY_COMPARE(card->size(), QSize(1366, 728));
        testing::moveMouseOver(button(card, "cmdStorico"));
        QCOMPARE(card->findChild<QLabel*>(QStringLiteral("panInfo"))->text(),
                 QStringLiteral("Visualizza le versioni precedenti della scheda in archivio."));
        bool seen = false;
        testing::whenModal<TfrmStorico>([&](TfrmStorico* w) {
            seen = true;
            QCOMPARE(w->lines(), QStringList{TfrmStorico::noHistoryLine()});
            w->selectRow(0);
            QVERIFY(!w->cmdRipristina->isEnabled());
            QTest::mouseClick(w->btnStampa, Qt::LeftButton);
            QTest::mouseClick(w->btnChiudi, Qt::LeftButton);
        });
        click(button(card, "cmdStorico"));
        QVERIFY(seen);
        QCOMPARE(m_printed.size(), 1);
        QCOMPARE(m_printed[0].first, QStringLiteral("Storico delle modifiche"));
        QCOMPARE(m_printed[0].second, QStringList{TfrmStorico::noHistoryLine()});
        QCOMPARE(edit(card, "txtPaziente")->text(), QStringLiteral("PAZIENTE"));
        QVERIFY(!QFileInfo::exists(m_env->path(QStringLiteral("Pazienti_Storico.vrn"))));

        // Nuovo: no stored record, no history to see.
        click(button(card, "cmdNuovo"));
        QVERIFY(!button(card, "cmdStorico")->isEnabled());
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_history.moc"
