// The spreadsheet file writer: the exact bytes of the document, the text of
// each cell, and a file that is replaced only once the new one is complete.
#include "storage/filelayer.h"
#include "support/testenv.h"
#include "export/core/xlsexport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace vornel;

namespace {

// Pieces 1 to 28 for the worksheet "Foglio".
const QByteArray kHead =
    "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
    "xmlns=\"http://www.w3.org/TR/REC-html40\"><head>"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
    "<!--[if gte mso 9]><xml><x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet><x:Name>Foglio</x:Name>"
    "<x:WorksheetOptions><x:Selected/><x:Panes><x:Pane><x:Number>1</x:Number><x:ActiveRow>3</x:ActiveRow>"
    "</x:Pane></x:Panes><x:ProtectContents>False</x:ProtectContents><x:ProtectObjects>False</x:ProtectObjects>"
    "<x:ProtectScenarios>False</x:ProtectScenarios></x:WorksheetOptions></x:ExcelWorksheet></x:ExcelWorksheets>"
    "</x:ExcelWorkbook></xml><![endif]--></head><body><table x:str><tr>";
const QByteArray kTail = "</table></body></html>";

QByteArray cellBytes(const QByteArray& text)
{
    return "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">" + text + "</td>";
}

// A sheet over a table of texts.
xls::Sheet textSheet(const QString& name, const QList<xls::Column>& columns, const QList<QStringList>* rows)
{
    xls::Sheet s;
    s.name = name;
    s.columns = columns;
    s.rows = rows->size();
    s.cell = [rows](qint64 r, int c) { return xls::Cell::fromText((*rows)[r][c]); };
    return s;
}

} // namespace

class TstCoreXlsExport : public QObject {
    Q_OBJECT
private slots:
    void documentIsThePiecesBackToBack();
    void textCells_data();
    void textCells();
    void byteCells_data();
    void byteCells();
    void headingsAndSheetNameAreEscapedToo();
    void largeSheetIsWrittenInBlocksWithProgress();
    void fileIsReplacedWhole();
    void unwritableFileKeepsThePreviousOne();
    void failingWriteOrReplaceKeepsThePreviousOne_data();
    void failingWriteOrReplaceKeepsThePreviousOne();
};

void TstCoreXlsExport::documentIsThePiecesBackToBack()
{
    const QList<QStringList> rows{{QStringLiteral("Rossi Mario"), QStringLiteral("12/05/1980")},
                                  {QString(), QString()}};
    const QByteArray doc = xls::document(
        textSheet(QStringLiteral("Foglio"), {{QStringLiteral("Paziente"), 250}, {QStringLiteral("Data"), 200}}, &rows));
    const QByteArray expected = kHead +
                                "<td style=\"text-align: left; font-weight: bold;\" width=250>Paziente</td>"
                                "<td style=\"text-align: left; font-weight: bold;\" width=200>Data</td></tr>"
                                "<tr>" + cellBytes("Rossi Mario") + cellBytes("12/05/1980") + "</tr>"
                                "<tr>" + cellBytes("") + cellBytes("") + "</tr>" + kTail;
    QCOMPARE(doc, expected);
    QVERIFY(!doc.contains('\n') && !doc.contains('\r'));
    QVERIFY(!doc.startsWith("\xEF\xBB\xBF"));
}

