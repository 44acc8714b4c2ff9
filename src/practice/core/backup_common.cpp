#include "practice/core/backup_common.h"

#include "storage/clock.h"
#include "storage/filelayer.h"
#include "storage/history.h"
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


namespace vornel::backup::detail {

const std::array<const ArchiveDef*, 5> kArchives = {
    &archives::Pazienti, &archives::Certificati, &archives::Agonistici, &archives::Disabili,
    &archives::NonIdoneita};
const char* const kSettingsFile = "Studio_Medico_Vrn.ini";
const char* const kPasswordFile = "unins000.dll";
const char* const kAttachmentsFolder = "Documenti_Allegati";

const ArchiveDef* archiveOf(const QString& path)
{
    for (const ArchiveDef* a : kArchives)
        if (path == QLatin1String(a->fileName))
            return a;
    return nullptr;
}

const ArchiveDef* historyOf(const QString& path)
{
    return history::archiveOfHistory(path);
}

Guarded guardedBy(const QString& path)
{
    if (const ArchiveDef* a = archiveOf(path))
        return {a, a->layout->size()};
    if (const ArchiveDef* a = historyOf(path))
        return {a, history::sizeFor(*a->layout)};
    return {};
}

bool isPatientFolderName(const QString& name)
{
    static const QRegularExpression re(QStringLiteral("^Paziente_[0-9]+$"));
    return re.match(name).hasMatch();
}

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

bool Work::advance(qint64 bytes)
{
    done += bytes;
    if (!progress || (done < next && done < total))
        return true;
    next = done + qMax<qint64>(total / 500, 4 * kBlock);
    if (!progress(phase, done, total))
        cancelled = true;
    return !cancelled;
}

void Work::fail(const QString& text)
{
    if (failure.isEmpty())
        failure = text;
}


bool isLinkEntry(zip_t* za, zip_uint64_t index)
{
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(za, index, 0, &opsys, &attributes) < 0)
        return false;
    return opsys == ZIP_OPSYS_UNIX && ((attributes >> 16) & 0170000) == 0120000;
}

bool readEntry(zip_t* za, zip_uint64_t index, Work& work, const std::function<bool(const char*, qint64)>& sink,
               int* zipErr)
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

} // namespace vornel::backup::detail
