// The portable release: scripts/package.sh assembles it from the build as it
// stands (nothing is compiled), the archive is unpacked and moved to another
// path, and the program started from there with an empty environment must run
// on its own libraries, plugins and fonts; the dynamic loader reports every
// library it opens, and each must lie inside the folder or on the base list.
#include "app/startup.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kSourceDir = QStringLiteral(VORNEL_SOURCE_DIR);
const QString kBuildDir = QStringLiteral(VORNEL_BUILD_DIR);
const QString kProgramDir = QStringLiteral(VORNEL_PROGRAM_DIR);

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString& program, const QStringList& args, int timeoutMs = 120000)
{
    QProcess p;
    p.start(program, args);
    Run r;
    if (!p.waitForStarted() || !p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = "did not run to its end: " + program.toUtf8();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestPackage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("patchelf")).isEmpty(),
                 "patchelf is missing: scripts/install-deps.sh installs it");
        QVERIFY(m_work.isValid());
        const QString out = m_work.filePath(QStringLiteral("dist"));
        const Run made = run(QStringLiteral("bash"),
                             {kSourceDir + QStringLiteral("/scripts/package.sh"), QStringLiteral("--no-build"),
                              QStringLiteral("--build-dir"), kBuildDir, QStringLiteral("--program-dir"),
                              kProgramDir, QStringLiteral("--out"), out});
        QVERIFY2(made.code == 0, made.err.constData());

        m_name = QStringLiteral("Vornel-%1").arg(QStringLiteral(VORNEL_VERSION));
        m_archive = out + QStringLiteral("/%1-linux-x86_64.tar.gz").arg(m_name);
        QVERIFY2(QFileInfo::exists(m_archive), qPrintable(m_archive));
        QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{QFileInfo(m_archive).fileName()});

        const Run listed = run(QStringLiteral("tar"), {QStringLiteral("-tvzf"), m_archive});
        QVERIFY2(listed.code == 0, listed.err.constData());
        m_listing = QString::fromUtf8(listed.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);

        // Unpacked in one place, then moved to another: the folder must not
        // remember where it was made or first unpacked.
        const QString unpacked = m_work.filePath(QStringLiteral("unpacked"));
        QVERIFY(QDir().mkpath(unpacked));
        const Run untar = run(QStringLiteral("tar"), {QStringLiteral("-xzf"), m_archive, QStringLiteral("-C"), unpacked});
        QVERIFY2(untar.code == 0, untar.err.constData());
        QVERIFY(QDir().mkpath(m_work.filePath(QStringLiteral("another/place"))));
        m_folder = m_work.filePath(QStringLiteral("another/place/Vornel studio"));
        QVERIFY(QDir().rename(unpacked + QLatin1Char('/') + m_name, m_folder));

        const Run base = run(QStringLiteral("bash"), {kSourceDir + QStringLiteral("/scripts/package.sh"),
                                                      QStringLiteral("--list-base")});
        QCOMPARE(base.code, 0);
        const QStringList names = QString::fromUtf8(base.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        m_base = QSet<QString>(names.begin(), names.end());
        QVERIFY(m_base.contains(QStringLiteral("libc.so.6")));
    }

    void archiveIsOneFolderWithoutLinks()
    {
        QVERIFY(!m_listing.isEmpty());
        for (const QString& line : m_listing) {
            // "-rw-r--r-- 0/0 1234 2026-01-01 10:00 Vornel-1.0/lib/libQt6Core.so.6"
            QVERIFY2(line.startsWith(QLatin1Char('-')) || line.startsWith(QLatin1Char('d')),
                     qPrintable(QStringLiteral("not a plain file or folder: ") + line));
            const QString path = line.section(QLatin1Char(' '), -1);
            QVERIFY2(path.startsWith(m_name + QLatin1Char('/')), qPrintable(line));
        }
        QDirIterator it(m_folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo fi(it.next());
            QVERIFY2(!fi.isSymLink(), qPrintable(fi.filePath()));
        }
    }

    void folderHoldsTheProgram()
    {
        const QDir dir(m_folder);
        QCOMPARE(readAll(dir.filePath(QStringLiteral("Guida.pdf"))), readAll(kProgramDir + QStringLiteral("/Guida.pdf")));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("vornel"))).isExecutable());
        // The password file is the initial one, whatever was done with the
        // development build's copy.
        const QString initial = m_work.filePath(QStringLiteral("unins000.dll"));
        QCOMPARE(run(kBuildDir + QStringLiteral("/makepassword"), {initial}).code, 0);
        QCOMPARE(readAll(dir.filePath(QStringLiteral("unins000.dll"))), readAll(initial));

        for (const char* file : {"qt.conf", "lib/libQt6Core.so.6", "lib/libQt6Widgets.so.6", "lib/libzip.so.4",
                                 "lib/libcrypto.so.3", "plugins/platforms/libqxcb.so",
                                 "plugins/platforms/libqoffscreen.so", "plugins/imageformats/libqsvg.so",
                                 "plugins/iconengines/libqsvgicon.so", "plugins/printsupport/libcupsprintersupport.so",
                                 "translations/qtbase_it.qm", "LICENZE/Qt.txt", "LICENZE/LGPL-3.txt",
                                 "LICENZE/ELENCO.txt"})
            QVERIFY2(QFileInfo(dir.filePath(QLatin1String(file))).isFile(), file);
        // No library of the base is bundled, and every bundled one has its
        // package's licence.
        const QString licences = QString::fromUtf8(readAll(dir.filePath(QStringLiteral("LICENZE/ELENCO.txt"))));
        for (const QString& lib : QDir(dir.filePath(QStringLiteral("lib"))).entryList(QDir::Files))
            QVERIFY2(!m_base.contains(lib), qPrintable(lib));
        for (const char* package : {"libqt6core6", "libzip4", "libssl3", "libicu72"}) {
            if (!licences.contains(QLatin1String(package) + QLatin1Char(' ')))
                continue; // another release of Debian names it otherwise
            QVERIFY2(QFileInfo(dir.filePath(QStringLiteral("LICENZE/%1.txt").arg(QLatin1String(package)))).isFile(),
                     package);
        }
        QVERIFY(licences.contains(QLatin1String("libzip")));
    }

    void fontsHoldTheFourFamilies()
    {
        const QStringList families = vornel::loadProgramFonts(m_folder + QStringLiteral("/fonts"));
        for (const char* family : {"Liberation Sans", "Liberation Serif", "Liberation Mono", "DejaVu Sans"})
            QVERIFY2(families.contains(QLatin1String(family)), family);
        QVERIFY(QFileInfo(m_folder + QStringLiteral("/fonts/LICENZA-Liberation.txt")).isFile());
        QVERIFY(QFileInfo(m_folder + QStringLiteral("/fonts/LICENZA-DejaVu.txt")).isFile());
        // Without the folder nothing is loaded and the system's fonts serve.
        QVERIFY(vornel::loadProgramFonts(m_work.filePath(QStringLiteral("no-fonts"))).isEmpty());
    }

    void startsWithItsOwnLibrariesOnly()
    {
        const QString canonical = QFileInfo(m_folder).canonicalFilePath() + QLatin1Char('/');
        QTemporaryDir elsewhere;
        QProcess p;
        QProcessEnvironment env; // nothing of this machine's environment
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("libs"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(elsewhere.path());
        p.start(m_folder + QStringLiteral("/vornel"), {});
        QVERIFY(p.waitForStarted());
        const bool ended = p.waitForFinished(3000);
        QByteArray err = p.readAllStandardError();
        QVERIFY2(!ended, err.right(3000).constData()); // still waiting at the login
        p.kill();
        p.waitForFinished();
        err += p.readAllStandardError();

        // "   1234:\tcalling init: /path/of/library.so"
        static const QRegularExpression init(QStringLiteral("calling init: (.+)$"));
        QStringList outside;
        QSet<QString> inside;
        for (const QString& line : QString::fromLocal8Bit(err).split(QLatin1Char('\n'))) {
            const QRegularExpressionMatch m = init.match(line);
            if (!m.hasMatch())
                continue;
            const QFileInfo lib(m.captured(1));
            const QString path = lib.canonicalFilePath();
            if (path.startsWith(canonical))
                inside.insert(path.mid(canonical.size()));
            else if (!m_base.contains(lib.fileName()))
                outside.append(m.captured(1));
        }
        outside.removeDuplicates();
        QVERIFY2(outside.isEmpty(), qPrintable(QStringLiteral("loaded from the system: ") + outside.join(QLatin1String(", "))));
        for (const char* lib : {"lib/libQt6Core.so.6", "lib/libQt6Widgets.so.6", "lib/libzip.so.4",
                                "plugins/platforms/libqoffscreen.so"})
            QVERIFY2(inside.contains(QLatin1String(lib)), lib);

        // The start-up made the certificate archives beside the executable.
        QVERIFY(QFileInfo::exists(m_folder + QStringLiteral("/Certificati.vrn")));
        QVERIFY(!QFileInfo::exists(elsewhere.filePath(QStringLiteral("Certificati.vrn"))));
    }

private:
    QTemporaryDir m_work;
    QString m_name;
    QString m_archive;
    QString m_folder;
    QStringList m_listing;
    QSet<QString> m_base;
};

QTEST_MAIN(TestPackage)
#include "tst_package.moc"
