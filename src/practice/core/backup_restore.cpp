// Restoring a copy. The files of the copy are extracted into a working folder
// beside the program's files, checked, and moved into place under the lock of
// every archive; a journal in the working folder (backup_journal), on the
// disk before the first file moves, lets the next start finish or undo a restore that was
// cut short (a crash, a power cut), so the folder is never left half done.
#include "practice/core/backup.h"
#include "practice/core/backup_common.h"
#include "practice/core/backup_journal.h"

#include "storage/filelayer.h"
#include "storage/records.h"
#include "practice/core/copylock.h"
#include "practice/core/sha256.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <zip.h>

#include <memory>
#include <vector>

namespace vornel::backup {

using namespace detail;
namespace {

std::function<qint64(const QString&)>& freeSpaceProbe()
{
    static std::function<qint64(const QString&)> probe;
    return probe;
}

QString sizeText(qint64 bytes)
{
    const QLocale it(QLocale::Italian, QLocale::Italy);
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 kB").arg(it.toString(double(bytes) / 1024.0, 'f', 1));
    if (bytes < 1024LL * 1024 * 1024)
        return QStringLiteral("%1 MB").arg(it.toString(double(bytes) / (1024.0 * 1024.0), 'f', 1));
    return QStringLiteral("%1 GB").arg(it.toString(double(bytes) / (1024.0 * 1024.0 * 1024.0), 'f', 2));
}

// Where a file of the copy would replace a folder of the program folder, or
// a folder of the copy (or on the way to one of its files) a file: the
// Italian refusal naming it, or empty.
QString nameClash(const QString& programFolder, const Manifest& manifest)
{
    const QDir dir(programFolder);
    QSet<QString> folders(manifest.folders.begin(), manifest.folders.end());
    for (const ManifestFile& f : manifest.files) {
        const QFileInfo info(dir.filePath(f.path));
        if (info.isDir())
            return QStringLiteral("La copia contiene il file %1, ma nella cartella del programma %1 \u00e8 una "
                                  "cartella: il ripristino la cancellerebbe.")
                .arg(f.path);
        for (const QString& p : parentsOf(f.path))
            folders.insert(p);
    }
    QStringList sorted(folders.begin(), folders.end());
    sorted.sort();
    for (const QString& folder : sorted) {
        const QFileInfo info(dir.filePath(folder));
        if (info.exists() && !info.isDir())
            return QStringLiteral("La copia contiene la cartella %1, ma nella cartella del programma %1 \u00e8 un "
                                  "file: il ripristino lo cancellerebbe.")
                .arg(folder);
    }
    return QString();
}

} // namespace

void setFreeSpaceProbe(std::function<qint64(const QString&)> probe)
{
    freeSpaceProbe() = std::move(probe);
}

QList<LinkedFolder> linkedFoldersOnTheWay(const QString& programFolder, const Manifest& manifest)
{
    QStringList folders = manifest.folders;
    for (const ManifestFile& f : manifest.files)
        folders << parentsOf(f.path);
    folders.removeDuplicates();
    folders.sort();
    QList<LinkedFolder> links;
    const QDir dir(programFolder);
    for (const QString& folder : folders) {
        const QFileInfo info(dir.filePath(folder));
        if (!info.isSymLink() && !info.isJunction())
            continue;
        const QString target = info.symLinkTarget();
        if (!target.isEmpty() && isInsideFolder(target, programFolder))
            continue;
        links.append({folder, QDir::toNativeSeparators(target)});
    }
    return links;
}

RestoreResult restoreCopy(const QString& programFolder, const QString& zipPath, const QString& password,
                          const QString& beforeRestoreZip, const Progress& progress, const VerifyReport* verified)
{
    RestoreResult result;
    // Every archive's lock is held from the copy of the current files until
    // the new ones are in place and checked; long work keeps them alive.
    ArchiveLocks locks;
    auto phased = [&](const QString& phase) {
        return [&progress, &locks, phase](const QString&, qint64 done, qint64 total) {
            locks.keepAlive();
            return !progress || progress(phase, done, total);
        };
    };

    const VerifyReport check = verified ? *verified
                                        : verifyCopy(zipPath, password, phased(QStringLiteral("Verifica della copia scelta...")));
    if (check.cancelled) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    if (!check.whole()) {
        result.detail = check.problems();
        return result;
    }
    const Manifest& manifest = check.manifest;

    // Nothing the copy does not hold is ever deleted.
    const QString clash = nameClash(programFolder, manifest);
    if (!clash.isEmpty()) {
        result.detail = clash;
        return result;
    }

    // Room for the new files and the copy of the current ones.
    qint64 current = 0;
    {
        const Contents now = collectContents(programFolder);
        for (const QString& f : now.files)
            current += QFileInfo(QDir(programFolder).filePath(f)).size();
    }
    const qint64 needed = manifest.totalBytes() + current + current / 100 + (1 << 20);
    const qint64 available = freeSpaceProbe() ? freeSpaceProbe()(programFolder)
                                              : QStorageInfo(programFolder).bytesAvailable();
    if (available >= 0 && available < needed) {
        result.detail = QStringLiteral("Spazio insufficiente sul disco della cartella del programma: il ripristino "
                                       "richiede %1 (i file della copia e la copia dei file attuali), liberi %2.")
                            .arg(sizeText(needed), sizeText(available));
        return result;
    }

    if (!locks.take(programFolder, archiveNames())) {
        result.detail = locks.failure();
        return result;
    }

    // 1. The files as they are now, in a copy of the same kind.
    const CopyResult before = makeCopy(programFolder, beforeRestoreZip, QString(),
                                       phased(QStringLiteral("Copia dei file attuali...")), true);
    if (before.outcome == Outcome::Cancelled) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    if (before.outcome != Outcome::Done) {
        result.detail = QStringLiteral("Non \u00e8 stato possibile salvare i file attuali: %1").arg(before.detail);
        return result;
    }
    auto discardBefore = [&] { QFile::remove(beforeRestoreZip); };

    // 2. The files of the copy, extracted beside the program's files, checked
    // and on the disk.
    QTemporaryDir work(QDir(programFolder).filePath(kWorkPrefix + QStringLiteral("XXXXXX")));
    const QString staged = QDir(work.path()).filePath(kStagedName);
    const QString saved = QDir(work.path()).filePath(kSavedName);
    if (!work.isValid() || !QDir().mkpath(staged) || !QDir().mkpath(saved)) {
        discardBefore();
        result.detail = QStringLiteral("Impossibile scrivere nella cartella del programma.");
        return result;
    }
    {
        ReadZip zip(zipPath);
        if (!zip.za) {
            discardBefore();
            result.detail = QStringLiteral("Impossibile leggere la copia.");
            return result;
        }
        const QByteArray secret = password.toUtf8();
        zip_set_default_password(zip.za, secret.isEmpty() ? nullptr : secret.constData());
        Work extract;
        extract.progress = phased(QStringLiteral("Estrazione dei file della copia..."));
        extract.phase = QStringLiteral("Estrazione dei file della copia...");
        extract.total = manifest.totalBytes();
        QSet<QString> stagedFolders{staged};
        for (const ManifestFile& f : manifest.files) {
            const zip_int64_t index = zip_name_locate(zip.za, f.path.toUtf8().constData(), ZIP_FL_ENC_UTF_8);
            const QString out = QDir(staged).filePath(f.path);
            files::File file(out);
            bool ok = index >= 0 && QDir().mkpath(QFileInfo(out).path()) && file.open(QIODevice::WriteOnly);
            Sha256 hash;
            qint64 size = 0;
            ok = ok && readEntry(zip.za, zip_uint64_t(index), extract, [&](const char* d, qint64 n) {
                hash.add(d, n);
                size += n;
                return file.write(d, n) == n;
            });
            ok = ok && files::syncToDisk(file);
            file.close();
            stagedFolders.insert(QFileInfo(out).absolutePath());
            if (extract.cancelled) {
                discardBefore();
                result.outcome = Outcome::Cancelled;
                return result;
            }
            if (!ok || size != f.size || hash.hex() != f.sha256) {
                discardBefore();
                result.detail = QStringLiteral("Impossibile estrarre il file %1: il disco potrebbe essere pieno.").arg(f.path);
                return result;
            }
        }
        for (const QString& folder : stagedFolders)
            if (!files::syncFolder(folder)) {
                discardBefore();
                result.detail = QStringLiteral("Impossibile scrivere nella cartella del programma: i file estratti "
                                               "non si possono salvare sul disco.");
                return result;
            }
    }

    // 3. The journal, on the disk before anything moves; nothing is cancelled from here.
    Journal journal;
    journal.zipName = QFileInfo(zipPath).fileName();
    journal.beforeZip = beforeRestoreZip;
    journal.files = manifest.files;
    {
        QStringList wanted = manifest.folders;
        for (const ManifestFile& f : manifest.files)
            wanted << parentsOf(f.path);
        wanted.removeDuplicates();
        wanted.sort(); // parents before their children
        for (const QString& folder : wanted)
            if (!QFileInfo(QDir(programFolder).filePath(folder)).isDir())
                journal.newFolders << folder;
    }
    journal.state = kMoving;
    if (!writeJournal(work.path(), journal)) {
        discardBefore();
        result.detail = QStringLiteral("Impossibile scrivere nella cartella del programma.");
        return result;
    }

    Mover mover(programFolder, work.path(), journal);
    QString failure = mover.placeAll();

    // 4. Checked again where they now lie.
    if (failure.isEmpty()) {
        Work disk;
        disk.progress = [&](const QString& phase, qint64 done, qint64 total) {
            locks.keepAlive();
            if (progress)
                progress(phase, done, total);
            return true;
        };
        disk.phase = QStringLiteral("Verifica dei file ripristinati...");
        disk.total = manifest.totalBytes();
        for (const ManifestFile& f : manifest.files)
            if (!sameContent(mover.target(f.path), f, disk)) {
                failure = QStringLiteral("Il file ripristinato %1 non corrisponde alla copia.").arg(f.path);
                break;
            }
    }
    if (!failure.isEmpty()) {
        journal.state = kUndoing;
        writeJournal(work.path(), journal);
        if (mover.undoAll()) {
            removeUndone(work.path());
            discardBefore();
            result.detail = failure;
        } else {
            result.detail = failure
                + QStringLiteral(" Alcuni file non sono stati rimessi al loro posto: i file com'erano prima del "
                                 "ripristino si trovano nella copia %1.")
                      .arg(QFileInfo(beforeRestoreZip).fileName());
            result.beforeRestoreZip = beforeRestoreZip;
            work.setAutoRemove(false);
        }
        return result;
    }
    journal.state = kDone;
    writeJournal(work.path(), journal);
    work.setAutoRemove(false);
    removeFinished(work.path());
    result.outcome = Outcome::Done;
    result.beforeRestoreZip = beforeRestoreZip;
    return result;
}

} // namespace vornel::backup
