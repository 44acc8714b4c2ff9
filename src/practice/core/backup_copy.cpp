#include "practice/core/backup.h"

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

namespace {

constexpr std::array<const ArchiveDef*, 5> kArchives = {
    &archives::Pazienti, &archives::Certificati, &archives::Agonistici, &archives::Disabili,
    &archives::NonIdoneita};
const char* const kSettingsFile = "Studio_Medico_Vrn.ini";
const char* const kPasswordFile = "unins000.dll";
const char* const kAttachmentsFolder = "Documenti_Allegati";
constexpr qint64 kBlock = 1 << 20;

// Deflate level of the copies: the records are mostly zero padding, which
// the fastest level packs nearly as well as the slowest.
constexpr int kDeflateLevel = 1;

const ArchiveDef* archiveOf(const QString& path)
{
    for (const ArchiveDef* a : kArchives)
        if (path == QLatin1String(a->fileName))
            return a;
    return nullptr;
}

bool isPatientFolderName(const QString& name)
{
    static const QRegularExpression re(QStringLiteral("^Paziente_[0-9]+$"));
    return re.match(name).hasMatch();
}

// Files whose contents are compressed already are stored as they are:
// deflating them again costs time and saves nothing.
bool storedAsIs(const QString& path)
{
    static const QSet<QString> suffixes = {
        QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"), QStringLiteral("gif"),
        QStringLiteral("webp"), QStringLiteral("heic"), QStringLiteral("pdf"), QStringLiteral("zip"),
        QStringLiteral("7z"), QStringLiteral("rar"), QStringLiteral("gz"), QStringLiteral("bz2"),
        QStringLiteral("xz"), QStringLiteral("mp3"), QStringLiteral("mp4"), QStringLiteral("mov"),
        QStringLiteral("avi"), QStringLiteral("docx"), QStringLiteral("xlsx"), QStringLiteral("pptx"),
        QStringLiteral("odt"), QStringLiteral("ods"), QStringLiteral("dcm")};
    QString suffix = QFileInfo(path).suffix();
    for (QChar& c : suffix)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    return suffixes.contains(suffix);
}

QByteArray nativeZipPath(const QString& path)
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(path).toUtf8(); // libzip takes UTF-8 names on Windows
#else
    return QFile::encodeName(path);
#endif
}

QString libzipText(zip_t* za)
{
    return QString::fromLocal8Bit(zip_strerror(za));
}

// The bytes of one long piece of work, reported now and then.
struct Work {
    Progress progress;
    QString phase;
    qint64 done = 0;
    qint64 total = 0;
    qint64 next = 0;
    bool cancelled = false;
    QString failure;

    bool advance(qint64 bytes)
    {
        done += bytes;
        if (!progress || (done < next && done < total))
            return true;
        next = done + qMax<qint64>(total / 500, 4 * kBlock);
        if (!progress(phase, done, total))
            cancelled = true;
        return !cancelled;
    }
    void fail(const QString& text)
    {
        if (failure.isEmpty())
            failure = text;
    }
};

// One file streamed into the ZIP; hashes what it hands over.
struct FileSource {
    Work* work;
    ManifestFile* entry;
    QString absolutePath;
    const ArchiveDef* archive;
    bool measured = false;
    bool finished = false;
    qint64 size = 0;
    QByteArray tail;
    time_t mtime = 0;
    files::File file{QString()};
    qint64 pos = 0;
    Sha256 hash;
    zip_error_t error;

