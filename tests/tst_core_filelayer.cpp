// The file layer and what stands on it: whole-file writes and copies that
// keep the old file on any failure, missing versus unreadable files, the
// settings writer, archive faults and the append lock.
#include "storage/archive.h"
#include "storage/filelayer.h"
#include "storage/inifile.h"
#include "storage/programfolder.h"
#include "storage/records.h"
#include "storage/text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace vornel;
using files::Op;

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeAll(const QString& path, const QByteArray& b)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(b);
}
void ageFile(const QString& path, int seconds)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime));
}
Record patient(const QString& name)
{
    Record r(layouts::TSchedaPaziente);
    r.setText("txtPaziente", name);
    return r;
}
} // namespace

Q_DECLARE_METATYPE(files::Op)

class TestFileLayer : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        setProgramFolder(m_dir.path());
    }
    void cleanup()
    {
        files::faults::clear();
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        setProgramFolder(QString());
    }

    // A failing open, write or rename leaves the old file whole and no
    // partial file beside it.
    void writeWholeKeepsOldFile_data()
    {
        QTest::addColumn<Op>("op");
        QTest::newRow("open") << Op::Open;
        QTest::newRow("write") << Op::Write;
        QTest::newRow("rename") << Op::Rename;
    }
    void writeWholeKeepsOldFile()
    {
        QFETCH(Op, op);
        const QString path = m_dir.filePath(QStringLiteral("Modulo_Privacy.rtf"));
        writeAll(path, "old document");
        files::faults::failOn(op, QStringLiteral("Modulo_Privacy.rtf"), 1);
        QVERIFY_THROWS_EXCEPTION(files::FileError, files::writeWhole(path, "new document"));
        QCOMPARE(readAll(path), QByteArray("old document"));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Modulo_Privacy.rtf"});
        // The fault was used up: the next write goes through.
        files::writeWhole(path, "new document");
        QCOMPARE(readAll(path), QByteArray("new document"));
    }

    // The streamed writer obeys the same faults and keeps the old file.
    void saveFileKeepsOldFile_data() { writeWholeKeepsOldFile_data(); }
    void saveFileKeepsOldFile()
    {
        QFETCH(Op, op);
        const QString path = m_dir.filePath(QStringLiteral("Pazienti.xls"));
        writeAll(path, "old export");
        files::faults::failOn(op, QStringLiteral("Pazienti.xls"), 1);
        {
            files::SaveFile out(path);
            const bool done = out.open(QIODevice::WriteOnly) && out.write("new export") == 10 && out.commit();
            QVERIFY(!done);
        }
        QCOMPARE(readAll(path), QByteArray("old export"));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Pazienti.xls"});
        files::SaveFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write("new export"), qint64(10));
        QVERIFY(out.commit());
        QCOMPARE(readAll(path), QByteArray("new export"));
    }

    void readWholeTellsMissingFromUnreadable()
    {
        const QString path = m_dir.filePath(QStringLiteral("unins000.dll"));
        QCOMPARE(files::readWhole(path).status, files::Read::Missing);
        writeAll(path, "[Accesso]\r\n");
        QCOMPARE(files::readWhole(path).status, files::Read::Ok);
        QCOMPARE(files::readWhole(path).bytes, QByteArray("[Accesso]\r\n"));
        for (Op op : {Op::Open, Op::Read}) {
            files::faults::failOn(op, path, 1); // by full path this time
            QCOMPARE(files::readWhole(path).status, files::Read::Unreadable);
        }
        // A folder standing where the file should be is there but unreadable.
        QDir().mkpath(m_dir.filePath(QStringLiteral("cartella.ini")));
        QCOMPARE(files::readWhole(m_dir.filePath(QStringLiteral("cartella.ini"))).status, files::Read::Unreadable);
    }

    void copyReplacingKeepsOldTarget_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<QString>("on");
        QTest::newRow("copy") << Op::Copy << "referto.pdf";
        QTest::newRow("open source") << Op::Open << "scansione.pdf";
        QTest::newRow("read source") << Op::Read << "scansione.pdf";
        QTest::newRow("open target") << Op::Open << "referto.pdf";
        QTest::newRow("write target") << Op::Write << "referto.pdf";
        QTest::newRow("rename target") << Op::Rename << "referto.pdf";
    }
    void copyReplacingKeepsOldTarget()
    {
        QFETCH(Op, op);
        QFETCH(QString, on);
        QDir().mkpath(m_dir.filePath(QStringLiteral("in")));
        QDir().mkpath(m_dir.filePath(QStringLiteral("Documenti_Allegati")));
        const QString source = m_dir.filePath(QStringLiteral("in/scansione.pdf"));
        const QString target = m_dir.filePath(QStringLiteral("Documenti_Allegati/referto.pdf"));
        // Larger than one copy block, so a read or write fault can fall mid-copy.
        const QByteArray fresh = QByteArray(3 << 20, 'n') + "end";
        writeAll(source, fresh);
        writeAll(target, "old report");
        files::faults::failOn(op, on, 1);
        QVERIFY_THROWS_EXCEPTION(files::FileError, files::copyReplacing(source, target));
        QCOMPARE(readAll(target), QByteArray("old report"));
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("Documenti_Allegati"))).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"referto.pdf"});
        files::copyReplacing(source, target);
        QCOMPARE(readAll(target), fresh);
        // Onto itself: nothing happens, nothing fails.
        files::copyReplacing(target, target);
        QCOMPARE(readAll(target), fresh);
    }

    // A rename that fails leaves the file where it was; a fault naming
    // either path fails it, one use for one rename; an existing file of the
    // new name is never replaced.
    void renameKeepsTheFileWhereItWas_data()
    {
        QTest::addColumn<QString>("on");
        QTest::addColumn<bool>("fullPath");
        QTest::newRow("by name (both paths)") << "Pazienti.vrn" << false;
        QTest::newRow("the old path") << "nuovi/Pazienti.vrn" << true;
        QTest::newRow("the new path") << "Pazienti.vrn" << true;
        QTest::newRow("the new name is taken") << QString() << false;
    }
    void renameKeepsTheFileWhereItWas()
    {
        QFETCH(QString, on);
        QFETCH(bool, fullPath);
        QDir().mkpath(m_dir.filePath(QStringLiteral("nuovi")));
        const QString from = m_dir.filePath(QStringLiteral("nuovi/Pazienti.vrn"));
        const QString to = m_dir.filePath(QStringLiteral("Pazienti.vrn"));
        writeAll(from, "restored");
        if (on.isEmpty())
            writeAll(to, "current");
        else
            files::faults::failOn(Op::Rename, fullPath ? m_dir.filePath(on) : on, 1);
        QVERIFY_THROWS_EXCEPTION(files::FileError, files::rename(from, to));
        QCOMPARE(readAll(from), QByteArray("restored"));
        QCOMPARE(QFile::exists(to), on.isEmpty());
        if (on.isEmpty()) {
            QCOMPARE(readAll(to), QByteArray("current"));
            QFile::remove(to);
        }
        files::rename(from, to);
        QCOMPARE(readAll(to), QByteArray("restored"));
        QVERIFY(!QFile::exists(from));
    }

    // A fault may let the first uses through: a disk that fills up part way.
    void faultLetsTheFirstUsesThrough()
    {
        const QString path = m_dir.filePath(QStringLiteral("copia.zip"));
        files::faults::failOn(Op::Write, QStringLiteral("copia.zip"), 1, 2);
        files::File f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QCOMPARE(f.write("uno"), qint64(3));
        QCOMPARE(f.write("due"), qint64(3));
        QCOMPARE(f.write("tre"), qint64(-1));
        QCOMPARE(f.write("tre"), qint64(3));
        f.close();
        QCOMPARE(readAll(path), QByteArray("unoduetre"));
    }

    // A settings or password file that is there but cannot be read reads
    // empty where reading never fails, and is never replaced.
    void iniUnreadableIsNeverReplaced()
    {
        const QString path = programPath(QStringLiteral("Studio_Medico_Vrn.ini"));
        const QByteArray stored = "[Modulo Privacy]\r\nTitolare Privacy=Dott. Rossi\r\nLuogo=Roma\r\n";
        writeAll(path, stored);
        const IniFile ini(path);
        files::faults::failOn(Op::Read, QStringLiteral("Studio_Medico_Vrn.ini"));
        QCOMPARE(ini.read(QStringLiteral("Modulo Privacy"), QStringLiteral("Luogo")), QString());
        QVERIFY_THROWS_EXCEPTION(IniReadError, ini.readChecked(QStringLiteral("Modulo Privacy"), QStringLiteral("Luogo")));
        try {
            ini.write(QStringLiteral("Modulo Privacy"), QStringLiteral("Luogo"), QStringLiteral("Milano"));
            QFAIL("an unreadable file must not be replaced");
        } catch (const IniWriteError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Unable to write to ") + path);
        }
        QCOMPARE(readAll(path), stored);
        files::faults::clear();
        QCOMPARE(ini.readChecked(QStringLiteral("Modulo Privacy"), QStringLiteral("Titolare Privacy")),
                 QStringLiteral("Dott. Rossi"));
        // Missing reads empty and the first write creates the file.
        const IniFile fresh(programPath(QStringLiteral("nuovo.ini")));
        QCOMPARE(fresh.readChecked(QStringLiteral("Accesso"), QStringLiteral("Valore")), QString());
        fresh.write(QStringLiteral("Accesso"), QStringLiteral("Valore"), QStringLiteral("AB12"));
        QCOMPARE(readAll(programPath(QStringLiteral("nuovo.ini"))), QByteArray("[Accesso]\r\nValore=AB12\r\n"));
    }

    // The settings writer never turns a line into another kind of line.
    void iniWriteChangesOnlyItsKey_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("bracket key, bracket value")
            << QByteArray("[S]\r\n[K=v\r\nA=1\r\n") << "S" << "[K" << "]";
        QTest::newRow("bracket value") << QByteArray("[S]\r\nK=v\r\nA=1\r\n") << "S" << "K" << "]x[";
        QTest::newRow("key with equals") << QByteArray("[S]\r\nA=1\r\n") << "S" << "K=L" << "v";
        QTest::newRow("section with bracket") << QByteArray("[S]\r\nA=1\r\n") << "S]T" << "K" << "v";
        QTest::newRow("line break in value") << QByteArray("[S]\r\nA=1\r\n") << "S" << "K" << "a\r\n[S2]\nb";
    }
    void iniWriteChangesOnlyItsKey()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString path = programPath(QStringLiteral("t.ini"));
        writeAll(path, file);
        checkWrite(path, section, key, value);
    }

    // Random files of brackets, equals signs and blanks, random writes: every
    // accepted write reads back as written and changes no other key; every
    // refused one leaves the file as it was.
    void iniWriteFuzz()
    {
        QRandomGenerator rng(20260314);
        const QString alphabet = QStringLiteral("[]=Kv ;S");
        const auto word = [&](int maxLen) {
            QString s;
            const int n = int(rng.bounded(maxLen + 1));
            for (int i = 0; i < n; ++i)
                s += alphabet.at(int(rng.bounded(alphabet.size())));
            return s;
        };
        const QString path = programPath(QStringLiteral("fuzz.ini"));
        for (int round = 0; round < 400; ++round) {
            QStringList lines;
            const int n = int(rng.bounded(7));
            for (int i = 0; i < n; ++i)
                lines << word(5);
            writeAll(path, lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
            checkWrite(path, word(3), word(3), word(4));
            if (QTest::currentTestFailed()) {
                qWarning() << "file" << lines;
                return;
            }
        }
    }

    void archiveFaultsFailTheActionAndKeepTheFile_data()
    {
        QTest::addColumn<Op>("op");
        QTest::newRow("open") << Op::Open;
        QTest::newRow("read") << Op::Read;
        QTest::newRow("write") << Op::Write;
    }
    void archiveFaultsFailTheActionAndKeepTheFile()
    {
        QFETCH(Op, op);
        {
            Archive a(archives::Pazienti);
            a.open();
            a.append(patient(QStringLiteral("Rossi Mario")));
        }
        const QByteArray before = readAll(programPath(QStringLiteral("Pazienti.vrn")));
        files::faults::failOn(op, QStringLiteral("Pazienti.vrn"));
        const auto action = [&](bool append) {
            Archive a(archives::Pazienti);
            a.open();
            if (append) {
                a.append(patient(QStringLiteral("Bianchi Anna")));
            } else {
                Record r(layouts::TSchedaPaziente);
                a.seek(0);
                a.read(r);
                a.scan([](const char*, qint64) {});
            }
        };
        const bool appendFails = op != Op::Read;
        const bool readFails = op != Op::Write;
        if (appendFails)
            QVERIFY_THROWS_EXCEPTION(ArchiveError, action(true));
        if (readFails)
            QVERIFY_THROWS_EXCEPTION(ArchiveError, action(false));
        QCOMPARE(readAll(programPath(QStringLiteral("Pazienti.vrn"))), before);
    }

    // Lock files: what is dead is taken over, what is live is reported
    // at once with the lock file's name.
    void appendLock_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("unreadable");
        QTest::addColumn<bool>("live");
        const QByteArray otherHost = "4242\nvornel\nALTRA-POSTAZIONE\n";
        QTest::newRow("empty, old: killed before writing it") << QByteArray() << 10 << false << false;
        QTest::newRow("cut, old") << QByteArray("42") << 10 << false << false;
        QTest::newRow("unreadable, old") << otherHost << 10 << true << false;
        QTest::newRow("empty, just created: being written") << QByteArray() << 0 << false << true;
        QTest::newRow("other workstation, fresh") << otherHost << 0 << false << true;
        QTest::newRow("other workstation, a little older") << otherHost << 10 << false << true;
        QTest::newRow("other workstation, long dead") << otherHost << 120 << false << false;
        QTest::newRow("dead process here")
            << QByteArray("999999999\nvornel\n" + QSysInfo::machineHostName().toUtf8() + "\n") << 0 << false << false;
    }
    void appendLock()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, ageSeconds);
        QFETCH(bool, unreadable);
        QFETCH(bool, live);
        const QString archivePath = programPath(QStringLiteral("Pazienti.vrn"));
        const QString lockPath = Archive::lockPathOf(archivePath);
        QCOMPARE(lockPath, archivePath + QStringLiteral(".lock"));
        writeAll(lockPath, content);
        if (ageSeconds)
            ageFile(lockPath, ageSeconds);
        if (unreadable)
            files::faults::failOn(Op::Open, QStringLiteral("Pazienti.vrn.lock"));

        Archive a(archives::Pazienti);
        a.open();
        QElapsedTimer waited;
        waited.start();
        if (live) {
            try {
                a.append(patient(QStringLiteral("Rossi Mario")));
                QFAIL("appended without the lock");
            } catch (const ArchiveLockedError& e) {
                QCOMPARE(e.lockPath(), lockPath);
            }
            QCOMPARE(a.count(), 0);
            QVERIFY(QFile::exists(lockPath)); // a live lock is never broken
        } else {
            QCOMPARE(a.append(patient(QStringLiteral("Rossi Mario"))), qint64(1));
            QVERIFY(!QFile::exists(lockPath));
        }
        // Either way the user is not kept waiting for long.
        QVERIFY2(waited.elapsed() < 10000, qPrintable(QString::number(waited.elapsed())));
    }

    // A second copy of the program killed at random moments while it
    // appends: no record is lost or damaged, and the next append gets the
    // lock within a few seconds.
    void killedAppenderLosesNothing()
    {
        const QString helper = QDir(qEnvironmentVariable("VORNEL_TEST_HELPER_DIR")).filePath(QStringLiteral("appender"));
        if (!QFile::exists(helper))
            QFAIL("the appender helper is missing");
        QRandomGenerator rng(7);
        const int size = layouts::TSchedaPaziente.size();
        qint64 whole = 0;
        for (int round = 0; round < 12; ++round) {
            QProcess p;
            p.start(helper, {m_dir.path(), QStringLiteral("K%1").arg(round), QStringLiteral("0")});
            QVERIFY(p.waitForStarted());
            QTest::qWait(40 + int(rng.bounded(80)));
            p.kill();
            QVERIFY(p.waitForFinished());

            Archive a(archives::Pazienti);
            a.open();
            QVERIFY(a.count() >= whole); // nothing stored before is gone
            bool appended = false;
            for (int attempt = 0; attempt < 4 && !appended; ++attempt) {
                try {
                    a.append(patient(QStringLiteral("Dopo %1").arg(round)));
                    appended = true;
                } catch (const ArchiveLockedError&) {
                }
            }
            QVERIFY2(appended, "the lock of the killed copy was never taken over");
            whole = a.count();
            a.close();
        }
        // Every whole record is a record some copy wrote in full.
        const QByteArray bytes = readAll(programPath(QStringLiteral("Pazienti.vrn")));
        Record r(layouts::TSchedaPaziente);
        for (qint64 k = 0; k < bytes.size() / size; ++k) {
            r.setBytes(bytes.constData() + k * size);
            const QString name = r.text("txtPaziente");
            QVERIFY2(name.startsWith(QLatin1Char('K')) || name.startsWith(QLatin1String("Dopo ")), qPrintable(name));
        }
    }

