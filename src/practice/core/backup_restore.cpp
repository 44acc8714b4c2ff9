// Restoring a copy. The files of the copy are extracted into a working folder
// beside the program's files, checked, and moved into place under the lock of
// every archive; a journal in the working folder, on the disk before the
// first file moves, lets the next start finish or undo a restore that was
// cut short (a crash, a power cut), so the folder is never left half done.
#include "practice/core/backup.h"
#include "practice/core/backup_common.h"

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

std::function<void(const QString&)>& stepHook()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

std::function<qint64(const QString&)>& freeSpaceProbe()
{
    static std::function<qint64(const QString&)> probe;
    return probe;
}

void step(const QString& what)
{
    if (stepHook())
        stepHook()(what);
}

const QString kWorkPrefix = QStringLiteral(".vornel_ripristino_");
const QString kJournalName = QStringLiteral("giornale.json");
const QString kStagedName = QStringLiteral("nuovi");
const QString kSavedName = QStringLiteral("attuali");

// The state a journal records.
const QString kMoving = QStringLiteral("spostamento");   // files may be moving: finish or undo
const QString kUndoing = QStringLiteral("annullamento"); // a failure was found: undo
const QString kDone = QStringLiteral("completato");      // in place and checked

// Moves a file through the file layer, with the test hook before and after.
bool moveFile(const QString& from, const QString& to)
{
    step(QStringLiteral("prima: %1 -> %2").arg(from, to));
    try {
        files::rename(from, to);
    } catch (const files::FileError&) {
        return false;
    }
    step(QStringLiteral("dopo: %1 -> %2").arg(from, to));
    return true;
}

QStringList archiveNames()
{
    QStringList names;
    for (const ArchiveDef* a : kArchives)
        names << QLatin1String(a->fileName);
    return names;
}

// Every folder on the way to a path, outermost first ("a", "a/b" for "a/b/c").
QStringList parentsOf(const QString& rel)
{
    QStringList out;
    const QStringList parts = rel.split(QLatin1Char('/'));
    QString path;
    for (int i = 0; i + 1 < parts.size(); ++i) {
        path = path.isEmpty() ? parts[i] : path + QLatin1Char('/') + parts[i];
        out << path;
    }
    return out;
}

bool sameContent(const QString& path, const ManifestFile& f, Work& work)
{
    QByteArray hex;
    qint64 size = 0;
    return hashFile(path, hex, size, work) && size == f.size && hex == f.sha256;
}

// What a restore does, written down before the first file moves.
struct Journal {
    QString zipName;    // the copy being restored
    QString beforeZip;  // the copy of the files as they were (full path)
    QList<ManifestFile> files;
    QStringList newFolders; // folders the restore creates, outermost first
    QString state;

    QByteArray toJson() const
    {
        QJsonArray list;
        for (const ManifestFile& f : files)
            list.append(QJsonObject{{QStringLiteral("percorso"), f.path},
                                    {QStringLiteral("dimensione"), double(f.size)},
                                    {QStringLiteral("sha256"), QString::fromLatin1(f.sha256)}});
        return QJsonDocument(QJsonObject{{QStringLiteral("programma"), QStringLiteral("Vornel")},
                                         {QStringLiteral("copia"), zipName},
                                         {QStringLiteral("primaDelRipristino"), beforeZip},
                                         {QStringLiteral("file"), list},
                                         {QStringLiteral("cartelleNuove"), QJsonArray::fromStringList(newFolders)},
                                         {QStringLiteral("stato"), state}})
            .toJson(QJsonDocument::Indented);
    }

    bool fromJson(const QByteArray& json)
    {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            return false;
        const QJsonObject root = doc.object();
        if (root.value(QStringLiteral("programma")).toString() != QLatin1String("Vornel"))
            return false;
        zipName = root.value(QStringLiteral("copia")).toString();
        beforeZip = root.value(QStringLiteral("primaDelRipristino")).toString();
        state = root.value(QStringLiteral("stato")).toString();
        files.clear();
        for (const QJsonValue& v : root.value(QStringLiteral("file")).toArray()) {
            const QJsonObject o = v.toObject();
            ManifestFile f;
            f.path = o.value(QStringLiteral("percorso")).toString();
            f.size = qint64(o.value(QStringLiteral("dimensione")).toDouble(-1));
            f.sha256 = o.value(QStringLiteral("sha256")).toString().toLatin1();
            // Only names a copy may hold: a damaged journal never moves
            // anything outside the program's own files.
            if (!isRestorableName(f.path) || f.size < 0)
                return false;
            files.append(f);
        }
        newFolders.clear();
        for (const QJsonValue& v : root.value(QStringLiteral("cartelleNuove")).toArray()) {
            const QString folder = v.toString();
            if (!isRestorableName(folder + QLatin1Char('/')))
                return false;
            newFolders << folder;
        }
        return state == kMoving || state == kUndoing || state == kDone;
    }
};

