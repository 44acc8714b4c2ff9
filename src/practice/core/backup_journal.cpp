// The journal of a restore, the moves it records, and the start-up that
// finishes or undoes a restore cut short.
#include "practice/core/backup_journal.h"

#include "storage/filelayer.h"
#include "practice/core/copylock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <functional>

namespace vornel::backup {

namespace detail {

namespace {
std::function<void(const QString&)>& stepHook()
{
    static std::function<void(const QString&)> hook;
    return hook;
}
} // namespace

const QString kWorkPrefix = QStringLiteral(".vornel_ripristino_");
const QString kJournalName = QStringLiteral("giornale.json");
const QString kStagedName = QStringLiteral("nuovi");
const QString kSavedName = QStringLiteral("attuali");

const QString kMoving = QStringLiteral("spostamento");   // files may be moving: finish or undo
const QString kUndoing = QStringLiteral("annullamento"); // a failure was found: undo
const QString kDone = QStringLiteral("completato");      // in place and checked

void step(const QString& what)
{
    if (stepHook())
        stepHook()(what);
}

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


QByteArray Journal::toJson() const
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

bool Journal::fromJson(const QByteArray& json)
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

Mover::Mover(QString folder, const QString& work, const Journal& journal)
    : m_folder(std::move(folder)), m_staged(QDir(work).filePath(kStagedName)),
      m_saved(QDir(work).filePath(kSavedName)), m_journal(journal)
{
}

QString Mover::placeAll()
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

bool Mover::undoAll()
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

bool Mover::allNewFilesPresent(Work& work) const
{
for (const ManifestFile& f : m_journal.files) {
    const QString at = QFileInfo::exists(staged(f.path)) ? staged(f.path) : target(f.path);
    if (!sameContent(at, f, work))
        return false;
}
return true;
}

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

} // namespace detail

using namespace detail;

void setRestoreStepHook(std::function<void(const QString&)> hook)
{
    stepHook() = std::move(hook);
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
