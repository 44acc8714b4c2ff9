// The history of the archives: what an overwrite keeps, what stops it, how
// versions are found again, and the history files in copies and the check.
#include "practice/core/archivecheck.h"
#include "practice/core/backup.h"
#include "storage/archive.h"
#include "storage/clock.h"
#include "storage/filelayer.h"
#include "storage/history.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace vornel;

namespace {

QByteArray get(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

Record patient(const QString& name, const QString& phone = QStringLiteral("051 1234"))
{
    Record r(layouts::TSchedaPaziente);
    r.setText("txtPaziente", name);
    r.setText("txtRecapito", phone);
    r.setFlag("chkRicontatta", false);
    return r;
}

// An archive of 'n' patients in dir.
QString patients(const QTemporaryDir& dir, int n)
{
    const QString path = dir.filePath(QStringLiteral("Pazienti.vrn"));
    Archive a(path, layouts::TSchedaPaziente);
    for (int i = 1; i <= n; ++i)
        a.append(patient(QStringLiteral("PAZIENTE %1").arg(i)));
    return path;
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void init() { clock::setFixedNow(QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53))); }
    void cleanup()
    {
        files::faults::clear();
        clock::setFixedNow(QDateTime());
    }

    void names()
    {
        QCOMPARE(history::fileNameFor(archives::Pazienti), QStringLiteral("Pazienti_Storico.vrn"));
        QCOMPARE(history::fileNameFor(archives::Certificati), QStringLiteral("Certificati_Storico.vrn"));
        QCOMPARE(history::fileNameFor(archives::Agonistici), QStringLiteral("Certificati_Agonistici_Storico.vrn"));
        QCOMPARE(history::fileNameFor(archives::Disabili), QStringLiteral("Certificati_Disabili_Storico.vrn"));
        QCOMPARE(history::fileNameFor(archives::NonIdoneita), QStringLiteral("Certificati_Non_Idoneita_Storico.vrn"));
        QCOMPARE(history::pathFor(QStringLiteral("/a/b/Pazienti.vrn")), QStringLiteral("/a/b/Pazienti_Storico.vrn"));
        QCOMPARE(history::archiveOfHistory(QStringLiteral("Certificati_Storico.vrn")), &archives::Certificati);
        QVERIFY(!history::archiveOfHistory(QStringLiteral("Certificati.vrn")));
        QCOMPARE(history::sizeFor(layouts::TSchedaPaziente), 96 + 4436);
    }

