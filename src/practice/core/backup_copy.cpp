// Making a copy of the program folder and reading a copy back against its manifest.
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

// --- verify --------------------------------------------------------------------

namespace {

bool anyEncrypted(zip_t* za)
{
    const zip_int64_t n = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(za, zip_uint64_t(i), 0, &st) == 0 && (st.valid & ZIP_STAT_ENCRYPTION_METHOD)
            && st.encryption_method != ZIP_EM_NONE)
            return true;
    }
    return false;
}

void addOnce(QStringList& list, const QString& name)
{
    if (!list.contains(name))
        list << name;
}

// A manifest that names one path twice, or a path both as a file and as a
// folder (or as the folder of another file): the names it contradicts.
void checkNames(const Manifest& m, QStringList& duplicates, bool& contradictory)
{
    QSet<QString> files, folders;
    for (const ManifestFile& f : m.files) {
        if (files.contains(f.path))
            addOnce(duplicates, f.path);
        files.insert(f.path);
    }
    for (const QString& f : m.folders) {
        if (folders.contains(f))
            addOnce(duplicates, f);
        folders.insert(f);
    }
    auto parents = [](const QString& path) {
        QStringList out;
        for (int i = path.indexOf(QLatin1Char('/')); i > 0; i = path.indexOf(QLatin1Char('/'), i + 1))
            out << path.left(i);
        return out;
    };
    contradictory = false;
    for (const QString& f : files) {
        if (folders.contains(f))
            contradictory = true;
        for (const QString& p : parents(f))
            if (files.contains(p))
                contradictory = true;
    }
    for (const QString& f : folders)
        for (const QString& p : parents(f))
            if (files.contains(p))
                contradictory = true;
}

bool namesVornel(const QByteArray& json)
{
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    return doc.isObject() && doc.object().value(QStringLiteral("programma")).toString() == QLatin1String("Vornel");
}

} // namespace

bool VerifyReport::whole() const
{
    return readable && vornelCopy && !needsPassword && !wrongPassword && !cancelled && damaged.isEmpty()
        && missing.isEmpty() && unsafe.isEmpty() && extra.isEmpty() && duplicates.isEmpty();
}

QString VerifyReport::problems() const
{
    if (cancelled)
        return QStringLiteral("Verifica annullata.");
    if (!readable)
        return QStringLiteral("Il file non \u00e8 un archivio ZIP leggibile: la copia \u00e8 danneggiata.");
    if (!vornelCopy)
        return QStringLiteral("Il file non \u00e8 una copia di sicurezza di Vornel.");
    if (needsPassword)
        return QStringLiteral("La copia \u00e8 protetta da una password.");
    if (wrongPassword)
        return QStringLiteral("La password non \u00e8 corretta.");
    QStringList parts;
    if (!unsafe.isEmpty())
        parts << QStringLiteral("File non ammessi in una copia di Vornel (fuori dalla cartella del programma, "
                                 "collegamenti o file sconosciuti): %1.").arg(joinNames(unsafe));
    if (!duplicates.isEmpty())
        parts << QStringLiteral("Nomi ripetuti nella copia: %1.").arg(joinNames(duplicates));
    if (!damaged.isEmpty())
        parts << QStringLiteral("File danneggiati: %1.").arg(joinNames(damaged));
    if (!missing.isEmpty())
        parts << QStringLiteral("File mancanti: %1.").arg(joinNames(missing));
    if (!extra.isEmpty())
        parts << QStringLiteral("File estranei alla copia: %1.").arg(joinNames(extra));
    return parts.join(QStringLiteral("\r\n"));
}

bool isEncrypted(const QString& zipPath)
{
    ReadZip zip(zipPath);
    return zip.za && anyEncrypted(zip.za);
}

