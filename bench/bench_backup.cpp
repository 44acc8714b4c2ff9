// Backup at scale: generates a program folder (by default 100,000 patients,
// 100,000 certificates of each kind and 1 GB of attachments), then measures
// side by side in one run:
//   - Info-ZIP "zip -r" at its default level     vs  the program's copy (write + read-back check)
//   - "unzip" into an empty folder                vs  the program's restore (check + extract + check on disk)
// and the peak memory of the process. Not run by CI: build the target and
// run it by hand.
//   bench_backup [patients] [certificates per kind] [attachment MB] [work folder]
#include "storage/records.h"
#include "practice/core/backup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

using namespace vornel;

namespace {

qint64 peakKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

void writeArchive(const QString& path, const RecordLayout& layout, int count)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    Record r(layout);
    QByteArray block;
    for (int i = 0; i < count; ++i) {
        r.clear();
        for (int k = 0; k < layout.fieldCount(); ++k) {
            const FieldDef& fd = layout.fields()[std::size_t(k)];
            if (fd.name.substr(0, 3) == "chk")
                r.setFlag(fd.name, i % 3 == 0);
            else if (k % 3 == 0)
                r.setText(fd.name, QStringLiteral("Rossi Mario %1 via Garibaldi %2, Forl\u00ec").arg(i).arg(i % 97));
        }
        block += r.bytes();
        if (block.size() > (8 << 20)) {
            f.write(block);
            block.clear();
        }
    }
    f.write(block);
}

// Scans and photos (incompressible) with some office documents (text).
void writeAttachments(const QString& folder, qint64 megabytes)
{
    QRandomGenerator g(42);
    qint64 left = megabytes << 20;
    QByteArray text = QByteArray("Referto della visita medico sportiva: ECG a riposo e sotto sforzo nella norma. ").repeated(7000);
    for (int i = 0; left > 0; ++i) {
        const qint64 size = qMin<qint64>(left, 256 * 1024 + qint64(g.bounded(768 * 1024)));
        const bool document = i % 5 == 0;
        const QString name = document ? QStringLiteral("referto_%1.doc").arg(i)
                                      : (i % 2 ? QStringLiteral("scansione_%1.jpg") : QStringLiteral("esame_%1.pdf")).arg(i);
        const QString dir = i % 3 == 0 ? QStringLiteral("%1/Documenti_Allegati").arg(folder)
                                       : QStringLiteral("%1/Paziente_%2").arg(folder).arg(1 + i % 4000);
        QDir().mkpath(dir);
        QFile f(dir + QLatin1Char('/') + name);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(f.fileName()));
        QByteArray bytes(size, Qt::Uninitialized);
        if (document) {
            for (qint64 p = 0; p < size; p += text.size())
                memcpy(bytes.data() + p, text.constData(), size_t(qMin<qint64>(text.size(), size - p)));
        } else {
            g.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        }
        f.write(bytes);
        left -= size;
    }
}

double run(const QString& exe, const QStringList& args, const QString& cwd)
{
    QProcess p;
    p.setWorkingDirectory(cwd);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer t;
    t.start();
    p.start(exe, args);
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        qFatal("%s failed", qPrintable(exe));
    return t.elapsed() / 1000.0;
}

