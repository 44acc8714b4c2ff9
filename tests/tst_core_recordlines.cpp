// List lines and record selection, read from the raw bytes of an archive.
#include "patients/core/patientlines.h"
#include "storage/archive.h"
#include "storage/programfolder.h"
#include "storage/text.h"
#include "lists/core/certificatelines.h"
#include "lists/core/recordlines.h"

#include <QTemporaryDir>
#include <QTest>

using namespace vornel;

namespace {
// A record whose field 'name' holds exactly these bytes (untrimmed), with
// the given length byte (the byte count when -1).
void setRaw(QByteArray& record, const RecordLayout& layout, const char* name, const QByteArray& bytes, int length = -1)
{
    const int i = layout.indexOf(std::string_view(name));
    const int at = layout.offsetOf(i);
    record[at] = char(length < 0 ? bytes.size() : length);
    for (int k = 0; k < bytes.size() && k < layout.fields()[i].capacity; ++k)
        record[at + 1 + k] = bytes[k];
}
} // namespace

class TestRecordLines : public QObject {
    Q_OBJECT
private slots:
    // Filters compare the text as typed with the stored text as it is: blanks
    // stored around a value count, and only A-Z fold.
    void filterOnStoredText_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("inside") << QByteArray("Mario Rossi") << "ROSSI" << true;
        QTest::newRow("trailing blank typed, none stored") << QByteArray("Mario Rossi") << "rossi " << false;
        QTest::newRow("trailing blank typed and stored") << QByteArray("Mario Rossi ") << "rossi " << true;
        QTest::newRow("leading blank stored") << QByteArray(" Rossi") << " ross" << true;
        QTest::newRow("accent folds not") << QByteArray("Jos\xe8") << "JOS\u00c8" << false;
        QTest::newRow("accent as stored") << QByteArray("Jos\xe8") << "jos\u00e8" << true;
        QTest::newRow("longer than the field") << QByteArray("Ro") << "rossi" << false;
        QTest::newRow("blanks only: not in use") << QByteArray("Verdi") << "   " << true;
    }
    void filterOnStoredText()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, typed);
        const RecordLayout& layout = layouts::TSchedaPaziente;
        QByteArray record(layout.size(), '\0');
        setRaw(record, layout, "txtPaziente", stored);
        lists::Selection selection(layout);
        QCOMPARE(selection.addFilter("txtPaziente", typed), !trimmed(typed).isEmpty());
        QTEST(selection.accepts(record.constData()), "accepted");
    }

    // A length byte larger than the field reads the field only; control
    // characters are trimmed from the column like blanks.
    void damagedAndControlCharacters()
    {
        const RecordLayout& layout = layouts::TSchedaCertificato;
        QByteArray record(layout.size(), '\0');
        setRaw(record, layout, "txtPaziente", QByteArray(50, 'A'), 255);
        setRaw(record, layout, "txtDataNasc", "\t1/2/1980\x01");
        setRaw(record, layout, "txtMedico", "  Dott. Neri\r\n");
        setRaw(record, layout, "chkCompletato", "No");
        const QString line = lists::LineBuilder(layout, lists::kCertificatoLine).line(record.constData());
        const QString empty10(10, QLatin1Char(' '));
        QCOMPARE(line, QString(30, QLatin1Char('A')) + "  Data nascita: 1/2/1980    Data ECG: " + empty10 +
                           "  Data emissione: " + empty10 + "  Medico: Dott. Neri");
        QCOMPARE(lists::storedText(layout, record.constData(), layout.indexOf(std::string_view("txtPaziente"))),
                 QString(50, QLatin1Char('A')));

        lists::Selection no(layout);
        no.requireValue("chkCompletato", kFlagNo);
        QVERIFY(no.accepts(record.constData()));
        setRaw(record, layout, "chkCompletato", "N");
        QVERIFY(!no.accepts(record.constData()));
    }

    // The hand-over finds every record whose line equals the chosen one,
    // whatever blanks end the lines, in file order; equal records in a row
    // among the matches come once, at the later position.
    void recordsWithTheSameLine()
    {
        QTemporaryDir dir;
        setProgramFolder(dir.path());
        Archive archive(archives::Pazienti);
        archive.open();
        const auto add = [&](const QString& name, const QString& email) {
            Record r(layouts::TSchedaPaziente);
            r.setText("txtPaziente", name);
            r.setText("txtEmail", email); // not part of the line
            archive.append(r);
        };
        add(QStringLiteral("Rossi"), QStringLiteral("uno@x.it"));
        add(QStringLiteral("Bianchi"), QString());
        add(QStringLiteral("Rossi"), QStringLiteral("due@x.it"));
        add(QStringLiteral("rossi"), QString());
        add(QStringLiteral("Rossi"), QStringLiteral("due@x.it"));
        add(QStringLiteral("Rossi"), QStringLiteral("uno@x.it"));
        const lists::LineBuilder builder(layouts::TSchedaPaziente, lists::kPazienteLine);
        QList<qint64> found;
        QStringList emails;
        Record rossi(layouts::TSchedaPaziente);
        rossi.setText("txtPaziente", QStringLiteral("Rossi"));
        // The list shows the line as built; blanks at its ends do not count.
        const QString shown = QStringLiteral("  ") + builder.line(rossi.bytes().constData()) + QStringLiteral("  ");
        lists::forEachRecordWithLine(archive, builder, shown,
                                     [&](const Record& r, qint64 position) {
                                         QCOMPARE(r.text("txtPaziente"), QStringLiteral("Rossi"));
                                         found << position;
                                         emails << r.text("txtEmail");
                                     });
        QCOMPARE(found, (QList<qint64>{1, 5, 6}));
        QCOMPARE(emails, (QStringList{"uno@x.it", "due@x.it", "uno@x.it"}));
        archive.close();
        setProgramFolder(QString());
    }

    // The search for a folded text, wherever its first character stands,
    // never reading past the end of the text searched: 'length' is how much
    // of 'hay' is searched (-1: all of it), the rest only follows in memory.
    void foldSearch_data()
    {
        QTest::addColumn<QString>("hay");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("at");
        const QString nuls(2, QChar(0));
        QTest::newRow("first letter in either case") << "aXa abc Abc" << -1 << "ABC" << 0 << 4;
        QTest::newRow("candidates overlap") << "aaab" << -1 << "AAB" << 0 << 1;
        QTest::newRow("at the very end") << "Calcio a 5" << -1 << "a 5" << 0 << 7;
        QTest::newRow("first character not a letter") << "12/05/2023" << -1 << "/05/" << 0 << 2;
        QTest::newRow("accent first") << "\u00c8 \u00e8" << -1 << "\u00e8" << 0 << 2;
        QTest::newRow("absent") << "Rossi Mario" << -1 << "mari0" << 0 << -1;
        QTest::newRow("needle one longer") << "abc" << -1 << "abcd" << 0 << -1;
        QTest::newRow("needle two longer") << "ab" << -1 << "abcd" << 0 << -1;
        QTest::newRow("needle two longer, NULs typed") << "ab" << -1 << QString("ab" + nuls) << 0 << -1;
        QTest::newRow("needle two longer, the rest in memory") << "abcd" << 2 << "ABCD" << 0 << -1;
        QTest::newRow("needle far longer, the rest in memory") << "abcdefgh" << 1 << "abcdefgh" << 0 << -1;
        QTest::newRow("empty text") << "" << -1 << "a" << 0 << -1;
        QTest::newRow("equal lengths") << "Abc" << -1 << "aBC" << 0 << 0;
        QTest::newRow("from past the last start") << "abcabc" << -1 << "abc" << 4 << -1;
        QTest::newRow("from at the last start") << "abcabc" << -1 << "abc" << 3 << 3;
        QTest::newRow("from past the end") << "abc" << -1 << "c" << 9 << -1;
        QTest::newRow("from past the view, match in memory") << "abcabc" << 4 << "bc" << 2 << -1;
    }
    void foldSearch()
    {
        QFETCH(QString, hay);
        QFETCH(int, length);
        QFETCH(QString, needle);
        QFETCH(int, from);
        const QStringView searched = length < 0 ? QStringView(hay) : QStringView(hay).left(length);
        QTEST(int(indexOfFold(searched, needle, from)), "at");
    }
};

QTEST_GUILESS_MAIN(TestRecordLines)
#include "tst_core_recordlines.moc"