VerifyReport verifyCopy(const QString& zipPath, const QString& password, const Progress& progress)
{
    VerifyReport report;
    ReadZip zip(zipPath);
    if (!zip.za)
        return report;
    report.readable = true;
    zip_t* za = zip.za;

    const zip_int64_t manifestIndex = zip_name_locate(za, manifestName().toUtf8().constData(), ZIP_FL_ENC_UTF_8);
    if (manifestIndex < 0)
        return report;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(za, zip_uint64_t(manifestIndex), 0, &st) == 0 && (st.valid & ZIP_STAT_ENCRYPTION_METHOD)
        && st.encryption_method != ZIP_EM_NONE)
        report.encrypted = true;
    // An entry may be encrypted under a plain manifest: still a password.
    if (!report.encrypted && password.isEmpty() && anyEncrypted(za))
        report.encrypted = true;
    if (report.encrypted && password.isEmpty()) {
        report.vornelCopy = true;
        report.needsPassword = true;
        return report;
    }
    const QByteArray secret = password.toUtf8();
    zip_set_default_password(za, secret.isEmpty() ? nullptr : secret.constData());

    Work silent;
    QByteArray json;
    int zipErr = 0;
    if (!readEntry(za, zip_uint64_t(manifestIndex), silent,
                   [&](const char* d, qint64 n) { json.append(d, n); return json.size() < (64 << 20); }, &zipErr)) {
        if (zipErr == ZIP_ER_WRONGPASSWD) {
            report.vornelCopy = true;
            report.wrongPassword = true;
        } else {
            report.vornelCopy = true;
            report.damaged << manifestName();
        }
        return report;
    }
    if (!Manifest::fromJson(json, report.manifest)) {
        // This program's manifest with numbers or names it never writes.
        if (namesVornel(json)) {
            report.vornelCopy = true;
            report.damaged << manifestName();
        }
        return report;
    }
    report.vornelCopy = true;
    const Manifest& manifest = report.manifest;
    bool contradictory = false;
    checkNames(manifest, report.duplicates, contradictory);
    if (contradictory)
        report.damaged << manifestName();

    QHash<QString, int> expected;
    for (int i = 0; i < manifest.files.size(); ++i) {
        const ManifestFile& f = manifest.files[i];
        expected.insert(f.path, i);
        if (!isRestorableName(f.path))
            addOnce(report.unsafe, f.path);
        // An archive's (or history file's) record size is its layout's, its
        // count the whole records of its size; anything else is not what the
        // copy wrote.
        if (const Guarded g = guardedBy(f.path); g.archive) {
            if (f.recordSize != g.recordSize || f.records != f.size / g.recordSize)
                addOnce(report.damaged, f.path);
        } else if (f.recordSize != 0 || f.records != -1) {
            addOnce(report.damaged, f.path);
        }
    }
    const QSet<QString> folders(manifest.folders.begin(), manifest.folders.end());
    for (const QString& f : manifest.folders)
        if (!isRestorableName(f + QLatin1Char('/')))
            addOnce(report.unsafe, f);

    Work work;
    work.progress = progress;
    work.phase = QStringLiteral("Verifica della copia di sicurezza...");
    work.total = manifest.totalBytes();
    QSet<QString> seen;
    const zip_int64_t entries = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* raw = zip_get_name(za, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString name = raw ? QString::fromUtf8(raw) : QString();
        if (i == manifestIndex)
            continue;
        if (!isRestorableName(name) || isLinkEntry(za, zip_uint64_t(i))) {
            addOnce(report.unsafe, name);
            continue;
        }
        if (name.endsWith(QLatin1Char('/'))) {
            if (!folders.contains(name.chopped(1)))
                report.extra << name;
            continue;
        }
        const auto it = expected.constFind(name);
        if (it == expected.constEnd()) {
            report.extra << name;
            continue;
        }
        if (seen.contains(name)) {
            addOnce(report.duplicates, name);
            continue;
        }
        seen.insert(name);
        const ManifestFile& want = manifest.files[*it];
        Sha256 hash;
        qint64 size = 0;
        const bool read = readEntry(za, zip_uint64_t(i), work, [&](const char* d, qint64 n) {
            hash.add(d, n);
            size += n;
            return size <= want.size;
        });
        if (work.cancelled) {
            report.cancelled = true;
            return report;
        }
        if (!read || size != want.size || hash.hex() != want.sha256)
            addOnce(report.damaged, name);
    }
    for (const ManifestFile& f : manifest.files)
        if (!seen.contains(f.path) && !report.unsafe.contains(f.path))
            addOnce(report.missing, f.path);
    return report;
}

} // namespace vornel::backup