void TstCoreXlsExport::textCells_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("trimmed of blanks and controls") << QStringLiteral(" \t\x01" "Forl\u00ec \r\n") << QByteArray("Forl\xEC");
    QTest::newRow("inner blanks kept") << QStringLiteral("Via  Roma") << QByteArray("Via  Roma");
    QTest::newRow("no-break space is not trimmed") << QStringLiteral("\u00a0x\u00a0") << QByteArray("\xA0x\xA0");
    QTest::newRow("accented letters one byte each") << QStringLiteral("\u00e8\u00e0\u00f9\u00d2") << QByteArray("\xE8\xE0\xF9\xD2");
    QTest::newRow("euro and quotes of the code page") << QStringLiteral("\u20ac \u201cok\u201d") << QByteArray("\x80 \x93ok\x94");
    QTest::newRow("outside the code page") << QStringLiteral("\u0141\u00f3d\u017a") << QByteArray("?\xF3" "d?");
    QTest::newRow("one mark for a character beyond the basic plane") << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
    QTest::newRow("markup characters escaped") << QStringLiteral("PA < 140 & <b>ok</b>")
                                               << QByteArray("PA &lt; 140 &amp; &lt;b&gt;ok&lt;/b&gt;");
    QTest::newRow("an entity is written as typed") << QStringLiteral("&amp;") << QByteArray("&amp;amp;");
    QTest::newRow("quotes unchanged") << QStringLiteral("l'\"atleta\"") << QByteArray("l'\"atleta\"");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("line breaks and tabs inside become blanks") << QStringLiteral("riga 1\r\nriga\t2")
                                                               << QByteArray("riga 1  riga 2");
    QTest::newRow("NUL and other controls inside become blanks")
        << QString::fromUtf16(u"a\0b\x1F" "c\x01" "d", 7) << QByteArray("a b c d");
    QTest::newRow("undefined code page characters become ?")
        << QString::fromUtf16(u"x\x81\x8D\x8F\x90\x9Dy") << QByteArray("x?????y");
    QTest::newRow("DEL and C1 controls outside the code page")
        << QString::fromUtf16(u"a\x7F" "b\x85" "c") << QByteArray("a\x7F" "b?c");
}

void TstCoreXlsExport::textCells()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const QList<QStringList> rows{{text}};
    const QByteArray doc = xls::document(textSheet(QStringLiteral("Foglio"), {{QStringLiteral("A"), 1}}, &rows));
    QVERIFY2(doc.contains("</tr><tr>" + cellBytes(bytes) + "</tr></table>"), doc.constData());
}

void TstCoreXlsExport::byteCells_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("code page bytes kept") << QByteArray("Citt\xE0 \x80 \x9F \xFF") << QByteArray("Citt\xE0 \x80 \x9F \xFF");
    QTest::newRow("undefined bytes become ?") << QByteArray("\x81" "a\x8D\x8F" "b\x90\x9D")
                                              << QByteArray("?a??b??");
    QTest::newRow("controls inside become blanks") << QByteArray("Via Roma\r\n1\0" "2\t3", 15)
                                                   << QByteArray("Via Roma  1 2 3");
    QTest::newRow("a line break and a markup character side by side") << QByteArray("a\n<b")
                                                                     << QByteArray("a &lt;b");
    QTest::newRow("trimmed") << QByteArray("  \x02" "Cesena \x1F") << QByteArray("Cesena");
    QTest::newRow("markup escaped") << QByteArray("<i>a&b</i>") << QByteArray("&lt;i&gt;a&amp;b&lt;/i&gt;");
    QTest::newRow("only blanks") << QByteArray("   ") << QByteArray();
}

void TstCoreXlsExport::byteCells()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, bytes);
    xls::Sheet s;
    s.name = QStringLiteral("Foglio");
    s.columns = {{QStringLiteral("A"), 1}};
    s.rows = 1;
    s.cell = [&](qint64, int) { return xls::Cell::fromBytes(stored.constData(), stored.size()); };
    const QByteArray doc = xls::document(s);
    QVERIFY(doc.contains("</tr><tr>" + cellBytes(bytes) + "</tr></table>"));
}

