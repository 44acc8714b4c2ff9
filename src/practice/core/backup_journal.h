#pragma once
// The journal of a restore and the moves it records, shared by the restore
// and by the start-up that finishes or undoes one cut short. Internal to backups.
#include "practice/core/backup.h"
#include "practice/core/backup_common.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

namespace vornel::backup::detail {

// The working folder of a restore and what it holds.
extern const QString kWorkPrefix;
extern const QString kJournalName;
extern const QString kStagedName;
extern const QString kSavedName;

// The state a journal records.
extern const QString kMoving;  // files may be moving: finish or undo
extern const QString kUndoing; // a failure was found: undo
extern const QString kDone;    // in place and checked

// The test hook of the restore's steps (setRestoreStepHook).
void step(const QString& what);
// Moves a file through the file layer, with the test hook before and after.
bool moveFile(const QString& from, const QString& to);
QStringList archiveNames();
// Every folder on the way to a path, outermost first ("a", "a/b" for "a/b/c").
QStringList parentsOf(const QString& rel);
bool sameContent(const QString& path, const ManifestFile& f, Work& work);

// What a restore does, written down before the first file moves.
struct Journal {
    QString zipName;    // the copy being restored
    QString beforeZip;  // the copy of the files as they were (full path)
    QList<ManifestFile> files;
    QStringList newFolders; // folders the restore creates, outermost first
    QString state;

    QByteArray toJson() const;

    // False when the text is no journal of this program, or names a file
    // a copy may not hold.
    bool fromJson(const QByteArray& json);
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
    Mover(QString folder, const QString& work, const Journal& journal);

    QString target(const QString& rel) const { return QDir(m_folder).filePath(rel); }
    QString staged(const QString& rel) const { return QDir(m_staged).filePath(rel); }
    QString saved(const QString& rel) const { return QDir(m_saved).filePath(rel); }

    // Puts every new file in place; the Italian reason when one cannot be.
    QString placeAll();

    // Puts back every file as it was; false when some file could not be.
    bool undoAll();

    // Whether every new file is here, whole: in nuovi, or already in place.
    bool allNewFilesPresent(Work& work) const;

private:
    QString m_folder, m_staged, m_saved;
    const Journal& m_journal;
};

// Writes the journal into the working folder, on the disk.
bool writeJournal(const QString& work, const Journal& journal);
// Removes the working folder of a finished restore (the journal last) or of
// an undone one (the journal first).
void removeFinished(const QString& work);
void removeUndone(const QString& work);

} // namespace vornel::backup::detail
