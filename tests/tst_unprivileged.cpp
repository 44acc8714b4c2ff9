// The program run by an ordinary user, where the system's permissions are
// real: unreadable, read-only and no-create files and folders. Root ignores
// file permissions, so when started as root this program runs itself again
// as "nobody" (setpriv, or runuser) and reports that run; where that is not
// possible every test is skipped with the reason.
#include "app/core/crypt.h"
#include "app/password.h"
#include "app/registry.h"
#include "app/startup.h"
#include "patients/attachments.h"
#include "patients/privacy.h"
#include "patients/tfrmclienti.h"
#include "storage/archive.h"
#include "storage/inifile.h"
#include "storage/programfolder.h"
#include "support/testenv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace vornel;
using Kind = vornel::msg::Kind;

namespace {

constexpr auto kReadWrite = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
constexpr auto kFolderAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser
                            | QFile::WriteUser | QFile::ExeUser;
constexpr auto kFolderNoCreate = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser;

const char* const kSkipReason = "VORNEL_UNPRIVILEGED_SKIP";
const char* const kChildMark = "VORNEL_UNPRIVILEGED_CHILD";

QString settingsPath()
{
    return programPath(QStringLiteral("Studio_Medico_Vrn.ini"));
}

} // namespace

class TestUnprivileged : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QString skip = qEnvironmentVariable(kSkipReason);
        if (!skip.isEmpty())
            QSKIP(qPrintable(skip));
        // Make sure permissions hold here: a file nobody may read.
        TestEnv env;
        const QString probe = env.path(QStringLiteral("prova"));
        testing::writeFile(probe, "x");
        QFile::setPermissions(probe, QFile::WriteOwner);
        QFile f(probe);
        const bool opened = f.open(QIODevice::ReadOnly);
        QFile::setPermissions(probe, kReadWrite);
        if (opened)
            QSKIP("this user can read files without the permission (root or CAP_DAC_OVERRIDE): "
                  "the system's permissions cannot be shown here");
    }

    void init() { m_env = std::make_unique<TestEnv>(); }
    void cleanup()
    {
        shutDown();
        QFile::setPermissions(m_env->folder(), kFolderAll);
        QDir folder(m_env->folder());
        for (const QFileInfo& i : folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            QFile::setPermissions(i.filePath(), i.isDir() ? kFolderAll : kReadWrite);
            if (i.isDir())
                for (const QFileInfo& j : QDir(i.filePath()).entryInfoList(QDir::Files | QDir::Hidden))
                    QFile::setPermissions(j.filePath(), kReadWrite);
        }
        m_env.reset();
    }

    // A settings file the user may write but not read: the privacy window
    // shows it empty and refuses to replace it, "Titolare Privacy" and the
    // office data stay.
    void settingsWritableButNotReadable()
    {
        const QByteArray stored = "[Modulo Privacy]\r\nStudio Medico=Studio Bianchi\r\nTitolare Privacy=Bianchi Laura\r\n";
        testing::writeFile(settingsPath(), stored);
        QVERIFY(QFile::setPermissions(settingsPath(), QFile::WriteOwner | QFile::WriteUser));
        {
            TfrmPrivacy w(nullptr);
            w.show();
            QCOMPARE(w.txtPrivacy->text(), QString());
            m_env->confirmAnswer = false; // stay
            QTest::mouseClick(w.btnChiudi, Qt::LeftButton);
            QCOMPARE(m_env->texts().value(0), QStringLiteral("Unable to write to ") + settingsPath());
            QVERIFY(w.isVisible());
        }
        QVERIFY(QFile::setPermissions(settingsPath(), kReadWrite));
        QCOMPARE(testing::readFile(settingsPath()), stored);
    }

    // A read-only settings file is refused and left as it is.
    void readOnlySettingsFile()
    {
        const QByteArray stored = "[Modulo Privacy]\r\nLuogo=Roma\r\n";
        testing::writeFile(settingsPath(), stored);
        QVERIFY(QFile::setPermissions(settingsPath(), QFile::ReadOwner | QFile::ReadUser));
        QVERIFY_THROWS_EXCEPTION(IniWriteError, IniFile(settingsPath()).write(QStringLiteral("Modulo Privacy"),
                                                                              QStringLiteral("Luogo"),
                                                                              QStringLiteral("Milano")));
        QCOMPARE(testing::readFile(settingsPath()), stored);
    }

    // A history file that cannot be read or cannot be written stops the
    // overwrite of its archive, and is never replaced.
    void historyWithoutRightsStopsTheOverwrite_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("read-only") << int(QFile::ReadOwner | QFile::ReadUser);
        QTest::newRow("write-only") << int(QFile::WriteOwner | QFile::WriteUser);
    }
    void historyWithoutRightsStopsTheOverwrite()
    {
        QFETCH(int, mode);
        Record r(layouts::TSchedaPaziente);
        r.setText("txtPaziente", QStringLiteral("ROSSI MARIO"));
        Archive(archives::Pazienti).append(r);
        r.setText("txtPaziente", QStringLiteral("ROSSI MARIA"));
        Archive(archives::Pazienti).overwrite(1, r);
        const QString archive = programPath(QStringLiteral("Pazienti.vrn"));
        const QString history = programPath(QStringLiteral("Pazienti_Storico.vrn"));
        const QByteArray archiveBefore = testing::readFile(archive);
        QVERIFY(QFile::setPermissions(history, QFile::Permissions(mode)));
        const QByteArray historyBefore = QFileInfo(history).isReadable() ? testing::readFile(history) : QByteArray();

        r.setText("txtPaziente", QStringLiteral("BIANCHI LUCA"));
        QVERIFY_THROWS_EXCEPTION(ArchiveError, Archive(archives::Pazienti).overwrite(1, r));
        QCOMPARE(testing::readFile(archive), archiveBefore);
        QVERIFY(QFile::setPermissions(history, kReadWrite));
        QCOMPARE(QFileInfo(history).size(), 96 + 4436);
        if (!historyBefore.isEmpty())
            QCOMPARE(testing::readFile(history), historyBefore);
    }

    // A replaced settings file keeps its permissions.
    void replaceKeepsPermissions()
    {
        testing::writeFile(settingsPath(), "[Modulo Privacy]\r\nLuogo=Roma\r\n");
        const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(settingsPath(), mode));
        IniFile(settingsPath()).write(QStringLiteral("Modulo Privacy"), QStringLiteral("Luogo"), QStringLiteral("Milano"));
        QCOMPARE(IniFile(settingsPath()).read(QStringLiteral("Modulo Privacy"), QStringLiteral("Luogo")),
                 QStringLiteral("Milano"));
        const auto bits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::WriteGroup
                          | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(settingsPath()).permissions() & bits, mode);
    }

    // A folder where files may be changed but not created (a common shared
    // network folder): the settings and the password are written in place.
    void folderWithoutCreateRights()
    {
        testing::writeFile(settingsPath(), "[Modulo Privacy]\r\nLuogo=Roma\r\n");
        IniFile(passwordFilePath()).write(QStringLiteral("Accesso"), QStringLiteral("Valore"),
                                          Crypt::Encrypt(QStringLiteral("VORNEL")));
        startUp();
        QVERIFY(QFile::setPermissions(m_env->folder(), kFolderNoCreate));
        QVERIFY(!QFile(m_env->path(QStringLiteral("nuovo"))).open(QIODevice::WriteOnly)); // really no create

        IniFile(settingsPath()).write(QStringLiteral("Modulo Privacy"), QStringLiteral("Titolare Privacy"),
                                      QStringLiteral("Bianchi Laura"));
        QCOMPARE(testing::readFile(settingsPath()),
                 QByteArray("[Modulo Privacy]\r\nLuogo=Roma\r\nTitolare Privacy=Bianchi Laura\r\n"));

        auto* change = instance<TfrmCambiaPassword>();
        goTo(change, instance<TfrmPassword>());
        change->txtPasswordOld->setText(QStringLiteral("vornel"));
        change->txtPasswordNew->setText(QStringLiteral("nuova"));
        change->txtConferma->setText(QStringLiteral("nuova"));
        QTest::mouseClick(change->cmdOK, Qt::LeftButton);
        QCOMPARE(m_env->texts(), QStringList{QStringLiteral("Modifica della password completata con successo.")});
        QCOMPARE(IniFile(passwordFilePath()).read(QStringLiteral("Accesso"), QStringLiteral("Valore")),
                 Crypt::Encrypt(QStringLiteral("NUOVA")));
        QStringList left = QDir(m_env->folder()).entryList(QDir::Files | QDir::Hidden);
        left.sort();
        QCOMPARE(left, (QStringList{"Certificati.vrn", "Certificati_Agonistici.vrn", "Certificati_Disabili.vrn",
                                    "Certificati_Non_Idoneita.vrn", "Studio_Medico_Vrn.ini", "unins000.dll"}));
    }

    // A program folder the user may not create files in: the login window
    // says so at start-up, naming the folder, before anything else.
    void unwritableFolderIsSaidAtStartUp()
    {
        QVERIFY(QFile::setPermissions(m_env->folder(), kFolderNoCreate));
        startUp();
        QVERIFY(instance<TfrmPassword>()->isVisible());
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].kind, Kind::Warning);
        QVERIFY(m_env->messages[0].text.startsWith(
            QStringLiteral("La cartella del programma non \u00e8 scrivibile: le schede non potranno essere salvate.")));
        QVERIFY(m_env->messages[0].text.contains(QDir::toNativeSeparators(m_env->folder())));
    }

    // An attachment that would replace a read-only file in a read-only
    // folder: the copy fails, the old file stays, the slot keeps its name.
    void attachmentOverAReadOnlyFile()
    {
        registerWindow(new TfrmClienti);
        const QString folder = TfrmAllegaCartella::attachmentsFolder();
        QVERIFY(QDir().mkpath(folder));
        const QString old = folder + QStringLiteral("/referto.pdf");
        testing::writeFile(old, "primo paziente");
        QVERIFY(QFile::setPermissions(old, QFile::ReadOwner | QFile::ReadUser));
        QVERIFY(QFile::setPermissions(folder, kFolderNoCreate));
        QTemporaryDir outside;
        const QString chosen = outside.filePath(QStringLiteral("referto.pdf"));
        testing::writeFile(chosen, "secondo paziente");
        m_env->openFileAnswer = chosen;

        TfrmAllegaCartella w(instance<TfrmClienti>());
        w.lblMemory->setText(QStringLiteral("clienti"));
        w.txtFile01->setText(QStringLiteral("vecchio.pdf"));
        w.show();
        QTest::mouseClick(w.btnSfoglia01, Qt::LeftButton);
        QCOMPARE(m_env->messages.size(), 2); // replace? then the failure
        QCOMPARE(m_env->messages[1].kind, Kind::Error);
        QCOMPARE(w.txtFile01->text(), QStringLiteral("vecchio.pdf"));
        QCOMPARE(testing::readFile(old), QByteArray("primo paziente"));
        QFile::setPermissions(folder, kFolderAll);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"referto.pdf"});
    }

