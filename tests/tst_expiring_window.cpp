// The competitive certificates about to expire: the sentence of the tools
// window, the list opened from it, its search, double-click, printout and
// export, driven from the main menu as a user does.
#include "app/look.h"
#include "app/mainmenu.h"
#include "app/registry.h"
#include "app/startup.h"
#include "certificates/certificatecards.h"
#include "storage/archive.h"
#include "storage/clock.h"
#include "storage/filelayer.h"
#include "storage/programfolder.h"
#include "support/office.h"
#include "support/testenv.h"
#include "practice/expiringwindow.h"
#include "app/reportui.h"
#include "practice/strumenti.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>

#include <functional>
#include <memory>

using namespace vornel;

namespace {

struct Cert {
    const ArchiveDef* archive;
    QString name, birth, sport, issued, expires;
};

void addCertificate(const Cert& c)
{
    Archive archive(*c.archive);
    archive.open();
    Record r(*c.archive->layout);
    r.setText("txtPaziente", c.name);
    r.setText("txtDataNasc", c.birth);
    r.setText("txtSportRichiesto", c.sport);
    r.setText("txtSportApprovato", c.sport);
    r.setText("txtNumMesi", QStringLiteral("12"));
    r.setText("txtData", c.issued);
    r.setText("txtDataScade", c.expires);
    r.setText("txtMedico", QStringLiteral("Dott. Neri"));
    r.setFlag("chkCompletato", true);
    archive.append(r);
}

void addPatient(const QString& name, const QString& birth, const QString& phone, const QString& mobile = {},
                const QString& home = {})
{
    Archive archive(archives::Pazienti);
    archive.open();
    Record r(layouts::TSchedaPaziente);
    r.setText("txtPaziente", name);
    r.setText("txtDataNasc", birth);
    r.setText("txtRecapito", phone);
    r.setText("txtTelCel", mobile);
    r.setText("txtTelCasa", home);
    r.setFlag("chkRicontatta", false);
    archive.append(r);
}

// Today is 10/12/2026 in every test.
void addFixture()
{
    const auto* ago = &archives::Agonistici;
    const auto* dis = &archives::Disabili;
    addCertificate({ago, "Rossi Mario", "01/02/2000", "CALCIO", "20/12/2025", "20/12/2026"});     // 1: in 10 days
    addCertificate({ago, "Bianchi Anna", "03/04/1990", "NUOTO", "05/01/2026", "05/01/2027"});     // 2: in 26 days
    addCertificate({ago, "Verdi Luca", "05/06/1985", "CICLISMO", "01/12/2025", "01/12/2026"});    // 3: 9 days ago
    addCertificate({ago, "Neri Carla", "07/08/1995", "TENNIS", "01/01/2026", "31/02/2027"});      // 4: unreadable
    addCertificate({ago, "Gallo Piero", "09/10/1970", "CALCIO", "01/06/2026", "01/06/2027"});     // 5: far away
    addCertificate({dis, "Conti Elisa", "11/12/2001", "SCHERMA", "15/12/2025", "15/12/2026"});    // 1: in 5 days
    addCertificate({dis, "Conti Elisa", "11/12/2001", "SCHERMA", "14/12/2025", "14/12/2026"});    // 2: older renewal hidden
    addPatient("Rossi Mario", "01/02/2000", "333 1234567");
    addPatient("Conti Elisa", "11/12/2001", "0547 11111");
    addPatient("conti elisa", "11/12/2001", "0547 22222"); // two patients: no telephone
}

QString kindOfLine(const QString& line)
{
    return line.mid(124, 10).trimmed();
}

} // namespace

class TestExpiringWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> m_env;
    QList<QPair<QString, QStringList>> m_printed;

    // Opens the tools window from the main menu and runs 'drive' on it.
    void withTools(const std::function<void(TfrmStrumenti*)>& drive)
    {
        auto* menu = instance<TfrmAvvio>();
        goTo(menu, nullptr);
        bool ran = false;
        testing::onNextModal([&](QWidget* w) {
            auto* tools = qobject_cast<TfrmStrumenti*>(w);
            QVERIFY(tools);
            ran = true;
            drive(tools);
            if (tools->isVisible())
                tools->close();
        });
        QTest::mouseClick(menu->imgStrumenti, Qt::LeftButton);
        QVERIFY(ran);
    }
    // Opens the list from the tools window and runs 'drive' on it.
    void withList(const std::function<void(TfrmScadenze*)>& drive)
    {
        withTools([&](TfrmStrumenti* tools) {
            bool ran = false;
            testing::onNextModal([&](QWidget* w) {
                auto* list = qobject_cast<TfrmScadenze*>(w);
                QVERIFY(list);
                ran = true;
                drive(list);
                if (list->isVisible())
                    list->close();
            });
            QTest::mouseClick(tools->cmdScadenze, Qt::LeftButton);
            QVERIFY(ran);
        });
    }
    static QStringList names(const QStringList& lines)
    {
        QStringList out;
        for (const QString& l : lines)
            out << l.mid(32, 30).trimmed();
        return out;
    }