    FileSource(Work* w, ManifestFile* e, QString abs, const ArchiveDef* a)
        : work(w), entry(e), absolutePath(std::move(abs)), archive(a)
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
        if (archive) {
            const ArchiveSnapshot s = snapshotArchive(absolutePath, archive->layout->size());
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
                if (archive) {
                    entry->recordSize = archive->layout->size();
                    entry->records = size / archive->layout->size();
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

bool isLinkEntry(zip_t* za, zip_uint64_t index)
{
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(za, index, 0, &opsys, &attributes) < 0)
        return false;
    return opsys == ZIP_OPSYS_UNIX && ((attributes >> 16) & 0170000) == 0120000;
}

// Streams one entry through 'sink'; false (with zipErr) on a read failure.
bool readEntry(zip_t* za, zip_uint64_t index, Work& work, const std::function<bool(const char*, qint64)>& sink,
               int* zipErr = nullptr)
{
    zip_file_t* f = zip_fopen_index(za, index, 0);
    if (!f) {
        if (zipErr)
            *zipErr = zip_error_code_zip(zip_get_error(za));
        return false;
    }
    std::vector<char> buffer(static_cast<size_t>(kBlock));
    bool ok = true;
    for (;;) {
        const zip_int64_t n = zip_fread(f, buffer.data(), buffer.size());
        if (n < 0) {
            if (zipErr)
                *zipErr = zip_error_code_zip(zip_file_get_error(f));
            ok = false;
            break;
        }
        if (n == 0)
            break;
        if (!sink(buffer.data(), n) || !work.advance(n)) {
            ok = false;
            break;
        }
    }
    zip_fclose(f);
    return ok;
}

bool hashFile(const QString& path, QByteArray& hex, qint64& size, Work& work)
{
    files::File f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    Sha256 hash;
    std::vector<char> buffer(static_cast<size_t>(kBlock));
    size = 0;
    for (;;) {
        const qint64 n = f.read(buffer.data(), qint64(buffer.size()));
        if (n < 0)
            return false;
        if (n == 0)
            break;
        hash.add(buffer.data(), n);
        size += n;
        if (!work.advance(n))
            return false;
    }
    hex = hash.hex();
    return true;
}

QString joinNames(const QStringList& names)
{
    constexpr int kShown = 12;
    QString text = names.mid(0, kShown).join(QStringLiteral(", "));
    if (names.size() > kShown)
        text += QStringLiteral(" e altri %1").arg(names.size() - kShown);
    return text;
}

} // namespace

// --- manifest ------------------------------------------------------------------

QString manifestName()
{
    return QStringLiteral("Vornel_Manifesto.json");
}

qint64 Manifest::patients() const
{
    for (const ManifestFile& f : files)
        if (f.path == QLatin1String(archives::Pazienti.fileName))
            return qMax<qint64>(0, f.records);
    return 0;
}

qint64 Manifest::certificates() const
{
    qint64 n = 0;
    for (const ManifestFile& f : files)
        if (archiveOf(f.path) && f.path != QLatin1String(archives::Pazienti.fileName))
            n += qMax<qint64>(0, f.records);
    return n;
}

qint64 Manifest::totalBytes() const
{
    qint64 n = 0;
    for (const ManifestFile& f : files)
        n += f.size;
    return n;
}

QByteArray Manifest::toJson() const
{
    QJsonArray list;
    for (const ManifestFile& f : files) {
        QJsonObject o{{QStringLiteral("percorso"), f.path},
                      {QStringLiteral("dimensione"), double(f.size)},
                      {QStringLiteral("sha256"), QString::fromLatin1(f.sha256)}};
        if (f.recordSize > 0) {
            o.insert(QStringLiteral("dimensioneScheda"), f.recordSize);
            o.insert(QStringLiteral("schede"), double(f.records));
        }
        list.append(o);
    }
    QJsonObject root{{QStringLiteral("programma"), program},
                     {QStringLiteral("versione"), version},
                     {QStringLiteral("data"), date.toString(Qt::ISODate)},
                     {QStringLiteral("file"), list},
                     {QStringLiteral("cartelle"), QJsonArray::fromStringList(folders)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool Manifest::fromJson(const QByteArray& json, Manifest& out)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject root = doc.object();
    out = Manifest();
    out.program = root.value(QStringLiteral("programma")).toString();
    out.version = root.value(QStringLiteral("versione")).toString();
    out.date = QDateTime::fromString(root.value(QStringLiteral("data")).toString(), Qt::ISODate);
    if (out.program != QLatin1String("Vornel") || !out.date.isValid()
        || !root.value(QStringLiteral("file")).isArray())
        return false;
    for (const QJsonValue& v : root.value(QStringLiteral("file")).toArray()) {
        const QJsonObject o = v.toObject();
        ManifestFile f;
        f.path = o.value(QStringLiteral("percorso")).toString();
        f.size = qint64(o.value(QStringLiteral("dimensione")).toDouble(-1));
        f.sha256 = o.value(QStringLiteral("sha256")).toString().toLatin1();
        f.recordSize = o.value(QStringLiteral("dimensioneScheda")).toInt(0);
        f.records = qint64(o.value(QStringLiteral("schede")).toDouble(-1));
        if (f.path.isEmpty() || f.size < 0 || f.sha256.size() != 64)
            return false;
        out.files.append(f);
    }
    for (const QJsonValue& v : root.value(QStringLiteral("cartelle")).toArray())
        out.folders.append(v.toString());
    return true;
}

// --- contents ------------------------------------------------------------------

Contents collectContents(const QString& programFolder)
{
    Contents c;
    const QDir dir(programFolder);
    auto plainFile = [](const QFileInfo& info) { return info.isFile() && !info.isSymLink(); };
    for (const ArchiveDef* a : kArchives)
        if (plainFile(QFileInfo(dir.filePath(QLatin1String(a->fileName)))))
            c.files << QLatin1String(a->fileName);
    for (const char* name : {kSettingsFile, kPasswordFile})
        if (plainFile(QFileInfo(dir.filePath(QLatin1String(name)))))
            c.files << QLatin1String(name);

    QStringList tops;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                                   QDir::Name)) {
        if (info.isSymLink())
            continue;
        if (info.fileName() == QLatin1String(kAttachmentsFolder) || isPatientFolderName(info.fileName()))
            tops << info.fileName();
    }
    QStringList files, folders;
    for (const QString& top : tops) {
        folders << top;
        QDirIterator it(dir.filePath(top), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            if (info.isSymLink())
                continue;
            const QString rel = dir.relativeFilePath(info.filePath());
            if (info.isDir())
                folders << rel;
            else if (info.isFile())
                files << rel;
        }
    }
    files.sort();
    folders.sort();
    c.files << files;
    c.folders = folders;
    return c;
}

QString copyFileName(const QString& folder, const QString& prefix, const QDateTime& when)
{
    const QString stem = prefix + when.toString(QStringLiteral("yyyy-MM-dd_HHmm"));
    const QDir dir(folder);
    QString name = stem + QStringLiteral(".zip");
    for (int n = 2; QFileInfo::exists(dir.filePath(name)); ++n)
        name = QStringLiteral("%1_%2.zip").arg(stem).arg(n);
    return name;
}

bool isInsideFolder(const QString& folder, const QString& programFolder)
{
    auto canonical = [](const QString& path) {
        const QString c = QFileInfo(path).canonicalFilePath();
        QString p = QDir::cleanPath(c.isEmpty() ? QFileInfo(path).absoluteFilePath() : c);
#ifdef Q_OS_WIN
        p = upperAscii(p);
#endif
        return p;
    };
    const QString f = canonical(folder);
    const QString root = canonical(programFolder);
    return f == root || f.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

bool isRestorableName(const QString& entry)
{
    QString name = entry;
    if (name.endsWith(QLatin1Char('/')))
        name.chop(1);
    if (name.isEmpty() || name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char(':'))
        || name.startsWith(QLatin1Char('/')))
        return false;
    for (QChar c : name)
        if (c.unicode() < 32)
            return false;
    const QStringList parts = name.split(QLatin1Char('/'));
    for (const QString& p : parts)
        if (p.isEmpty() || p == QLatin1String(".") || p == QLatin1String(".."))
            return false;
    const QString& top = parts.first();
    if (parts.size() == 1 && !entry.endsWith(QLatin1Char('/'))
        && (archiveOf(top) || top == QLatin1String(kSettingsFile) || top == QLatin1String(kPasswordFile)))
        return true;
    return top == QLatin1String(kAttachmentsFolder) || isPatientFolderName(top);
}

// --- copy ----------------------------------------------------------------------

CopyResult createCopy(const QString& programFolder, const QString& zipPath, const QString& password,
                      const Progress& progress)
{
    CopyResult result;
    result.zipPath = zipPath;
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
        auto* state = new FileSource(&work, entry, dir.filePath(entry->path), archiveOf(entry->path));
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
    result.fileCount = int(manifest.files.size());
    result.zipSize = QFileInfo(zipPath).size();
    return result;
}

// --- verify --------------------------------------------------------------------

bool VerifyReport::whole() const
{
    return readable && vornelCopy && !needsPassword && !wrongPassword && !cancelled && damaged.isEmpty()
        && missing.isEmpty() && unsafe.isEmpty() && extra.isEmpty();
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
    if (!zip.za)
        return false;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(zip.za, manifestName().toUtf8().constData(), 0, &st) < 0)
        return false;
    return (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
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
    if (!Manifest::fromJson(json, report.manifest))
        return report;
    report.vornelCopy = true;
    const Manifest& manifest = report.manifest;

    QHash<QString, int> expected;
    for (int i = 0; i < manifest.files.size(); ++i) {
        expected.insert(manifest.files[i].path, i);
        if (!isRestorableName(manifest.files[i].path))
            report.unsafe << manifest.files[i].path;
    }
    const QSet<QString> folders(manifest.folders.begin(), manifest.folders.end());
    for (const QString& f : manifest.folders)
        if (!isRestorableName(f + QLatin1Char('/')))
            report.unsafe << f;

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
            report.unsafe << name;
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
            report.extra << name;
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
            report.damaged << name;
    }
    for (const ManifestFile& f : manifest.files)
        if (!seen.contains(f.path) && !report.unsafe.contains(f.path))
            report.missing << f.path;
    return report;
}

