// The exported spreadsheets read by LibreOffice Calc as a user opens them:
// patient texts that look like numbers, dates, percentages, booleans or
// formulas arrive as the same texts, from the patients' export window and
// from the list of certificates about to expire, in the .xls (Italian and
// English import, special numbers detected or not) and in the .xlsx.
#include "app/look.h"
#include "app/mainmenu.h"
#include "app/registry.h"
#include "app/startup.h"
#include "patients/tfrmclienti.h"
#include "practice/expiringwindow.h"
#include "practice/strumenti.h"
#include "storage/archive.h"
#include "storage/clock.h"
#include "storage/cp1252.h"
#include "storage/programfolder.h"
#include "support/office.h"
#include "support/testenv.h"
#include "export/exportwindows.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTest>

#include <memory>

using namespace vornel;

namespace {

const QString kAskExport = QStringLiteral(
    "L'esportazione dei dati in Excel pu\u00f2 richiedere diversi minuti a seconda del numero di schede presenti in "
    "archivio.\r\n\r\nSi vuole esportare i dati adesso?");
const QString kAskOpen = QStringLiteral(
    "Le schede in archivio sono state esportate con successo.\r\n\r\nSi vuole aprire il file di Excel?");

// Texts found in real patient cards that a spreadsheet is tempted to read
// as something else; the empty one is a field left empty.
const QStringList kTricky{
    QStringLiteral("00185"), QStringLiteral("0331123456"), QStringLiteral("01234567890"),
    QStringLiteral("00000000000"), QStringLiteral("0331"), QStringLiteral("+39"), QStringLiteral("12,50"),
    QStringLiteral("1e3"), QStringLiteral("-5"), QStringLiteral("=1+1"), QStringLiteral("=SOMMA(1;2)"),
    QStringLiteral("01/02/2024"), QStringLiteral("50%"), QStringLiteral("VERO"), QStringLiteral("3331234567"),
    QStringLiteral("+ pollini"), QStringLiteral("- nessuna"), QStringLiteral("\u00e0\u00e8\u00e9\u00ec\u00f2\u00f9 \u20ac"),
    QString(250, QLatin1Char('x')), QString(), QStringLiteral("RSSMRA80A01H501U"), QStringLiteral("1/2"),
    QStringLiteral("2024-02-01"), QStringLiteral("TRUE"), QStringLiteral("=HYPERLINK(\"http://example.com\")"),
    QStringLiteral("_x0041_"),
};

// The cells of an .xls export as its bytes hold them: one row per table
// row, markup entities read back. What Calc shows must be exactly this.
QList<QStringList> xlsCells(const QByteArray& file)
{
    QList<QStringList> rows;
    const QString doc = cp1252::decode(file);
    static const QRegularExpression row(QStringLiteral("<tr>(.*?)</tr>"));
    static const QRegularExpression cell(QStringLiteral("<td[^>]*>(.*?)</td>"));
    for (auto r = row.globalMatch(doc); r.hasNext();) {
        QStringList cells;
        const QString inner = r.next().captured(1);
        for (auto c = cell.globalMatch(inner); c.hasNext();) {
            QString text = c.next().captured(1);
            text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
                .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            cells << text;
        }
        rows << cells;
    }
    return rows;
}

// The cells Calc changed: a different text, a value that is not a text, or
// a formula; an empty cell must stay empty. Each change is described.
QStringList changedCells(const testing::OfficeSheet& sheet, const QList<QStringList>& expected)
{
    QStringList changed;
    for (int r = 0; r < expected.size(); ++r) {
        const QList<testing::OfficeCell> row = r < sheet.rows.size() ? sheet.rows[r] : QList<testing::OfficeCell>();
        for (int c = 0; c < expected[r].size(); ++c) {
            const testing::OfficeCell got = c < row.size() ? row[c] : testing::OfficeCell();
            const QString& want = expected[r][c];
            const bool same = want.isEmpty() ? got.type.isEmpty() && got.text.isEmpty()
                                             : got.type == QLatin1String("string") && got.formula.isEmpty()
                                                   && got.text == want;
            if (!same)
                changed << QStringLiteral("row %1 column %2: \"%3\" became %4 \"%5\"%6")
                               .arg(r + 1)
                               .arg(c + 1)
                               .arg(want.left(40), got.type, got.text.left(40),
                                    got.formula.isEmpty() ? QString() : QStringLiteral(" ") + got.formula);
        }
        if (row.size() > expected[r].size())
            changed << QStringLiteral("row %1: %2 cells instead of %3").arg(r + 1).arg(row.size()).arg(expected[r].size());
    }
    if (sheet.rows.size() > expected.size())
        changed << QStringLiteral("%1 rows instead of %2").arg(sheet.rows.size()).arg(expected.size());
    return changed;
}

// Every field of a patient card holding the same text.
void addPatient(const QString& text)
{
    Archive archive(archives::Pazienti);
    archive.open();
    Record r(layouts::TSchedaPaziente);
    for (const FieldDef& f : layouts::TSchedaPaziente.fields()) {
        const std::string name(f.name);
        if (name == "chkRicontatta")
            r.setFlag(name, false);
        else if (name != "txtSesso")
            r.setText(name, text.left(f.capacity));
    }
    archive.append(r);
}

// A competitive certificate of that athlete and sport expiring 'days' from
// today (10/12/2026).
void addCertificate(const QString& text, int days)
{
    Archive archive(archives::Agonistici);
    archive.open();
    Record r(layouts::TSchedaAgonistica);
    r.setText("txtPaziente", text.isEmpty() ? QStringLiteral("Senza nome") : text);
    r.setText("txtDataNasc", text);
    r.setText("txtSportRichiesto", text.left(50));
    r.setText("txtSportApprovato", text.left(50));
    r.setText("txtNumMesi", QStringLiteral("12"));
    r.setText("txtData", QStringLiteral("10/12/2025"));
    r.setText("txtDataScade", QDate(2026, 12, 10).addDays(days).toString(QStringLiteral("dd/MM/yyyy")));
    r.setFlag("chkCompletato", true);
    archive.append(r);
}

} // namespace

