// The archive check: finds what the program itself never writes, and
// nothing in healthy archives.
#include "storage/records.h"
#include "practice/core/archivecheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vornel;
using namespace vornel::archivecheck;

namespace {
void put(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray healthy(const RecordLayout& layout, int count)
{
    QByteArray bytes;
    Record r(layout);
    for (int i = 0; i < count; ++i) {
        r.clear();
        r.setText(layout.fields()[0].name, QStringLiteral("Rossi %1").arg(i));
        for (const FieldDef& f : layout.fields())
            if (f.name.substr(0, 3) == "chk")
                r.setFlag(f.name, i % 2 == 0);
        bytes += r.bytes();
    }
    return bytes;
}

void healthyFolder(const QString& dir)
{
    QByteArray patients = healthy(layouts::TSchedaPaziente, 3);
    Record p(layouts::TSchedaPaziente, patients.constData());
    p.setText("lblFile01", QStringLiteral("referto.pdf"));
    patients.replace(0, p.bytes().size(), p.bytes());
    put(dir + "/Pazienti.vrn", patients);
    put(dir + "/Documenti_Allegati/referto.pdf", "pdf");
    put(dir + "/Certificati.vrn", healthy(layouts::TSchedaCertificato, 4));
    put(dir + "/Certificati_Agonistici.vrn", healthy(layouts::TSchedaAgonistica, 2));
    put(dir + "/Certificati_Disabili.vrn", QByteArray());
}
} // namespace

class TestArchiveCheck : public QObject {
    Q_OBJECT
private slots:
    void healthyArchivesReportNothing()
    {
        QTemporaryDir dir;
        healthyFolder(dir.path());
        const QList<Result> results = checkArchives(dir.path());
        QCOMPARE(results.size(), 10); // five archives, then their histories
        for (const Result& r : results)
            QVERIFY2(r.healthy(), qPrintable(r.fileName));
        QCOMPARE(results[0].records, 3);
        QCOMPARE(results[0].size, 3 * 4436);
        QVERIFY(!results[4].present);
        const QStringList lines = reportLines(results);
        QCOMPARE(lines.first(), QStringLiteral("Pazienti.vrn"));
        QVERIFY(lines.contains(QStringLiteral("  Dimensione del file: 13.308 byte")));
        QVERIFY(lines.contains(QStringLiteral("  Scheda incompleta alla fine: nessuna")));
        QVERIFY(lines.contains(QStringLiteral("  Documenti allegati mancanti: nessuno")));
        QVERIFY(lines.contains(QStringLiteral("  Archivio non presente.")));
        QCOMPARE(lines.last(), QStringLiteral("Esito: nessun problema trovato negli archivi."));
    }

    void faultsAreFound()
    {
        QTemporaryDir dir;
        healthyFolder(dir.path());
        const QString path = dir.filePath("Certificati.vrn");
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        // Record 2: the place of birth (offset 1316, capacity 250) claims 251 bytes.
        bytes[1975 + 1316] = char(251);
        // Record 3: the flag holds "Si" without the accent.
        bytes[2 * 1975 + 1972 + 1] = 'S';
        bytes[2 * 1975 + 1972 + 2] = 'i';
        bytes += QByteArray(100, 'x'); // half a record at the end
        f.seek(0);
        f.write(bytes);
        f.close();
        QFile::remove(dir.filePath("Documenti_Allegati/referto.pdf"));

        const QList<Result> results = checkArchives(dir.path());
        const Result& c = results[1];
        QCOMPARE(c.fileName, QStringLiteral("Certificati.vrn"));
        QCOMPARE(c.records, 4);
        QCOMPARE(c.tailBytes, 100);
        QCOMPARE(c.overLengthCount, 1);
        QCOMPARE(c.overLength[0].position, 2);
        QCOMPARE(c.overLength[0].field, QStringLiteral("txtLuogoNasc"));
        QCOMPARE(c.badFlagCount, 1);
        QCOMPARE(c.badFlags[0].position, 3);
        QCOMPARE(c.badFlags[0].detail, QStringLiteral("\"Si\""));
        QCOMPARE(results[0].missingAttachmentCount, 1);
        QCOMPARE(results[0].missingAttachments[0].detail, QStringLiteral("referto.pdf"));
        QVERIFY(results[2].healthy());

        const QStringList lines = reportLines(results);
        QVERIFY(lines.contains(QStringLiteral("  Scheda incompleta alla fine: 100 byte dopo la scheda 4")));
        QVERIFY(lines.contains(QStringLiteral("    scheda 2, txtLuogoNasc: lunghezza 251 su 250")));
        QVERIFY(lines.contains(QStringLiteral("    scheda 3, chkCompletato: \"Si\"")));
        QVERIFY(lines.contains(QStringLiteral("    scheda 1, lblFile01: referto.pdf")));
        QCOMPARE(lines.last(), QStringLiteral("Esito: problemi trovati in 2 archivi su 5."));
    }