// --- restore -------------------------------------------------------------------

namespace {

// Moves a file through the file layer; false when it stays where it was.
bool moveFile(const QString& from, const QString& to)
{
    try {
        files::rename(from, to);
        return true;
    } catch (const files::FileError&) {
        return false;
    }
}

// The files put in place by a restore, to be put back when a later step fails.
class Journal {
public:
    Journal(QString folder, QString staged, QString saved)
        : m_folder(std::move(folder)), m_staged(std::move(staged)), m_saved(std::move(saved))
    {
    }

    bool makeFolder(const QString& rel)
    {
        const QDir dir(m_folder);
        QStringList missing;
        QString path = rel;
        while (!path.isEmpty() && !QFileInfo(dir.filePath(path)).isDir()) {
            missing.prepend(path);
            const int slash = path.lastIndexOf(QLatin1Char('/'));
            path = slash < 0 ? QString() : path.left(slash);
        }
        for (const QString& m : missing) {
            if (!dir.mkdir(m))
                return false;
            m_createdFolders << m;
        }
        return true;
    }

    bool place(const QString& rel)
    {
        const QDir dir(m_folder);
        const QString target = dir.filePath(rel);
        const int slash = rel.lastIndexOf(QLatin1Char('/'));
        if (slash > 0 && !makeFolder(rel.left(slash)))
            return false;
        Step step{rel, false, false};
        if (QFileInfo::exists(target)) {
            const QString saved = QDir(m_saved).filePath(rel);
            if (!QDir().mkpath(QFileInfo(saved).path()) || !moveFile(target, saved))
                return false;
            step.saved = true;
        }
        m_steps.push_back(step);
        if (!moveFile(QDir(m_staged).filePath(rel), target))
            return false;
        m_steps.back().placed = true;
        return true;
    }

