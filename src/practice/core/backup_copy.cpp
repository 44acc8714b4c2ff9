// Making a copy of the program folder; it is read back (backup_verify) before it is called good.
#include "practice/core/backup.h"
#include "practice/core/backup_common.h"

#include "storage/clock.h"
#include "storage/filelayer.h"
#include "storage/records.h"
#include "storage/text.h"
#include "practice/core/copylock.h"
#include "practice/core/sha256.h"
#include "practice/core/zipsink.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <zip.h>

#include <array>
#include <memory>
#include <vector>


namespace vornel::backup {

using namespace detail;

namespace {

// One file streamed into the ZIP; hashes what it hands over.
struct FileSource {
    Work* work;
    ManifestFile* entry;
    QString absolutePath;
    Guarded guard; // archives and history files are read under the archive's lock
    bool locked;   // the caller holds that lock already
    bool measured = false;
    bool finished = false;
    qint64 size = 0;
    QByteArray tail;
    time_t mtime = 0;
    files::File file{QString()};
    qint64 pos = 0;
    Sha256 hash;
    zip_error_t error;

    FileSource(Work* w, ManifestFile* e, QString abs, Guarded g, bool l)
        : work(w), entry(e), absolutePath(std::move(abs)), guard(g), locked(l)
    {
        zip_error_init(&error);
    }
    ~FileSource() { zip_error_fini(&error); }

    zip_int64_t fail(int code, const QString& text)
    {
        zip_error_set(&error, code, 0);
        work->fail(text);
        return -1;
    }

    bool measure()
    {
        if (measured)
            return true;
        const QFileInfo info(absolutePath);
        mtime = info.lastModified().toSecsSinceEpoch();
        if (guard.archive) {
            const ArchiveSnapshot s = snapshotArchive(
                absolutePath, guard.recordSize,
                QFileInfo(absolutePath).dir().filePath(QLatin1String(guard.archive->fileName)), locked);
            if (!s.ok) {
                fail(ZIP_ER_READ, s.error);
                return false;
            }
            size = s.size;
            tail = s.tail;
        } else {
            if (!info.isFile()) {
                fail(ZIP_ER_READ, QStringLiteral("Il file %1 non \u00e8 pi\u00f9 presente.").arg(entry->path));
                return false;
            }
            size = info.size();
        }
        measured = true;
        return true;
    }

    zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command)
    {
        switch (command) {
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                                  ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        case ZIP_SOURCE_STAT: {
            if (!measure())
                return -1;
            auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error);
            if (!st)
                return -1;
            zip_stat_init(st);
            st->size = zip_uint64_t(size);
            st->mtime = mtime;
            st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_OPEN:
            if (!measure())
                return -1;
            file.setFileName(absolutePath);
            if (!file.open(QIODevice::ReadOnly))
                return fail(ZIP_ER_OPEN, QStringLiteral("Impossibile leggere il file %1.").arg(entry->path));
            pos = 0;
            finished = false;
            hash.reset();
            return 0;
        case ZIP_SOURCE_READ: {
            const qint64 wanted = qMin<qint64>(qint64(length), size - pos);
            if (wanted <= 0)
                return 0;
            const qint64 fromFile = size - tail.size();
            qint64 got = 0;
            if (pos < fromFile) {
                got = file.read(static_cast<char*>(data), qMin(wanted, fromFile - pos));
                if (got <= 0)
                    return fail(ZIP_ER_READ,
                                QStringLiteral("Il file %1 \u00e8 cambiato o non si pu\u00f2 leggere durante la copia.")
                                    .arg(entry->path));
            } else {
                got = qMin<qint64>(wanted, size - pos);
                memcpy(data, tail.constData() + (pos - fromFile), size_t(got));
            }
            hash.add(static_cast<const char*>(data), got);
            pos += got;
            if (!work->advance(got)) {
                zip_error_set(&error, ZIP_ER_CANCELLED, 0);
                return -1;
            }
            return got;
        }
        case ZIP_SOURCE_CLOSE:
            file.close();
            if (pos == size) {
                entry->size = size;
                entry->sha256 = hash.hex();
                if (guard.archive) {
                    entry->recordSize = guard.recordSize;
                    entry->records = size / guard.recordSize;
                }
                finished = true;
            }
            return 0;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&error, data, length);
        case ZIP_SOURCE_FREE:
            delete this;
            return 0;
        default:
            zip_error_set(&error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    static zip_int64_t callback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
    {
        return static_cast<FileSource*>(state)->handle(data, length, command);
    }
};

// The manifest, the last entry: written once every file before it has been
// read, so it holds the checksums of exactly the bytes the copy holds.
struct ManifestSource {
    Manifest* manifest;
    Work* work;
    QByteArray bytes;
    qint64 pos = 0;
    bool built = false;
    zip_error_t error;

    ManifestSource(Manifest* m, Work* w) : manifest(m), work(w) { zip_error_init(&error); }
    ~ManifestSource() { zip_error_fini(&error); }

    bool build()
    {
        if (built)
            return true;
        for (const ManifestFile& f : manifest->files)
            if (f.sha256.isEmpty())
                return false;
        bytes = manifest->toJson();
        built = true;
        return true;
    }

    zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command)
    {
        switch (command) {
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                                  ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        case ZIP_SOURCE_STAT: {
            auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error);
            if (!st)
                return -1;
            zip_stat_init(st);
            st->mtime = manifest->date.toSecsSinceEpoch();
            st->valid |= ZIP_STAT_MTIME;
            if (build()) {
                st->size = zip_uint64_t(bytes.size());
                st->valid |= ZIP_STAT_SIZE;
            }
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_OPEN:
            if (!build()) {
                zip_error_set(&error, ZIP_ER_INTERNAL, 0);
                work->fail(QStringLiteral("Il manifesto della copia non \u00e8 completo."));
                return -1;
            }
            pos = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            const qint64 n = qMin<qint64>(qint64(length), bytes.size() - pos);
            memcpy(data, bytes.constData() + pos, size_t(n));
            pos += n;
            return n;
        }
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&error, data, length);
        case ZIP_SOURCE_FREE:
            delete this;
            return 0;
        default:
            zip_error_set(&error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    static zip_int64_t callback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
    {
        return static_cast<ManifestSource*>(state)->handle(data, length, command);
    }
};

// A copy cut short by a crash on a disk where the new ZIP could not be kept
// nameless leaves it under its name followed by a dot and six letters or
// digits. The next copy into the folder removes such files once nothing has
// written them for a while (another workstation may be making a copy) and
// only when they are no whole ZIP (a file of the user's is never one of them).
void removeLeftovers(const QString& folder)
{
    static const QRegularExpression leftover(QStringLiteral("^(%1|%2).*\\.zip\\.[A-Za-z0-9]{6}$")
                                                 .arg(QLatin1String(kCopyPrefix), QLatin1String(kBeforeRestorePrefix)));
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (!leftover.match(info.fileName()).hasMatch()
            || info.lastModified().secsTo(QDateTime::currentDateTime()) < 600)
            continue;
        QFile f(info.filePath());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        // The end of a whole ZIP: its end-of-central-directory record.
        const qint64 tail = qMin<qint64>(f.size(), (64 << 10) + 22);
        f.seek(f.size() - tail);
        const bool whole = f.read(tail).contains(QByteArray("PK\x05\x06", 4));
        f.close();
        if (!whole)
            QFile::remove(info.filePath());
    }
}

} // namespace

// --- copy ----------------------------------------------------------------------

CopyResult createCopy(const QString& programFolder, const QString& zipPath, const QString& password,
                      const Progress& progress)
{
    return detail::makeCopy(programFolder, zipPath, password, progress, false);
}

CopyResult detail::makeCopy(const QString& programFolder, const QString& zipPath, const QString& password,
                            const Progress& progress, bool archivesLocked)
{
    CopyResult result;
    result.zipPath = zipPath;
    removeLeftovers(QFileInfo(zipPath).absolutePath());
    const Contents contents = collectContents(programFolder);
    const QDir dir(programFolder);

    Manifest& manifest = result.manifest;
    manifest.program = QStringLiteral("Vornel");
    manifest.version = QStringLiteral(VORNEL_VERSION);
    manifest.date = clock::now();
    manifest.folders = contents.folders;
    for (const QString& f : contents.files)
        manifest.files.append(ManifestFile{f, 0, {}, 0, -1});

    Work work;
    work.progress = progress;
    work.phase = QStringLiteral("Scrittura della copia di sicurezza...");
    for (const QString& f : contents.files)
        work.total += QFileInfo(dir.filePath(f)).size();

    const QByteArray secret = password.toUtf8();
    ZipSink sink(zipPath);
    zip_t* za = sink.openArchive();
    if (!za) {
        result.detail = QStringLiteral("Impossibile preparare il file della copia.");
        return result;
    }
    bool added = true;
    for (const QString& folder : contents.folders)
        if (zip_dir_add(za, (folder + QLatin1Char('/')).toUtf8().constData(), ZIP_FL_ENC_UTF_8) < 0)
            added = false;
    for (int i = 0; added && i < manifest.files.size(); ++i) {
        ManifestFile* entry = &manifest.files[i];
        auto* state = new FileSource(&work, entry, dir.filePath(entry->path), guardedBy(entry->path), archivesLocked);
        zip_source_t* src = zip_source_function(za, &FileSource::callback, state);
        if (!src) {
            delete state;
            added = false;
            break;
        }
        const zip_int64_t index = zip_file_add(za, entry->path.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            added = false;
            break;
        }
        if (storedAsIs(entry->path))
            zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_STORE, 0);
        else
            zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_DEFLATE, kDeflateLevel);
        if (!secret.isEmpty() && zip_file_set_encryption(za, zip_uint64_t(index), ZIP_EM_AES_256, secret.constData()) < 0)
            added = false;
    }
    if (added) {
        auto* state = new ManifestSource(&manifest, &work);
        zip_source_t* src = zip_source_function(za, &ManifestSource::callback, state);
        zip_int64_t index = src ? zip_file_add(za, manifestName().toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) : -1;
        if (!src)
            delete state;
        else if (index < 0)
            zip_source_free(src);
        if (index < 0)
            added = false;
        else {
            zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_DEFLATE, 6);
            if (!secret.isEmpty()
                && zip_file_set_encryption(za, zip_uint64_t(index), ZIP_EM_AES_256, secret.constData()) < 0)
                added = false;
        }
    }
    if (!added) {
        result.detail = QStringLiteral("Impossibile preparare il file della copia (%1).").arg(libzipText(za));
        zip_discard(za);
        return result;
    }
    if (zip_close(za) < 0) {
        const QString text = libzipText(za);
        zip_discard(za);
        if (work.cancelled) {
            result.outcome = Outcome::Cancelled;
            result.detail = QStringLiteral("Copia annullata.");
        } else if (!sink.failure().isEmpty()) {
            result.detail = sink.failure();
        } else if (!work.failure.isEmpty()) {
            result.detail = work.failure;
        } else {
            result.detail = QStringLiteral("Errore durante la scrittura della copia (%1).").arg(text);
        }
        return result;
    }

    // Read the copy back: only a copy that reads back whole is a copy.
    const VerifyReport check = verifyCopy(zipPath, password, [&](const QString&, qint64 done, qint64 total) {
        return !progress || progress(QStringLiteral("Verifica della copia di sicurezza..."), done, total);
    });
    if (!check.whole()) {
        QFile::remove(zipPath);
        if (check.cancelled) {
            result.outcome = Outcome::Cancelled;
            result.detail = QStringLiteral("Copia annullata.");
        } else {
            result.detail = QStringLiteral("La copia scritta non si rilegge uguale agli originali. ") + check.problems();
        }
        return result;
    }
    result.outcome = Outcome::Done;
    result.links = contents.links;
    result.brokenLinks = contents.brokenLinks;
    result.fileCount = int(manifest.files.size());
    result.zipSize = QFileInfo(zipPath).size();
    return result;
}

} // namespace vornel::backup