    // Each overwrite appends the record as it was, with its position, the
    // time and the workstation; a Salva that changes nothing keeps nothing.
    void overwriteKeepsTheRecordAsItWas()
    {
        QTemporaryDir dir;
        const QString path = patients(dir, 3);
        const QByteArray first = get(path).mid(4436, 4436);
        Archive a(path, layouts::TSchedaPaziente);
        QCOMPARE(a.overwrite(2, patient(QStringLiteral("ROSSI MARIO"))), 2);
        clock::setFixedNow(QDateTime(QDate(2026, 3, 15), QTime(18, 5, 0)));
        a.overwrite(2, patient(QStringLiteral("ROSSI MARIO"), QStringLiteral("333 999")));
        a.overwrite(2, patient(QStringLiteral("ROSSI MARIO"), QStringLiteral("333 999"))); // no change
        a.close();

        const QString hist = dir.filePath(QStringLiteral("Pazienti_Storico.vrn"));
        const QByteArray h = get(hist);
        QCOMPARE(h.size(), 2 * (96 + 4436));
        // Length-prefixed Windows-1252 fields: position, date and time, workstation.
        QCOMPARE(h.left(2), QByteArray("\x01" "2"));
        QCOMPARE(h.mid(11, 20), QByteArray("\x13" "14/03/2026 09:26:53"));
        const QByteArray station = QSysInfo::machineHostName().left(64).toLatin1();
        QCOMPARE(h.mid(31, 1 + station.size()), char(station.size()) + station);
        QCOMPARE(h.mid(96, 4436), first);
        QCOMPARE(Record(layouts::TSchedaPaziente, h.constData() + 96 + 4436 + 96).text("txtPaziente"),
                 QStringLiteral("ROSSI MARIO"));

        const auto versions = history::versionsOf(hist, layouts::TSchedaPaziente, 2);
        QCOMPARE(versions.size(), size_t(2));
        QCOMPARE(versions[0].when, QStringLiteral("14/03/2026 09:26:53"));
        QCOMPARE(versions[1].when, QStringLiteral("15/03/2026 18:05:00"));
        QCOMPARE(versions[0].station, QString::fromLatin1(station));
        QCOMPARE(versions[0].bytes, first);
        QCOMPARE(history::changedFields(layouts::TSchedaPaziente, versions[1].bytes, get(path).mid(4436, 4436)),
                 std::vector<int>{layouts::TSchedaPaziente.indexOf(std::string_view("txtRecapito"))});
        QVERIFY(history::versionsOf(hist, layouts::TSchedaPaziente, 1).empty());
        QVERIFY(history::versionsOf(hist, layouts::TSchedaPaziente, 20).empty()); // "20" is not "2"
        QVERIFY(history::versionsOf(dir.filePath(QStringLiteral("Nessuno_Storico.vrn")), layouts::TSchedaPaziente, 2)
                    .empty());
        // Appends keep no history: they overwrite nothing.
        Archive(path, layouts::TSchedaPaziente).append(patient(QStringLiteral("NUOVO")));
        QCOMPARE(get(hist).size(), h.size());
    }