// The moves of a restore, between the program folder, the new files
// (work/nuovi) and the files they replace (work/attuali). Every step can be
// told from what lies where, so finishing or undoing can start from any
// point, even after a crash:
//   not started: the new file in nuovi, the current one in place;
//   moved aside: the new file in nuovi, the current one in attuali;
//   in place:    the new file in place, the current one (if any) in attuali.
class Mover {
public:
    Mover(QString folder, const QString& work, const Journal& journal)
        : m_folder(std::move(folder)), m_staged(QDir(work).filePath(kStagedName)),
          m_saved(QDir(work).filePath(kSavedName)), m_journal(journal)
    {
    }

    QString target(const QString& rel) const { return QDir(m_folder).filePath(rel); }
    QString staged(const QString& rel) const { return QDir(m_staged).filePath(rel); }
    QString saved(const QString& rel) const { return QDir(m_saved).filePath(rel); }

    // Puts every new file in place; the Italian reason when one cannot be.
    QString placeAll()
    {
        const QDir dir(m_folder);
        for (const QString& folder : m_journal.newFolders)
            if (!QFileInfo(dir.filePath(folder)).isDir() && !dir.mkdir(folder))
                return QStringLiteral("Impossibile creare la cartella %1.").arg(folder);
        QSet<QString> touched;
        for (const ManifestFile& f : m_journal.files) {
            if (!QFileInfo::exists(staged(f.path)))
                continue; // in place already
            const QString cannot =
                QStringLiteral("Impossibile sostituire il file %1: potrebbe essere aperto da un altro programma.")
                    .arg(f.path);
            if (QFileInfo::exists(target(f.path)) && !QFileInfo::exists(saved(f.path))) {
                if (!QDir().mkpath(QFileInfo(saved(f.path)).path()) || !moveFile(target(f.path), saved(f.path)))
                    return cannot;
            }
            if (!moveFile(staged(f.path), target(f.path)))
                return cannot;
            touched.insert(QFileInfo(target(f.path)).absolutePath());
        }
        for (const QString& folder : touched)
            files::syncFolder(folder);
        return QString();
    }

    // Puts back every file as it was; false when some file could not be.
    bool undoAll()
    {
        bool ok = true;
        QSet<QString> touched;
        for (auto it = m_journal.files.crbegin(); it != m_journal.files.crend(); ++it) {
            const QString rel = it->path;
            if (!QFileInfo::exists(staged(rel)) && QFileInfo::exists(target(rel))) {
                if (!QDir().mkpath(QFileInfo(staged(rel)).path()) || !moveFile(target(rel), staged(rel))) {
                    ok = false;
                    continue;
                }
            }
            if (QFileInfo::exists(saved(rel))) {
                if (QFileInfo::exists(target(rel)) || !moveFile(saved(rel), target(rel)))
                    ok = false;
            }
            touched.insert(QFileInfo(target(rel)).absolutePath());
        }
        const QDir dir(m_folder);
        for (auto it = m_journal.newFolders.crbegin(); it != m_journal.newFolders.crend(); ++it)
            dir.rmdir(*it); // only when empty: nothing of the user's is removed
        for (const QString& folder : touched)
            if (QFileInfo(folder).isDir())
                files::syncFolder(folder);
        return ok;
    }

    // Whether every new file is here, whole: in nuovi, or already in place.
    bool allNewFilesPresent(Work& work) const
    {
        for (const ManifestFile& f : m_journal.files) {
            const QString at = QFileInfo::exists(staged(f.path)) ? staged(f.path) : target(f.path);
            if (!sameContent(at, f, work))
                return false;
        }
        return true;
    }

private:
    QString m_folder, m_staged, m_saved;
    const Journal& m_journal;
};

bool writeJournal(const QString& work, const Journal& journal)
{
    try {
        files::writeWhole(QDir(work).filePath(kJournalName), journal.toJson());
    } catch (const files::FileError&) {
        return false;
    }
    return files::syncFolder(work);
}

// Removes the working folder of a restore that is finished (every new file
// in place): the journal last, so a crash in between still finds it saying
// "completed".
void removeFinished(const QString& work)
{
    QDir(QDir(work).filePath(kStagedName)).removeRecursively();
    QDir(QDir(work).filePath(kSavedName)).removeRecursively();
    QFile::remove(QDir(work).filePath(kJournalName));
    QDir(work).removeRecursively();
}

