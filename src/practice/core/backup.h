#pragma once
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Backups of the program folder: one standard ZIP file holding the five
// archives, the settings and password files, the attached documents and the
// patient folders, with a manifest of every file's size and SHA-256 (and, for
// archives, record size and count). Copies are read back against the manifest
// before they are called good; a restore never leaves the folder half done.
namespace vornel::backup {

// The manifest's entry name inside the ZIP.
QString manifestName();

struct ManifestFile {
    QString path;        // relative to the program folder, '/' separated
    qint64 size = 0;
    QByteArray sha256;   // lower-case hex
    int recordSize = 0;  // archives only
    qint64 records = -1; // archives only
};

struct Manifest {
    QString program;
    QString version;
    QDateTime date;
    QList<ManifestFile> files;
    QStringList folders; // relative, without the trailing '/'

    qint64 patients() const;
    qint64 certificates() const;
    qint64 totalBytes() const;
    QByteArray toJson() const;
    // False when the text is no manifest of this program.
    static bool fromJson(const QByteArray& json, Manifest& out);
};

// Progress of long work: the phase in Italian, the bytes done and the total.
// Returning false cancels the work.
using Progress = std::function<bool(const QString& phase, qint64 done, qint64 total)>;

// The files and folders of the program folder that a copy holds, sorted.
// Links are followed: a linked folder (attachments on another disk) is
// copied as an ordinary folder and named in 'links'; a link that leads
// nowhere is named in 'brokenLinks', so nothing is left out unsaid.
struct Contents {
    QStringList files;   // relative paths
    QStringList folders; // relative paths
    QStringList links;   // links followed, relative paths
    QStringList brokenLinks; // links without a target, not copied
};
Contents collectContents(const QString& programFolder);

// The name of a new copy made at 'when' in 'folder', e.g.
// "Vornel_Copia_2026-03-14_0926.zip"; a suffix "_2", "_3"... keeps an
// existing file of that name from being replaced.
QString copyFileName(const QString& folder, const QString& prefix, const QDateTime& when);
inline const char* kCopyPrefix = "Vornel_Copia_";
inline const char* kBeforeRestorePrefix = "Vornel_Prima_del_ripristino_";

// Whether 'folder' is the program folder or lies inside it (links resolved):
// a copy there shares the disk of the files it protects.
bool isInsideFolder(const QString& folder, const QString& programFolder);

enum class Outcome { Done, Cancelled, Failed };

struct CopyResult {
    Outcome outcome = Outcome::Failed;
    QString detail; // Italian reason when not Done
    QString zipPath;
    int fileCount = 0;
    qint64 zipSize = 0;
    Manifest manifest;
    QStringList links;       // links followed (copied as ordinary folders and files)
    QStringList brokenLinks; // links without a target (nothing to copy)
};

// Writes a copy of the program folder into zipPath (AES-256 when a password
// is given), reopens it and reads every entry back against the manifest. On
// any failure or cancel no file is left at zipPath.
CopyResult createCopy(const QString& programFolder, const QString& zipPath, const QString& password,
                      const Progress& progress = {});

struct VerifyReport {
    bool readable = false;      // a ZIP that libzip can open
    bool vornelCopy = false;    // it holds this program's manifest
    bool encrypted = false;
    bool needsPassword = false; // encrypted and no password was given
    bool wrongPassword = false;
    bool cancelled = false;
    QStringList damaged;  // entries whose bytes differ from the manifest or cannot be read
    QStringList missing;  // files of the manifest that the ZIP lacks
    QStringList unsafe;   // absolute paths, "..", links, names outside the program's files
    QStringList extra;    // entries that the manifest does not name
    QStringList duplicates; // names the manifest or the ZIP holds more than once
    Manifest manifest;

    bool whole() const;
    // The Italian report of what is wrong (empty when whole).
    QString problems() const;
};

bool isEncrypted(const QString& zipPath);
// Reads every entry against the manifest; writes nothing.
VerifyReport verifyCopy(const QString& zipPath, const QString& password, const Progress& progress = {});

// Whether a ZIP entry name may be written into the program folder: relative,
// no "..", no backslash or drive, and one of the program's own files or
// folders.
bool isRestorableName(const QString& name);

struct RestoreResult {
    Outcome outcome = Outcome::Failed;
    QString detail;          // Italian reason when not Done
    QString beforeRestoreZip; // the copy of the files as they were
};

// Restores a copy that verifyCopy found whole. It refuses, before anything
// moves, where a file of the copy would replace a folder (or a folder a
// file) and where the disk lacks room. Then, holding the lock of every
// archive until the end: a copy of the current files into beforeRestoreZip;
// the files of the copy extracted into a working folder beside the program's
// files, checked and synced to the disk; a journal of the moves, on the disk;
// the moves; a check of every file where it now lies. Any failure puts back
// every file as it was; a crash is finished or undone by
// recoverInterruptedRestore at the next start. The caller asks first about
// linkedFoldersOnTheWay. 'verified' is the report of a verifyCopy of the same
// file just made, so the copy is not read twice; every entry is checked again
// as it is extracted.
RestoreResult restoreCopy(const QString& programFolder, const QString& zipPath, const QString& password,
                          const QString& beforeRestoreZip, const Progress& progress = {},
                          const VerifyReport* verified = nullptr);

// A folder a restore would write into that is a link to a place outside the
// program folder: the restore writes there only once the user agrees.
struct LinkedFolder {
    QString path;   // relative to the program folder
    QString target; // where it leads, in the system's notation
};
QList<LinkedFolder> linkedFoldersOnTheWay(const QString& programFolder, const Manifest& manifest);

// What the start-up found of a restore cut short (the program killed, a
// power cut) and did about it: finished it when every new file was there
// and whole, otherwise put every file back as it was. Runs before anything
// creates a missing archive. 'message' is the Italian report, empty for None.
struct Recovery {
    enum Kind { None, NothingMoved, Completed, Undone, Failed } kind = None;
    QString message;
};
Recovery recoverInterruptedRestore(const QString& programFolder);

// Tests only: called with a description right before and right after each
// file a restore (or its recovery) moves; a test may end the process there.
void setRestoreStepHook(std::function<void(const QString& step)> hook);
// Tests only: the free bytes of the disk holding a folder (-1: unknown).
void setFreeSpaceProbe(std::function<qint64(const QString& folder)> probe);

} // namespace vornel::backup