private:
    void checkWrite(const QString& path, const QString& section, const QString& key, const QString& value)
    {
        const QByteArray before = readAll(path);
        const IniFile ini(path);
        // Every key the file holds, as it reads before the write.
        QList<std::pair<QString, QString>> names;
        QString current;
        for (const QString& line : QString::fromLatin1(before).split(QStringLiteral("\r\n"))) {
            const QString t = trimmed(line);
            if (t.startsWith(QLatin1Char('[')) && t.indexOf(QLatin1Char(']')) > 0)
                current = trimmed(t.mid(1, t.indexOf(QLatin1Char(']')) - 1));
            else if (line.contains(QLatin1Char('=')))
                names.append({current, line.left(line.indexOf(QLatin1Char('=')))});
        }
        QList<QString> valuesBefore;
        for (const auto& [s, k] : names)
            valuesBefore << ini.read(s, k);

        bool written = true;
        try {
            ini.write(section, key, value);
        } catch (const IniWriteError&) {
            written = false;
        }
        if (!written) {
            QCOMPARE(readAll(path), before);
            return;
        }
        QString expected = value;
        expected.replace(QLatin1String("\r\n"), QLatin1String(" "));
        expected.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        QCOMPARE(ini.read(section, key), trimmed(expected));
        for (int i = 0; i < names.size(); ++i) {
            const auto& [s, k] = names[i];
            const bool same = equalsFold(trimmed(s), trimmed(section)) && equalsFold(trimmed(k), trimmed(key));
            if (!same)
                QCOMPARE(ini.read(s, k), valuesBefore[i]);
        }
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestFileLayer)
#include "tst_core_filelayer.moc"
