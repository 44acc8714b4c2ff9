// The native workbook writer: what a real reader (openpyxl) finds in it,
// and a workbook that replaces the previous one only once it is complete.
#include "export/core/xlsxexport.h"
#include "storage/filelayer.h"
#include "support/office.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

using namespace vornel;

namespace {

// Texts a spreadsheet is tempted to turn into numbers, dates, booleans or
// formulas; each must come back as the same text.
const QStringList kTricky{
    QStringLiteral("00185"), QStringLiteral("0331123456"), QStringLiteral("01234567890"),
    QStringLiteral("00000000000"), QStringLiteral("0331"), QStringLiteral("+39"), QStringLiteral("12,50"),
    QStringLiteral("1e3"), QStringLiteral("-5"), QStringLiteral("=1+1"), QStringLiteral("=SOMMA(1;2)"),
    QStringLiteral("=HYPERLINK(\"http://example.com\")"), QStringLiteral("01/02/2024"), QStringLiteral("50%"),
    QStringLiteral("VERO"), QStringLiteral("TRUE"), QStringLiteral("3331234567"), QStringLiteral("+ pollini"),
    QStringLiteral("- nessuna"), QStringLiteral("\u00e0\u00e8\u00e9\u00ec\u00f2\u00f9 \u20ac"), QString(250, QLatin1Char('x')),
    QStringLiteral("RSSMRA80A01H501U"), QStringLiteral("1/2"), QStringLiteral("2024-02-01"),
    QStringLiteral("PA < 140 & <b>ok</b>"),
};

xls::Sheet textSheet(const QString& name, const QList<xls::Column>& columns, const QList<QStringList>* rows)
{
    xls::Sheet s;
    s.name = name;
    s.columns = columns;
    s.rows = rows->size();
    s.cell = [rows](qint64 r, int c) { return xls::Cell::fromText((*rows)[r][c]); };
    return s;
}

QJsonObject readBack(const QString& path)
{
    QString error;
    const QJsonObject book = testing::openpyxlRead(path, &error);
    if (book.isEmpty())
        qWarning("%s", qPrintable(error));
    return book;
}

} // namespace

class TstCoreXlsxExport : public QObject {
    Q_OBJECT
private slots:
    void sheetNameAndWidths();
    void everyCellIsTheStoredText();
    void emptySheetHasItsHeaderRow();
    void progressIsReported();
    void failureKeepsThePreviousWorkbook_data();
    void failureKeepsThePreviousWorkbook();
    void unwritableTarget();
};

void TstCoreXlsxExport::sheetNameAndWidths()
{
    QCOMPARE(xlsx::sheetName(QStringLiteral("Archivio Pazienti")), QStringLiteral("Archivio Pazienti"));
    QCOMPARE(xlsx::sheetName(QStringLiteral("Certificati Non Idoneita Agonistica")),
             QStringLiteral("Certificati Non Idoneita Agonis"));
    QCOMPARE(xlsx::sheetName(QString(31, QLatin1Char('a'))).size(), 31);
    // Excel shows a width of w characters as 7 w + 5 pixels.
    const QList<std::pair<int, double>> widths{{250, 35.0}, {180, 25.0}, {12, 1.0}, {6, 0.5}, {0, 0.0}};
    for (const auto& [pixels, characters] : widths)
        QCOMPARE(xlsx::columnWidth(pixels), characters);
    QVERIFY(qAbs(xlsx::columnWidth(420) * 7 + 5 - 420) < 1e-9);
}