void TstCoreXlsExport::headingsAndSheetNameAreEscapedToo()
{
    const QList<QStringList> rows;
    const QByteArray doc = xls::document(
        textSheet(QStringLiteral("Sport & Salute"), {{QStringLiteral("Et\u00e0 <anni>"), 90}}, &rows));
    QVERIFY(doc.contains("<x:Name>Sport &amp; Salute</x:Name>"));
    const QByteArray controls = xls::document(textSheet(QString::fromUtf16(u"Foglio\n1\x81"),
                                                        {{QString::fromUtf16(u"Nome\r\nCognome\x9D"), 90}}, &rows));
    QVERIFY(controls.contains("<x:Name>Foglio 1?</x:Name>"));
    QVERIFY(controls.contains(">Nome  Cognome?</td>"));
    QVERIFY(!controls.contains('\n') && !controls.contains('\r'));
    QVERIFY(doc.endsWith("<tr><td style=\"text-align: left; font-weight: bold;\" width=90>Et\xE0 &lt;anni&gt;</td>"
                         "</tr></table></body></html>"));
}

void TstCoreXlsExport::largeSheetIsWrittenInBlocksWithProgress()
{
    const QByteArray text(300, 'x');
    xls::Sheet s;
    s.name = QStringLiteral("Foglio");
    s.columns = {{QStringLiteral("A"), 1}, {QStringLiteral("B"), 2}};
    s.rows = 20000;
    s.cell = [&](qint64, int) { return xls::Cell::fromBytes(text.constData(), text.size()); };
    QList<qint64> seen;
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    QVERIFY(xls::write(out, s, [&](qint64 rows) { seen << rows; }));
    QVERIFY(seen.size() > 3);
    QCOMPARE(seen.last(), s.rows);
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
    QCOMPARE(bytes, xls::document(s));
    QCOMPARE(bytes.count("<tr>"), 20001);
}

void TstCoreXlsExport::fileIsReplacedWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Foglio.xls"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'z'));
    old.close();
    const QList<QStringList> rows{{QStringLiteral("uno")}};
    const xls::Sheet s = textSheet(QStringLiteral("Foglio"), {{QStringLiteral("A"), 1}}, &rows);
    QVERIFY(xls::writeFile(path, s));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), xls::document(s));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Foglio.xls")});
}

void TstCoreXlsExport::unwritableFileKeepsThePreviousOne()
{
    QTemporaryDir dir;
    const QList<QStringList> rows{{QStringLiteral("uno")}};
    const xls::Sheet s = textSheet(QStringLiteral("Foglio"), {{QStringLiteral("A"), 1}}, &rows);
    // A folder stands where the file goes.
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Foglio.xls/dentro")));
    QVERIFY(!xls::writeFile(dir.filePath(QStringLiteral("Foglio.xls")), s));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("Foglio.xls/dentro"))).isDir());
    // The folder of the file is a file.
    QFile plain(dir.filePath(QStringLiteral("cartella")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("vecchio");
    plain.close();
    QVERIFY(!xls::writeFile(dir.filePath(QStringLiteral("cartella/Foglio.xls")), s));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("cartella")});
}

void TstCoreXlsExport::failingWriteOrReplaceKeepsThePreviousOne_data()
{
    QTest::addColumn<int>("op");
    QTest::newRow("open") << int(files::Op::Open);
    QTest::newRow("write") << int(files::Op::Write);
    QTest::newRow("replace") << int(files::Op::Rename);
}

// A failure at any step, made through the file layer, leaves the previous
// export byte for byte and no stray file beside it.
void TstCoreXlsExport::failingWriteOrReplaceKeepsThePreviousOne()
{
    QFETCH(int, op);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Pazienti.xls"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("export precedente");
    old.close();
    QList<QStringList> rows;
    for (int i = 0; i < 5000; ++i)
        rows.append({QStringLiteral("riga %1").arg(i)});
    const xls::Sheet s = textSheet(QStringLiteral("Foglio"), {{QStringLiteral("A"), 1}}, &rows);
    files::faults::failOn(files::Op(op), QStringLiteral("Pazienti.xls"));
    const bool written = xls::writeFile(path, s);
    files::faults::clear();
    QVERIFY(!written);
    QCOMPARE(testing::readFile(path), QByteArray("export precedente"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Pazienti.xls")});
}

QTEST_GUILESS_MAIN(TstCoreXlsExport)
#include "tst_core_xlsexport.moc"