class TstSpreadsheetsCalc : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> m_env;

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        clock::setFixedNow(QDateTime(QDate(2026, 12, 10), QTime(10, 0)));
        startUp();
    }
    void cleanup()
    {
        shutDown();
        m_env.reset();
    }

    void calcKeepsEveryCellAsStored()
    {
        for (int i = 0; i < kTricky.size(); ++i) {
            addPatient(kTricky[i]);
            addCertificate(kTricky[i], i + 1);
        }

        // The patients' export window, from the patient card's Esporta
        // picture: both files, each question answered Sì.
        TfrmClienti* card = instance<TfrmClienti>();
        goTo(card, nullptr);
        bool exported = false;
        testing::whenModal<TfrmExpClienti>([&](TfrmExpClienti* e) {
            QCOMPARE(e->grid()->filledRows(), qint64(kTricky.size()));
            QTest::mouseClick(e->cmdEsporta, Qt::LeftButton);
            QTest::mouseClick(e->cmdEsportaXlsx, Qt::LeftButton);
            exported = true;
            QTest::mouseClick(e->cmdEsci, Qt::LeftButton);
        });
        QTest::mouseClick(card->findChild<QPushButton*>(QStringLiteral("cmdEsporta")), Qt::LeftButton);
        QVERIFY(exported);
        card->hide();

        // The list of certificates about to expire, from the tools window.
        auto* menu = instance<TfrmAvvio>();
        goTo(menu, nullptr);
        bool listed = false;
        testing::whenModal<TfrmStrumenti>([&](TfrmStrumenti* tools) {
            testing::whenModal<TfrmScadenze>([&](TfrmScadenze* list) {
                QCOMPARE(list->lineCount(), kTricky.size());
                QCOMPARE(list->cmdEsportaXlsx->toolTip(),
                         QStringLiteral("Esporta le schede in archivio in un file Excel .xlsx (Excel 2007 e successivi, "
                                        "LibreOffice, fogli di calcolo online)."));
                QTest::mouseClick(list->cmdEsporta, Qt::LeftButton);
                QTest::mouseClick(list->cmdEsportaXlsx, Qt::LeftButton);
                listed = true;
                list->close();
            });
            QTest::mouseClick(tools->cmdScadenze, Qt::LeftButton);
            tools->close();
        });
        QTest::mouseClick(menu->imgStrumenti, Qt::LeftButton);
        QVERIFY(listed);

        const QString patientsXls = programPath(QStringLiteral("Pazienti.xls"));
        const QString patientsXlsx = programPath(QStringLiteral("Pazienti.xlsx"));
        const QString expiringXls = programPath(QStringLiteral("Certificati_In_Scadenza.xls"));
        const QString expiringXlsx = programPath(QStringLiteral("Certificati_In_Scadenza.xlsx"));
        QStringList questions;
        for (int i = 0; i < 4; ++i)
            questions << kAskExport << kAskOpen;
        QCOMPARE(m_env->texts(), questions);
        QCOMPARE(m_env->opened, (QList<QUrl>{QUrl::fromLocalFile(patientsXls), QUrl::fromLocalFile(patientsXlsx),
                                             QUrl::fromLocalFile(expiringXls), QUrl::fromLocalFile(expiringXlsx)}));

        const QList<QStringList> patients = xlsCells(testing::readFile(patientsXls));
        const QList<QStringList> expiring = xlsCells(testing::readFile(expiringXls));
        QCOMPARE(patients.size(), kTricky.size() + 1);
        QCOMPARE(expiring.size(), kTricky.size() + 1);
        QVERIFY(patients[1].contains(QStringLiteral("00185")));
        QVERIFY(expiring[10].contains(QStringLiteral("=1+1")));

        if (testing::officeProgram().isEmpty())
            QSKIP("LibreOffice is not installed (Debian: libreoffice-calc): the files were not read by Calc");
        // One run of Calc per way of importing, both files at once.
        struct Import {
            const char* language;
            const char* options; // language code, then detect special numbers
        };
        for (const Import& import : {Import{"Italian", "1040 0"}, Import{"Italian", "1040 1"},
                                     Import{"English", "1033 0"}, Import{"English", "1033 1"}}) {
            QString error;
            const QList<testing::OfficeSheet> sheets = testing::officeSheets(
                {patientsXls, expiringXls}, QStringLiteral("HTML (StarCalc):") + QLatin1String(import.options), &error);
            QVERIFY2(sheets.size() == 2, qPrintable(error));
            const QStringList changed = changedCells(sheets[0], patients) + changedCells(sheets[1], expiring);
            QVERIFY2(changed.isEmpty(), qPrintable(QStringLiteral("%1 import, options %2: %3 changed cells: %4")
                                                       .arg(QLatin1String(import.language),
                                                            QLatin1String(import.options))
                                                       .arg(changed.size())
                                                       .arg(changed.mid(0, 8).join(QStringLiteral("; ")))));
        }
        // The workbooks: no import options at all, the sheet named as asked.
        QString error;
        const QList<testing::OfficeSheet> books = testing::officeSheets({patientsXlsx, expiringXlsx}, QString(), &error);
        QVERIFY2(books.size() == 2, qPrintable(error));
        QCOMPARE(books[0].name, QStringLiteral("Archivio Pazienti"));
        QCOMPARE(books[1].name, QStringLiteral("Certificati In Scadenza"));
        const QStringList changed = changedCells(books[0], patients) + changedCells(books[1], expiring);
        QVERIFY2(changed.isEmpty(), qPrintable(QStringLiteral(".xlsx: %1 changed cells: %2")
                                                   .arg(changed.size())
                                                   .arg(changed.mid(0, 8).join(QStringLiteral("; ")))));
    }
};

QTEST_MAIN(TstSpreadsheetsCalc)
#include "tst_spreadsheets_calc.moc"