// Every cell is a text cell holding the cell's text (trimmed, as the .xls
// writes it), whether it came from the archive's bytes or was typed; the
// header row is bold and frozen, with an autofilter over the columns; the
// widths, the sheet name and the document properties are as asked.
void TstCoreXlsxExport::everyCellIsTheStoredText()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Certificati_Non_Idoneita.xlsx"));
    const QByteArray stored("  Citt\xE0 \x80 " "01/02/2024\r\n"); // Windows-1252 bytes, as in an archive
    xls::Sheet s;
    s.name = QStringLiteral("Certificati Non Idoneita Agonistica");
    s.columns = {{QStringLiteral("Valore"), 250}, {QStringLiteral("Dall'archivio"), 420},
                 {QStringLiteral("Data di nascita"), 200}};
    s.rows = kTricky.size() + 3;
    const QStringList controls{QStringLiteral(" riga 1\nriga 2\t"), QStringLiteral("a\u0001b"),
                               QStringLiteral("_x0041_ e _x00e8_")};
    s.cell = [&](qint64 r, int c) {
        if (c == 1)
            return xls::Cell::fromBytes(stored.constData(), stored.size());
        if (c == 2)
            return xls::Cell::fromText(QStringView());
        return xls::Cell::fromText(r < kTricky.size() ? QStringView(kTricky[r]) : QStringView(controls[r - kTricky.size()]));
    };
    QVERIFY(xlsx::writeFile(path, s));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Certificati_Non_Idoneita.xlsx")});
    QVERIFY(testing::readFile(path).startsWith("PK"));

    const QJsonObject book = readBack(path);
    if (book.isEmpty())
        QSKIP("openpyxl is not installed (Debian: python3-openpyxl): the workbook was not read back");
    QCOMPARE(book[QLatin1String("sheets")].toArray(), QJsonArray{QStringLiteral("Certificati Non Idoneita Agonis")});
    QCOMPARE(book[QLatin1String("title")].toString(), QStringLiteral("Certificati Non Idoneita Agonis"));
    QCOMPARE(book[QLatin1String("author")].toString(), QStringLiteral("Vornel"));
    QCOMPARE(book[QLatin1String("freeze")].toString(), QStringLiteral("A2"));
    QCOMPARE(book[QLatin1String("filter")].toString(), QStringLiteral("A1:C%1").arg(s.rows + 1));
    const QJsonObject widths = book[QLatin1String("widths")].toObject();
    const QList<std::pair<QString, int>> pixels{{"A", 250}, {"B", 420}, {"C", 200}};
    for (const auto& [column, px] : pixels) {
        // The file keeps the width with its padding, in 1/256 of a
        // character: within one pixel.
        const double w = widths[column].toDouble();
        QVERIFY2(qAbs(w * 7 - px) <= 1.0, qPrintable(QStringLiteral("%1: %2").arg(column).arg(w)));
    }

    const QJsonArray rows = book[QLatin1String("rows")].toArray();
    QCOMPARE(rows.size(), s.rows + 1);
    const QStringList headings{"Valore", "Dall'archivio", "Data di nascita"};
    for (int c = 0; c < 3; ++c) {
        const QJsonArray cell = rows[0].toArray()[c].toArray();
        QCOMPARE(cell[0].toString(), headings[c]);
        QCOMPARE(cell[1].toString(), QStringLiteral("s"));
        QVERIFY(cell[2].toBool());
    }
    QStringList expected = kTricky;
    // The file writes a control character the Office Open XML way, as
    // "_x0001_", and a text holding such a pattern with its underscore
    // escaped, "_x005F_": Excel and Calc read both back as stored; openpyxl
    // gives the escapes as they are written.
    expected << QStringLiteral("riga 1\nriga 2") << QStringLiteral("a_x0001_b")
             << QStringLiteral("_x005F_x0041_ e _x005F_x00e8_");
    for (int r = 0; r < expected.size(); ++r) {
        const QJsonArray row = rows[r + 1].toArray();
        const QJsonArray first = row[0].toArray();
        QCOMPARE(first[0].toString(), expected[r]);
        QCOMPARE(first[1].toString(), QStringLiteral("s"));
        QVERIFY(!first[2].toBool());
        QCOMPARE(row[1].toArray()[0].toString(), QStringLiteral("Citt\u00e0 \u20ac 01/02/2024"));
        QCOMPARE(row[1].toArray()[1].toString(), QStringLiteral("s"));
        // An empty cell has no value at all.
        QVERIFY(row.size() < 3 || row[2].toArray()[0].isNull());
    }
}