qint64 folderBytes(const QString& folder)
{
    qint64 n = 0;
    for (const QString& f : backup::collectContents(folder).files)
        n += QFileInfo(QDir(folder).filePath(f)).size();
    return n;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int patients = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const int certificates = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 100000;
    const qint64 attachmentMb = argc > 3 ? QString::fromLocal8Bit(argv[3]).toLongLong() : 1024;
    const QString zipTool = QStandardPaths::findExecutable(QStringLiteral("zip"));
    const QString unzipTool = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (zipTool.isEmpty() || unzipTool.isEmpty()) {
        std::printf("zip and unzip (Info-ZIP) are needed as the reference\n");
        return 1;
    }
    QTemporaryDir work(argc > 4 ? QString::fromLocal8Bit(argv[4]) + QStringLiteral("/bench_backup_XXXXXX")
                                : QDir::tempPath() + QStringLiteral("/bench_backup_XXXXXX"));
    const QString program = work.filePath(QStringLiteral("programma"));
    QDir().mkpath(program);

    std::printf("Generating %d patients, %d certificates of each kind, %lld MB of attachments...\n", patients,
                certificates, attachmentMb);
    std::fflush(stdout);
    writeArchive(program + "/Pazienti.vrn", layouts::TSchedaPaziente, patients);
    writeArchive(program + "/Certificati.vrn", layouts::TSchedaCertificato, certificates);
    writeArchive(program + "/Certificati_Agonistici.vrn", layouts::TSchedaAgonistica, certificates);
    writeArchive(program + "/Certificati_Disabili.vrn", layouts::TSchedaAgonistica, certificates);
    writeArchive(program + "/Certificati_Non_Idoneita.vrn", layouts::TSchedaNonIdoneita, certificates);
    QFile ini(program + "/Studio_Medico_Vrn.ini");
    ini.open(QIODevice::WriteOnly);
    ini.write("[Modulo Privacy]\r\nStudio Medico=Studio Rossi\r\n");
    ini.close();
    writeAttachments(program, attachmentMb);
    const backup::Contents contents = backup::collectContents(program);
    const qint64 total = folderBytes(program);
    std::printf("Folder: %d files, %.2f GB (archives %.2f GB)\n", int(contents.files.size()), total / 1073741824.0,
                (total - (attachmentMb << 20)) / 1073741824.0);

    // Warm the page cache for both sides alike.
    run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("cat -- * */* > /dev/null 2>&1; true")}, program);
    const qint64 peakBefore = peakKiB();

    // zip -r with the same files and folders the copy holds.
    QStringList zipArgs{QStringLiteral("-r"), QStringLiteral("-q"), work.filePath(QStringLiteral("infozip.zip"))};
    for (const QString& f : contents.files)
        if (!f.contains(QLatin1Char('/')))
            zipArgs << f;
    for (const QString& d : contents.folders)
        if (!d.contains(QLatin1Char('/')))
            zipArgs << d;
    const double zipSeconds = run(zipTool, zipArgs, program);

    QElapsedTimer t;
    t.start();
    const QString copy = work.filePath(QStringLiteral("Vornel_Copia.zip"));
    const backup::CopyResult made = backup::createCopy(program, copy, QString());
    const double copySeconds = t.elapsed() / 1000.0;
    if (made.outcome != backup::Outcome::Done) {
        std::printf("copy failed: %s\n", qPrintable(made.detail));
        return 1;
    }

    const QString unzipped = work.filePath(QStringLiteral("unzip"));
    QDir().mkpath(unzipped);
    const double unzipSeconds = run(unzipTool, {QStringLiteral("-q"), work.filePath(QStringLiteral("infozip.zip")),
                                                QStringLiteral("-d"), unzipped},
                                    work.path());
    QDir(unzipped).removeRecursively();

    const QString restored = work.filePath(QStringLiteral("ripristino"));
    QDir().mkpath(restored);
    t.restart();
    const backup::VerifyReport checked = backup::verifyCopy(copy, QString());
    const backup::RestoreResult back = backup::restoreCopy(
        restored, copy, QString(), restored + QStringLiteral("/Vornel_Prima_del_ripristino.zip"), {}, &checked);
    const double restoreSeconds = t.elapsed() / 1000.0;
    if (back.outcome != backup::Outcome::Done) {
        std::printf("restore failed: %s\n", qPrintable(back.detail));
        return 1;
    }

    std::printf("\n%-44s %10s %10s %8s\n", "", "Vornel", "Info-ZIP", "ratio");
    std::printf("%-44s %9.2fs %9.2fs %8.2f  (limit 1.50)\n", "copy and verify  vs  zip -r (default level)",
                copySeconds, zipSeconds, copySeconds / zipSeconds);
    std::printf("%-44s %9.2fs %9.2fs %8.2f  (limit 1.50)\n", "restore (check, extract, check)  vs  unzip",
                restoreSeconds, unzipSeconds, restoreSeconds / unzipSeconds);
    std::printf("%-44s %9.2fMB %9.2fMB\n", "ZIP size", made.zipSize / 1048576.0,
                QFileInfo(work.filePath(QStringLiteral("infozip.zip"))).size() / 1048576.0);
    std::printf("Peak memory of this process: %.1f MB before the copies, %.1f MB after copy and restore "
                "(data %.0f MB)\n",
                peakBefore / 1024.0, peakKiB() / 1024.0, total / 1048576.0);
    return 0;
}