    // An attachment is the bare name of a file in Documenti_Allegati: a
    // name that leads out of it is a problem of its own, even where a file
    // stands at that place; a name that stays inside is looked for there.
    void attachmentNamesLeadingOutside_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("outside");
        QTest::addColumn<bool>("missing");
        QTest::newRow("bare name, present") << "referto.pdf" << false << false;
        QTest::newRow("bare name, absent") << "assente.pdf" << false << true;
        QTest::newRow("dots inside a name") << "referto..pdf" << false << true;
        QTest::newRow("into a patient's folder") << "../Paziente_1/visita.txt" << true << false;
        QTest::newRow("into a patient's folder, Windows") << "..\\Paziente_1\\visita.txt" << true << false;
        QTest::newRow("down and out again") << "sotto/../../Paziente_1/visita.txt" << true << false;
        QTest::newRow("the folder above") << ".." << true << false;
        QTest::newRow("absolute") << "/etc/passwd" << true << false;
        QTest::newRow("absolute, Windows") << "C:\\Documenti\\referto.pdf" << true << false;
        QTest::newRow("network share") << "\\\\server\\referti\\referto.pdf" << true << false;
    }
    void attachmentNamesLeadingOutside()
    {
        QFETCH(QString, name);
        QFETCH(bool, outside);
        QFETCH(bool, missing);
        QTemporaryDir dir;
        healthyFolder(dir.path());
        put(dir.filePath("Paziente_1/visita.txt"), "visita");
        QByteArray patients = healthy(layouts::TSchedaPaziente, 1);
        Record p(layouts::TSchedaPaziente, patients.constData());
        p.setText("lblFile02", name);
        put(dir.filePath("Pazienti.vrn"), p.bytes());

        const Result r = checkArchives(dir.path())[0];
        QCOMPARE(r.outsideAttachmentCount, outside ? 1 : 0);
        QCOMPARE(r.missingAttachmentCount, missing ? 1 : 0);
        QCOMPARE(r.healthy(), !outside && !missing);
        const QStringList lines = reportLines({r});
        const QString title = QStringLiteral("  Documenti allegati fuori dalla cartella Documenti_Allegati: ");
        if (outside) {
            QVERIFY(lines.contains(title + QStringLiteral("1")));
            QVERIFY(lines.contains(QStringLiteral("    scheda 1, lblFile02: ") + name));
            QCOMPARE(lines.last(), QStringLiteral("Esito: problemi trovati in 1 archivio su 1."));
        } else {
            QVERIFY(lines.contains(title + QStringLiteral("nessuno")));
        }
    }

    void manyFindingsAreCountedNotAllListed()
    {
        QTemporaryDir dir;
        QByteArray bytes = healthy(layouts::TSchedaAgonistica, 50);
        for (int i = 0; i < 50; ++i)
            bytes[i * 2900 + 2897] = 0;
        put(dir.filePath("Certificati_Agonistici.vrn"), bytes);
        const Result r = checkArchives(dir.path())[2];
        QCOMPARE(r.badFlagCount, 50);
        QCOMPARE(r.badFlags.size(), kListed);
        const QStringList lines = reportLines({r});
        QVERIFY(lines.contains(QStringLiteral("    scheda 1, chkCompletato: vuoto")));
        QVERIFY(lines.contains(QStringLiteral("    ... e altri 30")));
    }
};

QTEST_GUILESS_MAIN(TestArchiveCheck)
#include "tst_core_archivecheck.moc"