private slots:
    void initTestCase()
    {
        printing::setPrintSeam([this](const report::Document& doc, QWidget*) {
            m_printed.append({doc.memo(QStringLiteral("txtTitolo")).text(),
                              doc.memo(QStringLiteral("txtRiepilogo")).lines()});
            return true;
        });
    }
    void cleanupTestCase() { printing::setPrintSeam({}); }
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        clock::setFixedNow(QDateTime(QDate(2026, 12, 10), QTime(10, 0)));
        m_printed.clear();
        startUp();
    }
    void cleanup()
    {
        shutDown();
        m_env.reset();
    }

    void sentenceOfTheToolsWindow()
    {
        withTools([](TfrmStrumenti* tools) {
            QCOMPARE(tools->lblScadenze->text(),
                     QStringLiteral("Nessun certificato agonistico in scadenza nei prossimi 30 giorni."));
            QCOMPARE(tools->cmdScadenze->text(), QStringLiteral("Certificati in scadenza"));
        });
        // Reading the missing archives created them empty.
        QVERIFY(QFileInfo::exists(programPath(QStringLiteral("Certificati_Agonistici.vrn"))));
        QVERIFY(QFileInfo::exists(programPath(QStringLiteral("Certificati_Disabili.vrn"))));

        addFixture();
        withTools([](TfrmStrumenti* tools) {
            QCOMPARE(tools->lblScadenze->text(),
                     QStringLiteral("3 certificati agonistici scadono nei prossimi 30 giorni."));
        });
    }

    // Opened with 30 days: the renewal hides its older certificate, the
    // expired one is left out, the unreadable date comes last.
    void listOpensOnThirtyDays()
    {
        addFixture();
        withList([](TfrmScadenze* list) {
            QCOMPARE(list->windowTitle(), QStringLiteral(" Certificati agonistici in scadenza"));
            QCOMPARE(list->txtGiorni->text(), QStringLiteral("30"));
            QVERIFY(!list->chkScaduti->isChecked());
            const QStringList lines = list->lines();
            QCOMPARE(names(lines), (QStringList{"Conti Elisa", "Rossi Mario", "Bianchi Anna", "Neri Carla"}));
            QCOMPARE(lines[0].left(32), QStringLiteral("15/12/2026  Giorni:     5       "));
            QCOMPARE(kindOfLine(lines[0]), QStringLiteral("Disabili"));
            QVERIFY2(lines[0].endsWith(QStringLiteral("Tel.: ")), qPrintable(lines[0])); // two patients of that name
            QVERIFY(lines[1].endsWith(QStringLiteral("Tel.: 333 1234567")));
            QCOMPARE(kindOfLine(lines[1]), QStringLiteral("Agonistico"));
            QCOMPARE(lines[3].left(32), QStringLiteral("31/02/2027  data non leggibile  "));
            QCOMPARE(list->lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 4 certificati."));
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list->txtGiorni));
        });
    }

    // Digits only in the days field; Enter there searches, and the box adds
    // the certificates expired in the last twelve months.
    void daysAndExpiredSearch()
    {
        addFixture();
        withList([](TfrmScadenze* list) {
            list->txtGiorni->selectAll();
            QTest::keyClicks(list->txtGiorni, QStringLiteral("1x5"));
            QCOMPARE(list->txtGiorni->text(), QStringLiteral("15"));
            QTest::keyClick(list->txtGiorni, Qt::Key_Return);
            QCOMPARE(names(list->lines()), (QStringList{"Conti Elisa", "Rossi Mario", "Neri Carla"}));

            QTest::mouseClick(list->chkScaduti, Qt::LeftButton, {}, QPoint(8, list->chkScaduti->height() / 2));
            QVERIFY(list->chkScaduti->isChecked());
            QTest::mouseClick(list->btnCerca, Qt::LeftButton);
            const QStringList lines = list->lines();
            QCOMPARE(names(lines), (QStringList{"Verdi Luca", "Conti Elisa", "Rossi Mario", "Neri Carla"}));
            QCOMPARE(lines[0].left(32), QStringLiteral("01/12/2026  Giorni:    -9       "));
            QCOMPARE(list->lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 4 certificati."));
        });
    }

    // The double-click loads the certificate with its position into its
    // card, closes the list and the tools window, and shows the card.
    void doubleClickLoadsTheCard_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("disabled");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expires");
        QTest::addColumn<QString>("position");
        // Conti Elisa: the later of her two certificates.
        QTest::newRow("disabled athletes' card") << 0 << true << QStringLiteral("Conti Elisa") << QStringLiteral("15/12/2026") << QStringLiteral("1");
        QTest::newRow("competitive card, first") << 1 << false << QStringLiteral("Rossi Mario") << QStringLiteral("20/12/2026") << QStringLiteral("1");
        QTest::newRow("competitive card, second") << 2 << false << QStringLiteral("Bianchi Anna") << QStringLiteral("05/01/2027") << QStringLiteral("2");
        QTest::newRow("unreadable date") << 3 << false << QStringLiteral("Neri Carla") << QStringLiteral("31/02/2027") << QStringLiteral("4");
    }
    void doubleClickLoadsTheCard()
    {
        QFETCH(int, row);
        QFETCH(bool, disabled);
        QFETCH(QString, name);
        QFETCH(QString, expires);
        QFETCH(QString, position);
        addFixture();
        withList([&](TfrmScadenze* list) {
            const QModelIndex index = list->lstRecords->model()->index(row, 0);
            const QRect r = list->lstRecords->visualRect(index);
            QTest::mouseClick(list->lstRecords->viewport(), Qt::LeftButton, {}, r.center());
            QTest::mouseDClick(list->lstRecords->viewport(), Qt::LeftButton, {}, r.center());
            QVERIFY(!list->isVisible());
        });
        CertificateCard* card = disabled ? static_cast<CertificateCard*>(instance<TfrmCertificati_Disabili>())
                                         : static_cast<CertificateCard*>(instance<TfrmCertificati_Agonistici>());
        CertificateCard* other = disabled ? static_cast<CertificateCard*>(instance<TfrmCertificati_Agonistici>())
                                          : static_cast<CertificateCard*>(instance<TfrmCertificati_Disabili>());
        QVERIFY(card->isVisible());
        QVERIFY(!other->isVisible());
        QVERIFY(!instance<TfrmAvvio>()->isVisible());
        QVERIFY(!QApplication::activeModalWidget()); // the tools window is closed too
        QCOMPARE(card->findChild<QLineEdit*>("txtPaziente")->text(), name);
        QCOMPARE(card->findChild<QLineEdit*>("txtDataScade")->text(), expires);
        QCOMPARE(card->findChild<QLabel*>("lblPosizione")->text(), position);
    }

    // Like every list: no default button, Enter in the list and Esc do
    // nothing, the quick find selects the line found.
    void keysAndQuickFind()
    {
        addFixture();
        bool open = false, noDefault = true;
        int found = -1;
        withList([&](TfrmScadenze* list) {
            for (QPushButton* b : list->findChildren<QPushButton*>())
                noDefault = noDefault && !b->isDefault();
            list->lstRecords->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list->lstRecords));
            testing::pressEnter(list->lstRecords);
            QTest::keyClick(list->lstRecords, Qt::Key_Enter);
            QTest::keyClick(list->lstRecords, Qt::Key_Escape);
            QTest::keyClick(list, Qt::Key_Escape);
            open = list->isVisible();
            QTest::keyClicks(list->txtTrova, QStringLiteral("bianchi"));
            QTest::mouseClick(list->btnTrova, Qt::LeftButton);
            found = list->selectedRow();
        });
        QVERIFY(noDefault);
        QVERIFY(open);
        QCOMPARE(found, 2);
        QVERIFY(!instance<TfrmCertificati_Agonistici>()->isVisible());
        QVERIFY(!instance<TfrmCertificati_Disabili>()->isVisible());
    }

    // An archive that cannot be read: the tools window still opens and says
    // so in its label; the list shows the archive message and no line.
    void unreadableArchive()
    {
        addFixture();
        files::faults::failOn(files::Op::Read, QStringLiteral("Certificati_Disabili.vrn"));
        withTools([this](TfrmStrumenti* tools) {
            QCOMPARE(tools->lblScadenze->text(),
                     QStringLiteral("Impossibile leggere gli archivi dei certificati agonistici."));
            QVERIFY(m_env->messages.isEmpty());
        });
        withList([](TfrmScadenze* list) { QCOMPARE(list->lineCount(), 0); });
        QCOMPARE(m_env->texts(), QStringList{archiveErrorMessage()});
        files::faults::clear();
    }

    // The rules as a user meets them: a renewal whose date of issue cannot
    // be read hides the older certificate; the telephone is found across
    // differently typed names and birth dates, from the mobile when the
    // preferred one is blank, and two records giving one number give it; an
    // expiry before the date of issue is marked; one line is "1 certificato".
    void rulesKeepTheirWord()
    {
        const auto* ago = &archives::Agonistici;
        const auto* dis = &archives::Disabili;
        addCertificate({ago, "Rossi  Mario ", "1/2/2000", "CALCIO", "20/12/2025", "20/12/2026"});     // in 10 days
        addCertificate({ago, "Verdi Luca", "05/06/1985", "CICLISMO", "15/12/2025", "15/12/2026"});    // renewed below
        addCertificate({ago, "verdi  luca", "5.6.1985", "CICLISMO", "nel 2026", "15/12/2027"});       // the renewal
        addCertificate({dis, "Neri Carla", "07/08/1995", "TENNIS", "16/12/2026", "15/12/2026"});      // before issue
        addPatient("Rossi Mario", "01.02.2000", "", "333 7654321", "0547 1");
        addPatient("ROSSI MARIO", "01/02/2000", " ", "333 765 4321");
        addPatient("Neri Carla", "07/08/1995", "", "", "0547 22222");

        withTools([](TfrmStrumenti* tools) {
            QCOMPARE(tools->lblScadenze->text(),
                     QStringLiteral("1 certificato agonistico scade nei prossimi 30 giorni."));
        });
        QStringList lines, fewer;
        QString found, foundFewer;
        withList([&](TfrmScadenze* list) {
            lines = list->lines();
            found = list->lblTrovate->text();
            list->txtGiorni->selectAll();
            QTest::keyClicks(list->txtGiorni, QStringLiteral("5"));
            QTest::mouseClick(list->btnCerca, Qt::LeftButton);
            fewer = list->lines();
            foundFewer = list->lblTrovate->text();
        });
        QCOMPARE(names(lines), (QStringList{"Rossi  Mario", "Neri Carla"}));
        QVERIFY2(lines[0].endsWith(QStringLiteral("Tel.: 333 7654321")), qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(QStringLiteral("15/12/2026  date incoerenti     Neri Carla")), qPrintable(lines[1]));
        QVERIFY2(lines[1].endsWith(QStringLiteral("Tel.: 0547 22222")), qPrintable(lines[1]));
        QCOMPARE(found, QStringLiteral("Il presente riepilogo contiene 2 certificati."));
        QCOMPARE(names(fewer), QStringList{"Neri Carla"});
        QCOMPARE(foundFewer, QStringLiteral("Il presente riepilogo contiene 1 certificato."));
        QVERIFY(m_env->messages.isEmpty());
    }

    // A line whose certificate was saved over, or is no longer in its
    // archive, since the search: the double-click asks to search again and
    // leaves the list open; Cerca then shows the archive as it is.
    void doubleClickOnAStaleLine_data()
    {
        QTest::addColumn<bool>("gone");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("saved over") << false
                                    << QStringLiteral("Attenzione: il certificato \u00e8 stato modificato dopo la "
                                                      "ricerca.\r\n\r\nPremere Cerca per aggiornare l'elenco.")
                                    << QStringList{"Conti Elisa", "Bianchi Anna", "Neri Carla"};
        QTest::newRow("no longer there") << true
                                         << QStringLiteral("Attenzione: il certificato non \u00e8 pi\u00f9 in "
                                                           "archivio.\r\n\r\nPremere Cerca per aggiornare l'elenco.")
                                         << QStringList{"Conti Elisa"};
    }
    void doubleClickOnAStaleLine()
    {
        QFETCH(bool, gone);
        QFETCH(QString, message);
        QFETCH(QStringList, after);
        addFixture();
        bool open = false;
        QStringList searched;
        withList([&](TfrmScadenze* list) {
            QCOMPARE(list->lines().value(1).mid(32, 30).trimmed(), QStringLiteral("Rossi Mario")); // record 1
            const QString path = programPath(QStringLiteral("Certificati_Agonistici.vrn"));
            QByteArray bytes = testing::readFile(path);
            if (gone) {
                bytes.clear();
            } else {
                Record r(layouts::TSchedaAgonistica, bytes.constData());
                r.setText("txtDataScade", QStringLiteral("20/12/2027"));
                bytes.replace(0, r.bytes().size(), r.bytes());
            }
            testing::writeFile(path, bytes);
            const QRect r = list->lstRecords->visualRect(list->lstRecords->model()->index(1, 0));
            QTest::mouseClick(list->lstRecords->viewport(), Qt::LeftButton, {}, r.center());
            QTest::mouseDClick(list->lstRecords->viewport(), Qt::LeftButton, {}, r.center());
            open = list->isVisible();
            QTest::mouseClick(list->btnCerca, Qt::LeftButton);
            searched = names(list->lines());
        });
        QVERIFY(open);
        QCOMPARE(m_env->texts(), QStringList{message});
        QCOMPARE(m_env->messages.first().kind, msg::Kind::Warning);
        QVERIFY(!instance<TfrmCertificati_Agonistici>()->isVisible());
        QCOMPARE(searched, after);
    }

    void printAndExport()
    {
        addFixture();
        QStringList shown;
        withList([&](TfrmScadenze* list) {
            shown = list->lines();
            QTest::mouseClick(list->btnStampa, Qt::LeftButton);
            QTest::mouseClick(list->cmdEsporta, Qt::LeftButton);
        });
        QCOMPARE(m_printed.size(), 1);
        QCOMPARE(m_printed[0].first, QStringLiteral("Certificati agonistici in scadenza"));
        QCOMPARE(m_printed[0].second, shown);

        const QString file = programPath(QStringLiteral("Certificati_In_Scadenza.xls"));
        QCOMPARE(m_env->texts().size(), 2); // the two questions
        QCOMPARE(m_env->opened.size(), 1);
        QCOMPARE(m_env->opened[0].toLocalFile(), file);

        if (testing::officeProgram().isEmpty())
            QSKIP("LibreOffice is not installed: the export is not read back by a spreadsheet.");
        QString error;
        const QList<QStringList> cells = testing::officeSheetCells(file, QStringLiteral("HTML (StarCalc)"), &error);
        QVERIFY2(!cells.isEmpty(), qPrintable(error));
        QCOMPARE(cells.size(), 5);
        QCOMPARE(cells[0], (QStringList{"Scadenza", "Giorni", "Paziente", "Data di nascita", "Sport", "Tipo",
                                        "Telefono"}));
        QCOMPARE(cells[2].mid(2), (QStringList{"Rossi Mario", "01/02/2000", "CALCIO", "Agonistico", "333 1234567"}));
        QCOMPARE(cells[2][0], QStringLiteral("20/12/2026"));
        QCOMPARE(cells[2][1], QStringLiteral("10"));
        QCOMPARE(cells[4].mid(0, 3), (QStringList{"31/02/2027", "data non leggibile", "Neri Carla"}));
    }
};

QTEST_MAIN(TestExpiringWindow)
#include "tst_expiring_window.moc"