    // Puts every file back as it was; false when some file could not be.
    bool rollBack()
    {
        bool ok = true;
        const QDir dir(m_folder);
        for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it) {
            const QString target = dir.filePath(it->rel);
            if (it->placed && !QFile::remove(target))
                ok = false;
            if (it->saved && !moveFile(QDir(m_saved).filePath(it->rel), target))
                ok = false;
        }
        m_steps.clear();
        for (auto it = m_createdFolders.crbegin(); it != m_createdFolders.crend(); ++it)
            dir.rmdir(*it);
        m_createdFolders.clear();
        return ok;
    }

private:
    struct Step {
        QString rel;
        bool saved;
        bool placed;
    };
    QString m_folder, m_staged, m_saved;
    std::vector<Step> m_steps;
    QStringList m_createdFolders;
};

} // namespace

RestoreResult restoreCopy(const QString& programFolder, const QString& zipPath, const QString& password,
                          const QString& beforeRestoreZip, const Progress& progress, const VerifyReport* verified)
{
    RestoreResult result;
    auto phased = [&](const QString& phase) {
        return [&progress, phase](const QString&, qint64 done, qint64 total) {
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

    // 1. The files as they are now, in a copy of the same kind.
    const CopyResult before = createCopy(programFolder, beforeRestoreZip, QString(),
                                         phased(QStringLiteral("Copia dei file attuali...")));
    if (before.outcome == Outcome::Cancelled) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    if (before.outcome != Outcome::Done) {
        result.detail = QStringLiteral("Non \u00e8 stato possibile salvare i file attuali: %1").arg(before.detail);
        return result;
    }
    auto discardBefore = [&] { QFile::remove(beforeRestoreZip); };

    // 2. The files of the copy, extracted beside the program's files and checked.
    QTemporaryDir work(QDir(programFolder).filePath(QStringLiteral(".vornel_ripristino_XXXXXX")));
    const QString staged = QDir(work.path()).filePath(QStringLiteral("nuovi"));
    const QString saved = QDir(work.path()).filePath(QStringLiteral("attuali"));
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
        extract.progress = progress;
        extract.phase = QStringLiteral("Estrazione dei file della copia...");
        extract.total = manifest.totalBytes();
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
            ok = ok && file.flush();
            file.close();
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
    }

    // 3. In place, archives under their append lock; nothing is cancelled from here.
    std::vector<std::unique_ptr<AppendLockHolder>> locks;
    for (const ManifestFile& f : manifest.files)
        if (archiveOf(f.path)) {
            locks.push_back(std::make_unique<AppendLockHolder>(QDir(programFolder).filePath(f.path)));
            if (!locks.back()->locked()) {
                discardBefore();
                result.detail = locks.back()->failure(f.path);
                return result;
            }
        }
    Journal journal(programFolder, staged, saved);
    QString failure;
    for (const QString& folder : manifest.folders)
        if (failure.isEmpty() && !journal.makeFolder(folder))
            failure = QStringLiteral("Impossibile creare la cartella %1.").arg(folder);
    for (const ManifestFile& f : manifest.files)
        if (failure.isEmpty() && !journal.place(f.path))
            failure = QStringLiteral("Impossibile sostituire il file %1: potrebbe essere aperto da un altro programma.")
                          .arg(f.path);

    // 4. Checked again where they now lie.
    if (failure.isEmpty()) {
        Work disk;
        disk.progress = [&progress](const QString& phase, qint64 done, qint64 total) {
            if (progress)
                progress(phase, done, total);
            return true;
        };
        disk.phase = QStringLiteral("Verifica dei file ripristinati...");
        disk.total = manifest.totalBytes();
        for (const ManifestFile& f : manifest.files) {
            QByteArray hex;
            qint64 size = 0;
            if (!hashFile(QDir(programFolder).filePath(f.path), hex, size, disk) || size != f.size || hex != f.sha256) {
                failure = QStringLiteral("Il file ripristinato %1 non corrisponde alla copia.").arg(f.path);
                break;
            }
        }
    }
    if (!failure.isEmpty()) {
        if (journal.rollBack()) {
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
    result.outcome = Outcome::Done;
    result.beforeRestoreZip = beforeRestoreZip;
    return result;
}

} // namespace vornel::backup
