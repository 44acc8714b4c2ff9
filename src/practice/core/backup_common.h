#pragma once
// What the copy, its check and the restore share: the program's files, the
// progress of long work and reading entries of a ZIP. Internal to backups.
#include "practice/core/backup.h"
#include "storage/records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <zip.h>

#include <array>
#include <functional>

namespace vornel::backup::detail {

extern const std::array<const ArchiveDef*, 5> kArchives;
extern const char* const kSettingsFile;
extern const char* const kPasswordFile;
extern const char* const kAttachmentsFolder;
constexpr qint64 kBlock = 1 << 20;

// Deflate level of the copies: the records are mostly zero padding, which
// the fastest level packs nearly as well as the slowest.
constexpr int kDeflateLevel = 1;

const ArchiveDef* archiveOf(const QString& path);
// The archive of a history file ("Pazienti_Storico.vrn"); nullptr for any other path.
const ArchiveDef* historyOf(const QString& path);
// The archive whose lock guards a file of the copy (the archive itself, or
// the archive of a history file), and the size of the file's records.
struct Guarded {
    const ArchiveDef* archive = nullptr;
    int recordSize = 0;
};
Guarded guardedBy(const QString& path);
bool isPatientFolderName(const QString& name);
// Files whose contents are compressed already are stored as they are:
// deflating them again costs time and saves nothing.
bool storedAsIs(const QString& path);
QByteArray nativeZipPath(const QString& path);
QString libzipText(zip_t* za);

// The bytes of one long piece of work, reported now and then.
struct Work {
    Progress progress;
    QString phase;
    qint64 done = 0;
    qint64 total = 0;
    qint64 next = 0;
    bool cancelled = false;
    QString failure;

    bool advance(qint64 bytes);
    void fail(const QString& text);
};

// An open ZIP for reading, closed on scope exit.
struct ReadZip {
    zip_t* za = nullptr;
    explicit ReadZip(const QString& path)
    {
        int error = 0;
        za = zip_open(nativeZipPath(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    }
    ~ReadZip()
    {
        if (za)
            zip_discard(za);
    }
};

bool isLinkEntry(zip_t* za, zip_uint64_t index);
// Streams one entry through 'sink'; false (with zipErr) on a read failure.
bool readEntry(zip_t* za, zip_uint64_t index, Work& work, const std::function<bool(const char*, qint64)>& sink,
               int* zipErr = nullptr);
bool hashFile(const QString& path, QByteArray& hex, qint64& size, Work& work);
QString joinNames(const QStringList& names);

// createCopy; with archivesLocked, for a caller that holds the lock of every
// archive already (the restore, saving the files as they are).
CopyResult makeCopy(const QString& programFolder, const QString& zipPath, const QString& password,
                    const Progress& progress, bool archivesLocked);

} // namespace vornel::backup::detail