// Removes the working folder of a restore that was undone (every file back
// as it was): the journal first, since the new files still in it must never
// again be taken for files put in place.
void removeUndone(const QString& work)
{
    QFile::remove(QDir(work).filePath(kJournalName));
    files::syncFolder(work);
    QDir(work).removeRecursively();
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

void setRestoreStepHook(std::function<void(const QString&)> hook)
{
    stepHook() = std::move(hook);
}

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

Recovery recoverInterruptedRestore(const QString& programFolder)
{
    Recovery recovery;
    const QDir dir(programFolder);
    const QStringList works = dir.entryList({kWorkPrefix + QLatin1Char('*')},
                                            QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                                            QDir::Name);
    QStringList texts;
    auto worst = [&](Recovery::Kind k) {
        if (int(k) > int(recovery.kind))
            recovery.kind = k;
    };
    for (const QString& name : works) {
        const QString work = dir.filePath(name);
        const files::Read read = files::readWhole(QDir(work).filePath(kJournalName));
        if (read.status == files::Read::Missing) {
            // Stopped before its first move: the files are as they were.
            QDir(work).removeRecursively();
            worst(Recovery::NothingMoved);
            texts << QStringLiteral("All'avvio \u00e8 stato trovato un ripristino interrotto prima che un file "
                                    "fosse sostituito: i file del programma sono rimasti com'erano.");
            continue;
        }
        Journal journal;
        if (!read.ok() || !journal.fromJson(read.bytes)) {
            worst(Recovery::Failed);
            texts << QStringLiteral("Attenzione: all'avvio \u00e8 stato trovato un ripristino interrotto il cui "
                                    "giornale non si pu\u00f2 leggere. Nessun file \u00e8 stato spostato: i file "
                                    "sostituiti dal ripristino si trovano nella cartella %1.")
                         .arg(QDir::toNativeSeparators(work));
            continue;
        }
        const QString beforeName = QFileInfo(journal.beforeZip).fileName();
        if (journal.state == kDone) {
            removeFinished(work);
            worst(Recovery::Completed);
            texts << QStringLiteral("All'avvio \u00e8 stato trovato un ripristino gi\u00e0 completato e verificato "
                                    "della copia \"%1\".\r\n\r\nI file com'erano prima del ripristino sono nella "
                                    "copia \"%2\" nella cartella del programma.")
                         .arg(journal.zipName, beforeName);
            continue;
        }
        ArchiveLocks locks;
        if (!locks.take(programFolder, archiveNames())) {
            worst(Recovery::Failed);
            texts << QStringLiteral("Attenzione: all'avvio \u00e8 stato trovato un ripristino interrotto, ma %1 "
                                    "Sar\u00e0 ripreso al prossimo avvio.")
                         .arg(locks.failure());
            continue;
        }
        Mover mover(programFolder, work, journal);
        Work silent;
        silent.progress = [&locks](const QString&, qint64, qint64) {
            locks.keepAlive();
            return true;
        };
        bool finished = false;
        if (journal.state == kMoving && mover.allNewFilesPresent(silent)) {
            if (mover.placeAll().isEmpty()) {
                finished = true;
                journal.state = kDone;
                writeJournal(work, journal);
            } else {
                journal.state = kUndoing;
                writeJournal(work, journal);
            }
        }
        if (finished) {
            removeFinished(work);
            worst(Recovery::Completed);
            texts << QStringLiteral("All'avvio \u00e8 stato trovato un ripristino interrotto della copia \"%1\": "
                                    "\u00e8 stato completato e i file ripristinati sono stati verificati.\r\n\r\nI "
                                    "file com'erano prima del ripristino sono nella copia \"%2\" nella cartella del "
                                    "programma.")
                         .arg(journal.zipName, beforeName);
            continue;
        }
        if (mover.undoAll()) {
            removeUndone(work);
            if (!journal.beforeZip.isEmpty() && isInsideFolder(QFileInfo(journal.beforeZip).path(), programFolder))
                QFile::remove(journal.beforeZip);
            worst(Recovery::Undone);
            texts << QStringLiteral("All'avvio \u00e8 stato trovato un ripristino interrotto della copia \"%1\": "
                                    "\u00e8 stato annullato e i file del programma sono stati rimessi com'erano "
                                    "prima del ripristino.")
                         .arg(journal.zipName);
        } else {
            worst(Recovery::Failed);
            texts << QStringLiteral("Attenzione: all'avvio \u00e8 stato trovato un ripristino interrotto della copia "
                                    "\"%1\", ma non \u00e8 stato possibile rimettere al loro posto tutti i file. I "
                                    "file com'erano prima del ripristino si trovano nella copia \"%2\" e, quelli "
                                    "non rimessi, nella cartella %3.")
                         .arg(journal.zipName, beforeName, QDir::toNativeSeparators(work));
        }
    }
    recovery.message = texts.join(QStringLiteral("\r\n\r\n"));
    return recovery;
}

} // namespace vornel::backup