void TstCoreXlsxExport::emptySheetHasItsHeaderRow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vuoto.xlsx"));
    const QList<QStringList> rows;
    QVERIFY(xlsx::writeFile(path, textSheet(QStringLiteral("Archivio Pazienti"), {{QStringLiteral("Paziente"), 250}}, &rows)));
    const QJsonObject book = readBack(path);
    if (book.isEmpty())
        QSKIP("openpyxl is not installed (Debian: python3-openpyxl): the workbook was not read back");
    QCOMPARE(book[QLatin1String("rows")].toArray().size(), 1);
    QCOMPARE(book[QLatin1String("filter")].toString(), QStringLiteral("A1"));
    QCOMPARE(book[QLatin1String("freeze")].toString(), QStringLiteral("A2"));
}

void TstCoreXlsxExport::progressIsReported()
{
    QTemporaryDir dir;
    QList<QStringList> rows;
    for (int i = 0; i < 5000; ++i)
        rows.append({QStringLiteral("riga %1").arg(i)});
    QList<qint64> seen;
    QVERIFY(xlsx::writeFile(dir.filePath(QStringLiteral("Foglio.xlsx")),
                            textSheet(QStringLiteral("Foglio"), {{QStringLiteral("A"), 100}}, &rows),
                            [&](qint64 done) { seen << done; }));
    QVERIFY(seen.size() >= 4);
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
    QCOMPARE(seen.last(), qint64(5000));
}

void TstCoreXlsxExport::failureKeepsThePreviousWorkbook_data()
{
    QTest::addColumn<int>("op");
    QTest::newRow("open") << int(files::Op::Open);
    QTest::newRow("write") << int(files::Op::Write);
    QTest::newRow("replace") << int(files::Op::Rename);
}

// A failure at any step of putting the workbook in place, made through the
// file layer, leaves the previous workbook byte for byte and no stray file.
void TstCoreXlsxExport::failureKeepsThePreviousWorkbook()
{
    QFETCH(int, op);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Pazienti.xlsx"));
    testing::writeFile(path, "cartella di lavoro precedente");
    QList<QStringList> rows;
    for (int i = 0; i < 5000; ++i)
        rows.append({QStringLiteral("riga %1").arg(i)});
    files::faults::failOn(files::Op(op), QStringLiteral("Pazienti.xlsx"));
    const bool written = xlsx::writeFile(path, textSheet(QStringLiteral("Foglio"), {{QStringLiteral("A"), 1}}, &rows));
    files::faults::clear();
    QVERIFY(!written);
    QCOMPARE(testing::readFile(path), QByteArray("cartella di lavoro precedente"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Pazienti.xlsx")});
}

void TstCoreXlsxExport::unwritableTarget()
{
    QTemporaryDir dir;
    const QList<QStringList> rows{{QStringLiteral("uno")}};
    const xls::Sheet s = textSheet(QStringLiteral("Foglio"), {{QStringLiteral("A"), 1}}, &rows);
    // A folder stands where the workbook goes.
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Foglio.xlsx/dentro")));
    QVERIFY(!xlsx::writeFile(dir.filePath(QStringLiteral("Foglio.xlsx")), s));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("Foglio.xlsx/dentro"))).isDir());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    // The folder of the workbook is a file.
    testing::writeFile(dir.filePath(QStringLiteral("cartella")), "vecchio");
    QVERIFY(!xlsx::writeFile(dir.filePath(QStringLiteral("cartella/Foglio.xlsx")), s));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("cartella")});
}

QTEST_GUILESS_MAIN(TstCoreXlsxExport)
#include "tst_core_xlsxexport.moc"