    // When the history cannot be written the archive is not touched, and a
    // history that exists is never replaced.
    void historyFailureStopsTheOverwrite_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<bool>("existing");
        QTest::newRow("open, missing history") << int(files::Op::Open) << false;
        QTest::newRow("open, existing history") << int(files::Op::Open) << true;
        QTest::newRow("write") << int(files::Op::Write) << true;
        QTest::newRow("sync") << int(files::Op::Sync) << true;
    }
    void historyFailureStopsTheOverwrite()
    {
        QFETCH(int, op);
        QFETCH(bool, existing);
        QTemporaryDir dir;
        const QString path = patients(dir, 2);
        const QString hist = dir.filePath(QStringLiteral("Pazienti_Storico.vrn"));
        if (existing)
            Archive(path, layouts::TSchedaPaziente).overwrite(1, patient(QStringLiteral("PRIMA")));
        const QByteArray archiveBefore = get(path);
        const QByteArray historyBefore = get(hist);

        files::faults::failOn(files::Op(op), QStringLiteral("Pazienti_Storico.vrn"));
        Archive a(path, layouts::TSchedaPaziente);
        QVERIFY_THROWS_EXCEPTION(ArchiveError, a.overwrite(1, patient(QStringLiteral("DOPO"))));
        a.close();
        QCOMPARE(get(path), archiveBefore);
        if (op != int(files::Op::Sync)) // a failed sync leaves the written record, which is whole
            QCOMPARE(get(hist), historyBefore);
        QCOMPARE(QFileInfo::exists(hist), existing);
    }

    // A record cut short by an interrupted append is written over by the next.
    void partialHistoryRecordIsWrittenOver()
    {
        QTemporaryDir dir;
        const QString path = patients(dir, 1);
        Archive(path, layouts::TSchedaPaziente).overwrite(1, patient(QStringLiteral("UNO")));
        const QString hist = dir.filePath(QStringLiteral("Pazienti_Storico.vrn"));
        put(hist, get(hist) + QByteArray(100, 'x'));
        Archive(path, layouts::TSchedaPaziente).overwrite(1, patient(QStringLiteral("DUE")));
        QCOMPARE(get(hist).size(), 2 * (96 + 4436));
        QCOMPARE(history::versionsOf(hist, layouts::TSchedaPaziente, 1).size(), size_t(2));
    }

    // A copy holds the history files with their record size; Verifica finds
    // them whole and Ripristina puts them back byte for byte.
    void copyAndRestoreKeepTheHistory()
    {
        QTemporaryDir program, dest, target;
        const QString path = patients(program, 2);
        Archive a(path, layouts::TSchedaPaziente);
        a.overwrite(2, patient(QStringLiteral("ROSSI")));
        a.overwrite(2, patient(QStringLiteral("BIANCHI")));
        a.close();
        const QString hist = program.filePath(QStringLiteral("Pazienti_Storico.vrn"));
        const QByteArray kept = get(hist);

        const QString zip = dest.filePath(QStringLiteral("copia.zip"));
        const backup::CopyResult copy = backup::createCopy(program.path(), zip, QString());
        QVERIFY2(copy.outcome == backup::Outcome::Done, qPrintable(copy.detail));
        bool listed = false;
        for (const backup::ManifestFile& f : copy.manifest.files)
            if (f.path == QLatin1String("Pazienti_Storico.vrn")) {
                listed = true;
                QCOMPARE(f.recordSize, 96 + 4436);
                QCOMPARE(f.records, 2);
            }
        QVERIFY(listed);
        QCOMPARE(copy.manifest.patients(), 2); // versions are no patients
        const backup::VerifyReport v = backup::verifyCopy(zip, QString());
        QVERIFY2(v.whole(), qPrintable(v.problems()));
        QVERIFY(backup::isRestorableName(QStringLiteral("Certificati_Non_Idoneita_Storico.vrn")));

        const backup::RestoreResult r =
            backup::restoreCopy(target.path(), zip, QString(), target.filePath(QStringLiteral("Vornel_Prima.zip")));
        QVERIFY2(r.outcome == backup::Outcome::Done, qPrintable(r.detail));
        QCOMPARE(get(target.filePath(QStringLiteral("Pazienti_Storico.vrn"))), kept);
        QCOMPARE(history::versionsOf(target.filePath(QStringLiteral("Pazienti_Storico.vrn")), layouts::TSchedaPaziente, 2)
                     .size(),
                 size_t(2));
    }

    // The archive check reads the history files: whole records, positions
    // that exist in the archive.
    void archiveCheckReadsTheHistory()
    {
        QTemporaryDir dir;
        const QString path = patients(dir, 2);
        Archive(path, layouts::TSchedaPaziente).overwrite(2, patient(QStringLiteral("ROSSI")));
        QList<archivecheck::Result> results = archivecheck::checkArchives(dir.path());
        QCOMPARE(results.size(), 10);
        QCOMPARE(results[5].fileName, QStringLiteral("Pazienti_Storico.vrn"));
        QVERIFY(results[5].present && results[5].healthy());
        QCOMPARE(results[5].records, 1);
        QVERIFY(!results[6].present);
        QStringList lines = archivecheck::reportLines(results);
        QVERIFY(lines.contains(QStringLiteral("  Versioni precedenti: 1 (di 4.532 byte ciascuna)")));
        QCOMPARE(lines.last(), QStringLiteral("Esito: nessun problema trovato negli archivi."));

        // A version of position 7 in an archive of 2, and a torn record.
        const QString hist = dir.filePath(QStringLiteral("Pazienti_Storico.vrn"));
        QByteArray h = get(hist);
        h += history::encode(7, clock::now(), QStringLiteral("PC"), patient(QStringLiteral("X")).bytes());
        h += QByteArray(10, 'x');
        put(hist, h);
        results = archivecheck::checkArchives(dir.path());
        QVERIFY(!results[5].healthy());
        QCOMPARE(results[5].badPositionCount, 1);
        QCOMPARE(results[5].tailBytes, 10);
        lines = archivecheck::reportLines(results);
        QVERIFY(lines.contains(QStringLiteral("    versione 2, posizione \"7\"")));
        QCOMPARE(lines.last(), QStringLiteral("Esito: problemi trovati in 1 archivio su 5."));
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_core_history.moc"