private:
    std::unique_ptr<TestEnv> m_env;
};

namespace {

#ifdef Q_OS_UNIX
// Runs this program again as "nobody"; returns its exit code, or -1 (with
// the reason) when the machine does not allow it.
int runAsNobody(int argc, char** argv, QString* why)
{
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    QStringList wrap;
    if (const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv")); !setpriv.isEmpty())
        wrap = {setpriv, QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                QStringLiteral("--clear-groups"), QStringLiteral("--")};
    else if (const QString runuser = QStandardPaths::findExecutable(QStringLiteral("runuser")); !runuser.isEmpty())
        wrap = {runuser, QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--")};
    if (wrap.isEmpty()) {
        *why = QStringLiteral("running as root and neither setpriv nor runuser is installed (Debian: util-linux)");
        return -1;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildMark), QStringLiteral("1"));
    env.insert(QStringLiteral("HOME"), QDir::tempPath());
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    const auto run = [&](const QStringList& args, QProcess::ProcessChannelMode mode) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(mode);
        p.start(wrap.first(), wrap.mid(1) + QStringList{self} + args);
        if (!p.waitForStarted() || !p.waitForFinished(240000))
            return -2;
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    };
    // Can "nobody" run this program at all (its folder readable, the
    // system letting root change user)?
    if (run({QStringLiteral("-functions")}, QProcess::SeparateChannels) != 0) {
        *why = QStringLiteral("running as root and this program cannot be run again as \"nobody\" "
                              "(changing user refused, or its folder is not readable by others)");
        return -1;
    }
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    std::printf("Running as \"nobody\": %s\n", qPrintable(wrap.first()));
    std::fflush(stdout);
    return run(args, QProcess::ForwardedChannels);
}
#endif

} // namespace

int main(int argc, char** argv)
{
#ifdef Q_OS_UNIX
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty(kChildMark)) {
        QString why;
        const int code = runAsNobody(argc, argv, &why);
        if (code >= 0)
            return code;
        if (code == -2)
            return 1;
        qputenv(kSkipReason, why.toLocal8Bit());
    }
#endif
    QApplication app(argc, argv);
    TestUnprivileged test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_unprivileged.moc"
