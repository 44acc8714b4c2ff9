#include "storage/appendlock.h"
#include "storage/archive.h"
#include "storage/filelayer.h"
#include "storage/cp1252.h"
#include "storage/inifile.h"
#include "storage/programfolder.h"
#include "storage/records.h"
#include "storage/text.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <thread>

using namespace vornel;

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
// A "folder" nothing can be created in, even by root: a path below a file.
QString unusableFolder(const QTemporaryDir& dir)
{
    const QString file = dir.filePath(QStringLiteral("not-a-folder"));
    writeAll(file, "x");
    return file + QStringLiteral("/sub");
}
} // namespace

class TestStorage : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        setProgramFolder(m_dir.path());
    }
    void cleanup()
    {
        for (const QString& f : QDir(m_dir.path()).entryList(QDir::Files))
            QFile::remove(m_dir.filePath(f));
        setProgramFolder(QString());
    }

    void textRules_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("trimmed");
        QTest::addColumn<QString>("upper");
        QTest::newRow("blanks and controls") << QStringLiteral("\t \x01 Rossi Mario \r\n") << QStringLiteral("Rossi Mario")
                                             << QStringLiteral("\t \x01 ROSSI MARIO \r\n");
        QTest::newRow("nbsp kept") << QStringLiteral("\u00a0x\u00a0") << QStringLiteral("\u00a0x\u00a0")
                                   << QStringLiteral("\u00a0X\u00a0");
        QTest::newRow("accents keep case") << QStringLiteral("citt\u00e0 \u00c8") << QStringLiteral("citt\u00e0 \u00c8")
                                           << QStringLiteral("CITT\u00e0 \u00c8");
    }
    void textRules()
    {
        QFETCH(QString, in);
        QFETCH(QString, trimmed);
        QFETCH(QString, upper);
        QCOMPARE(vornel::trimmed(in), trimmed);
        QCOMPARE(upperAscii(in), upper);
        QCOMPARE(lowerAscii(upperAscii(QStringLiteral("AbC\u00c8"))), QStringLiteral("abc\u00c8"));
        QVERIFY(equalsFold(QStringLiteral("calcio"), QStringLiteral("CALCIO")));
        QVERIFY(!equalsFold(QStringLiteral("\u00e8"), QStringLiteral("\u00c8")));
        QCOMPARE(indexOfFold(QStringLiteral("Tiro con l'arco"), QStringLiteral("ARCO")), 11);
        QVERIFY(compareFold(QStringLiteral("abc"), QStringLiteral("ABD")) < 0);
    }

    void codecRoundTripsEveryByte()
    {
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString s = cp1252::decode(all);
        QCOMPARE(s.size(), 256);
        QCOMPARE(s[0x80], QChar(0x20AC));
        QCOMPARE(s[0xEC], QChar(0x00EC));
        QCOMPARE(cp1252::encode(s), all);
        // Characters Windows-1252 lacks become one '?' each, even outside the BMP.
        QCOMPARE(cp1252::encode(QStringLiteral("a\u0101b\u4e2d\U0001F600c")), QByteArray("a?b??c"));
    }

    void recordPacking_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("trimmed") << "txtPaziente" << "  Rossi Mario\t" << QByteArray("Rossi Mario");
        QTest::newRow("cut to capacity") << "txtData" << "14/03/2026 ore 10" << QByteArray("14/03/2026");
        QTest::newRow("cut after trim") << "txtProvDent" << " mi " << QByteArray("mi");
        QTest::newRow("missing characters") << "txtLuogo" << QStringLiteral("K\u00f6ln \u0141\u00f3d\u017a")
                                            << QByteArray("K\xf6ln ?\xf3""d?");
        QTest::newRow("euro and accents") << "txtLuogo" << QStringLiteral("\u20ac citt\u00e0")
                                          << QByteArray("\x80 citt\xe0");
        QTest::newRow("empty") << "txtLibero" << "   " << QByteArray();
    }
    void recordPacking()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QByteArray, stored);
        const RecordLayout& layout = layouts::TSchedaAgonistica;
        Record r(layout);
        const int i = layout.indexOf(QStringView(field));
        QVERIFY(i >= 0);
        r.setText(i, text);
        const int off = layout.offsetOf(i);
        const int cap = layout.fields()[i].capacity;
        QCOMPARE(int(static_cast<unsigned char>(r.bytes()[off])), stored.size());
        QCOMPARE(r.bytes().mid(off + 1, stored.size()), stored);
        QCOMPARE(r.bytes().mid(off + 1 + stored.size(), cap - stored.size()), QByteArray(cap - stored.size(), '\0'));
        QCOMPARE(r.text(i), cp1252::decode(stored));
        // The scan's whole-record decoding gives the same texts.
        RecordText all;
        all.decode(layout, r.bytes().constData());
        QCOMPARE(all.field(i).toString(), cp1252::decode(stored));
        QCOMPARE(all.field(i - 1).toString(), QString());
    }

    void layoutsHaveTheirOffsets()
    {
        const RecordLayout& c = layouts::TSchedaCertificato;
        QCOMPARE(c.size(), 1975);
        QCOMPARE(c.offsetOf(c.indexOf(std::string_view("txtMedico"))), 1163);
        QCOMPARE(c.offsetOf(c.indexOf(std::string_view("chkCompletato"))), 1972);
        const RecordLayout& n = layouts::TSchedaNonIdoneita;
        QCOMPARE(n.offsetOf(n.indexOf(std::string_view("txtSportApprovato"))), 2452);
        QCOMPARE(n.offsetOf(n.indexOf(std::string_view("chkCompletato"))), 2835);
        const RecordLayout& a = layouts::TSchedaAgonistica;
        QCOMPARE(a.offsetOf(a.indexOf(std::string_view("txtNumMesi"))), 2703);
        QCOMPARE(a.offsetOf(a.indexOf(std::string_view("txtData"))), 2886);
        const RecordLayout& p = layouts::TSchedaPaziente;
        QCOMPARE(p.size(), 4436);
        QCOMPARE(p.offsetOf(p.indexOf(std::string_view("txtVaccinazioni"))), 668);
        QCOMPARE(p.offsetOf(p.indexOf(std::string_view("chkRicontatta"))), 2927);
        QCOMPARE(p.offsetOf(p.indexOf(std::string_view("lblDesc03"))), 4185);
    }

    void flags_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("expected"); // 1 yes, 0 no, -1 neither
        QTest::newRow("Si") << QByteArray("\x02S\xec", 3) << 1;
        QTest::newRow("No") << QByteArray("\x02No", 3) << 0;
        QTest::newRow("lower no") << QByteArray("\x02no", 3) << -1;
        QTest::newRow("plain S") << QByteArray("\x01S", 2) << -1;
        QTest::newRow("empty") << QByteArray("\x00", 1) << -1;
        QTest::newRow("length byte too large") << QByteArray("\xffNo", 3) << 0;
    }
    void flags()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, expected);
        const RecordLayout& layout = layouts::TSchedaCertificato;
        QByteArray bytes(layout.size(), '\0');
        bytes.replace(1972, stored.size(), stored);
        Record r(layout, bytes.constData());
        const std::optional<bool> f = r.flag("chkCompletato");
        QCOMPARE(f.has_value() ? int(*f) : -1, expected);
        r.setFlag("chkCompletato", true);
        QCOMPARE(r.bytes().mid(1972, 3), QByteArray("\x02S\xec"));
        r.setFlag("chkCompletato", false);
        QCOMPARE(r.bytes().mid(1972, 3), QByteArray("\x02No"));
    }

    void missingArchiveIsCreatedEmpty()
    {
        const QString path = programPath(QStringLiteral("Certificati.vrn"));
        QVERIFY(!QFile::exists(path));
        Archive a(archives::Certificati);
        a.open();
        QCOMPARE(a.count(), 0);
        a.close();
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void appendUpdateAndPartialTail()
    {
        const QString path = programPath(QStringLiteral("Certificati_Agonistici.vrn"));
        const int size = layouts::TSchedaAgonistica.size();
        Record r(layouts::TSchedaAgonistica);
        {
            Archive a(archives::Agonistici);
            a.open();
            for (int i = 1; i <= 3; ++i) {
                r.setText("txtPaziente", QStringLiteral("Atleta %1").arg(i));
                QCOMPARE(a.append(r), qint64(i));
            }
        }
        // A partial record at the end is ignored and overwritten by the next append.
        QByteArray bytes = readAll(path);
        QCOMPARE(bytes.size(), 3 * size);
        writeAll(path, bytes + QByteArray(size / 2, '\x7f'));
        {
            Archive a(archives::Agonistici);
            a.open();
            QCOMPARE(a.count(), 3);
            r.setText("txtPaziente", QStringLiteral("Atleta 4"));
            QCOMPARE(a.append(r), qint64(4));
        }
        bytes = readAll(path);
        QCOMPARE(bytes.size(), 4 * size);

        // Updating record 2 in place leaves every other byte as it was.
        {
            Archive a(archives::Agonistici);
            a.open();
            a.seek(1);
            Record two(layouts::TSchedaAgonistica);
            a.read(two);
            QCOMPARE(a.position(), 2);
            QCOMPARE(two.text("txtPaziente"), QStringLiteral("Atleta 2"));
            two.setText("txtSportApprovato", QStringLiteral("Calcio"));
            a.seek(1);
            a.write(two);
            QCOMPARE(a.position(), 2);
            QCOMPARE(a.count(), 4);
        }
        const QByteArray after = readAll(path);
        QCOMPARE(after.size(), bytes.size());
        QCOMPARE(after.left(size), bytes.left(size));
        QCOMPARE(after.mid(2 * size), bytes.mid(2 * size));
        QVERIFY(after.mid(size, size) != bytes.mid(size, size));

        // A scan reads every record in order.
        QStringList names;
        Archive a(archives::Agonistici);
        a.open();
        a.scan([&](const char* rec, qint64 index) {
            names << QStringLiteral("%1:%2").arg(index).arg(fieldText(layouts::TSchedaAgonistica, rec, 12));
        });
        QCOMPARE(names, QStringList({"0:Atleta 1", "1:Atleta 2", "2:Atleta 3", "3:Atleta 4"}));
    }

    void storeRecordUpdatesOrAppends()
    {
        Record r(layouts::TSchedaNonIdoneita);
        Archive a(archives::NonIdoneita);
        a.open();
        r.setText("txtPaziente", QStringLiteral("Primo"));
        QCOMPARE(storeRecord(a, r, QStringLiteral("  ")), qint64(1));
        r.setText("txtPaziente", QStringLiteral("Secondo"));
        QCOMPARE(storeRecord(a, r, QString()), qint64(2));
        r.setText("txtPaziente", QStringLiteral("Primo bis"));
        QCOMPARE(storeRecord(a, r, QStringLiteral(" 1")), qint64(1));
        QCOMPARE(a.count(), 2);
        // Only a stored record is overwritten.
        for (const char* shown : {"3", "0", "-1", "x"})
            QVERIFY_THROWS_EXCEPTION(ArchiveError, storeRecord(a, r, QString::fromLatin1(shown)));
        QCOMPARE(a.count(), 2);
        Record back(layouts::TSchedaNonIdoneita);
        a.seek(0);
        a.read(back);
        QCOMPARE(back.text("txtPaziente"), QStringLiteral("Primo bis"));
    }

    // An append that waits for the lock writes into the file the lock
    // protects when it gets it: a file put in place meanwhile (a restore),
    // never the one moved away.
    void appendWaitingForTheLockWritesTheFileInPlace()
    {
        const QString path = programPath(QStringLiteral("Pazienti.vrn"));
        Record r(layouts::TSchedaPaziente);
        QByteArray old, fresh;
        r.setText("txtPaziente", QStringLiteral("Vecchio"));
        old = r.bytes() + r.bytes();
        r.setText("txtPaziente", QStringLiteral("Nuovo"));
        fresh = r.bytes();
        writeAll(path, old);
        auto held = std::make_unique<AppendLock>(path);
        QVERIFY(held->held());
        qint64 position = 0;
        QString failure;
        std::thread other([&] {
            try {
                Record mine(layouts::TSchedaPaziente);
                mine.setText("txtPaziente", QStringLiteral("Salvato"));
                Archive a(archives::Pazienti);
                position = a.append(mine);
            } catch (const std::exception& e) {
                failure = QString::fromLocal8Bit(e.what());
            }
        });
        QThread::msleep(300);
        QVERIFY(QFile::rename(path, path + QStringLiteral(".spostato")));
        writeAll(path, fresh);
        held.reset();
        other.join();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(position, qint64(2));
        QCOMPARE(readAll(path + QStringLiteral(".spostato")), old);
        const QByteArray now = readAll(path);
        QCOMPARE(now.size(), 2 * layouts::TSchedaPaziente.size());
        QCOMPARE(Record(layouts::TSchedaPaziente, now.constData() + layouts::TSchedaPaziente.size()).text("txtPaziente"),
                 QStringLiteral("Salvato"));
    }

    // A record the disk does not confirm is not stored: the append fails and
    // leaves the file as it was; an overwrite fails too.
    void unsyncedRecordIsNotStored()
    {
        const QString path = programPath(QStringLiteral("Certificati.vrn"));
        Record r(layouts::TSchedaCertificato);
        r.setText("txtPaziente", QStringLiteral("Primo"));
        writeAll(path, r.bytes());
        files::faults::failOn(files::Op::Sync, QStringLiteral("Certificati.vrn"));
        Archive a(archives::Certificati);
        QVERIFY_THROWS_EXCEPTION(ArchiveError, storeRecord(a, r, QString()));
        QCOMPARE(readAll(path), r.bytes());
        QVERIFY_THROWS_EXCEPTION(ArchiveError, storeRecord(a, r, QStringLiteral("1")));
        files::faults::clear();
        QCOMPARE(storeRecord(a, r, QString()), qint64(2));
    }

    void unusableFolderFails()
    {
        setProgramFolder(unusableFolder(m_dir));
        Archive a(archives::Pazienti);
        QVERIFY_THROWS_EXCEPTION(ArchiveError, a.open());
        QVERIFY(archiveErrorMessage().startsWith(QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\rAccertarsi")));
    }

    void concurrentAppendsKeepEveryRecord()
    {
        const QString helper = QDir(qEnvironmentVariable("VORNEL_TEST_HELPER_DIR")).filePath(QStringLiteral("appender"));
        if (!QFile::exists(helper))
            QFAIL("the appender helper is missing");
        QProcess one, two;
        one.start(helper, {m_dir.path(), QStringLiteral("A"), QStringLiteral("500")});
        two.start(helper, {m_dir.path(), QStringLiteral("B"), QStringLiteral("500")});
        QVERIFY(one.waitForFinished(120000));
        QVERIFY(two.waitForFinished(120000));
        QCOMPARE(one.exitCode(), 0);
        QCOMPARE(two.exitCode(), 0);

        const QByteArray bytes = readAll(programPath(QStringLiteral("Pazienti.vrn")));
        const int size = layouts::TSchedaPaziente.size();
        QCOMPARE(bytes.size(), 1000 * size);
        QSet<QString> seen;
        for (int k = 0; k < 1000; ++k) {
            Record r(layouts::TSchedaPaziente, bytes.constData() + k * size);
            const QString name = r.text("txtPaziente");
            const QStringList parts = name.split(QLatin1Char(' '));
            QCOMPARE(parts.size(), 2);
            QCOMPARE(r.text("txtNote"), trimmed(QStringLiteral("Nota %1 ").arg(name).repeated(10)));
            QCOMPARE(*r.flag("chkRicontatta"), parts[1].toInt() % 2 == 0);
            seen.insert(name);
        }
        QCOMPARE(seen.size(), 1000);
    }

    void iniSemantics()
    {
        const QString path = programPath(QStringLiteral("Studio_Medico_Vrn.ini"));
        IniFile ini(path);
        QCOMPARE(ini.read(QStringLiteral("Modulo Privacy"), QStringLiteral("Studio Medico")), QString());

        writeAll(path, "; commento\r\n[modulo privacy]\r\nSTUDIO MEDICO = Studio Rossi \r\nAltro=1\r\n\r\n"
                       "[Certificato Medico]\r\nMedico Certificatore=Dott. Bianchi\r\n");
        QCOMPARE(ini.read(QStringLiteral("Modulo Privacy"), QStringLiteral("Studio Medico")), QStringLiteral("Studio Rossi"));
        QCOMPARE(ini.read(QStringLiteral("MODULO PRIVACY"), QStringLiteral("altro")), QStringLiteral("1"));
        QCOMPARE(ini.read(QStringLiteral("Certificato Medico"), QStringLiteral("Studio Medico")), QString());

        ini.write(QStringLiteral("Modulo Privacy"), QStringLiteral("Studio Medico"), QStringLiteral("Studio = Verdi"));
        ini.write(QStringLiteral("Modulo Privacy"), QStringLiteral("Comune Sede"), QStringLiteral("Forl\u00ec"));
        ini.write(QStringLiteral("Certificato Medico"), QStringLiteral("Codice Regione"), QStringLiteral("080"));
        ini.write(QStringLiteral("Nuova Sezione"), QStringLiteral("Chiave con spazi"), QStringLiteral("  valore  "));
        QCOMPARE(readAll(path), QByteArray("; commento\r\n[modulo privacy]\r\nStudio Medico=Studio = Verdi\r\nAltro=1\r\n"
                                           "Comune Sede=Forl\xec\r\n\r\n"
                                           "[Certificato Medico]\r\nMedico Certificatore=Dott. Bianchi\r\nCodice Regione=080\r\n"
                                           "[Nuova Sezione]\r\nChiave con spazi=  valore  \r\n"));
        QCOMPARE(ini.read(QStringLiteral("Modulo Privacy"), QStringLiteral("Studio Medico")), QStringLiteral("Studio = Verdi"));
        QCOMPARE(ini.read(QStringLiteral("Modulo Privacy"), QStringLiteral("Comune Sede")), QStringLiteral("Forl\u00ec"));
        QCOMPARE(ini.read(QStringLiteral("Nuova Sezione"), QStringLiteral("Chiave con spazi")), QStringLiteral("valore"));
    }

    void iniRefusedWrite()
    {
        const QString path = unusableFolder(m_dir) + QStringLiteral("/Studio_Medico_Vrn.ini");
        IniFile ini(path);
        QCOMPARE(ini.read(QStringLiteral("Modulo Privacy"), QStringLiteral("Luogo")), QString());
        try {
            ini.write(QStringLiteral("Modulo Privacy"), QStringLiteral("Luogo"), QStringLiteral("Roma"));
            QFAIL("the write should have been refused");
        } catch (const IniWriteError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Unable to write to ") + path);
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_core_storage.moc"
