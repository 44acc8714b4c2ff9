// The manifest of a copy, the files a copy holds and the names it may hold.
#include "practice/core/backup.h"
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
#include <cmath>
#include <memory>
#include <vector>


namespace vornel::backup {

using namespace detail;

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

namespace {

// Sizes beyond any file the program keeps (1 TiB); the sum of a copy's sizes
// is held to the same bound, so no sum can overflow.
constexpr qint64 kMaxFileSize = qint64(1) << 40;
constexpr qint64 kMaxRecordSize = 1 << 20;

// A whole number 0..max, checked as the JSON number it is before it becomes
// an integer.
bool wholeNumber(const QJsonValue& v, qint64 max, qint64& out)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (!(d >= 0.0) || d > double(max) || d != std::floor(d))
        return false;
    out = qint64(d);
    return true;
}

} // namespace

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
    // Numbers are checked before they are converted: a crafted manifest
    // must not overflow a conversion or a sum.
    qint64 total = 0;
    for (const QJsonValue& v : root.value(QStringLiteral("file")).toArray()) {
        const QJsonObject o = v.toObject();
        ManifestFile f;
        f.path = o.value(QStringLiteral("percorso")).toString();
        if (!wholeNumber(o.value(QStringLiteral("dimensione")), kMaxFileSize, f.size))
            return false;
        f.sha256 = o.value(QStringLiteral("sha256")).toString().toLatin1();
        if (o.contains(QStringLiteral("dimensioneScheda")) || o.contains(QStringLiteral("schede"))) {
            qint64 recordSize = 0;
            if (!wholeNumber(o.value(QStringLiteral("dimensioneScheda")), kMaxRecordSize, recordSize) || recordSize == 0
                || !wholeNumber(o.value(QStringLiteral("schede")), kMaxFileSize, f.records))
                return false;
            f.recordSize = int(recordSize);
        }
        if (f.path.isEmpty() || f.sha256.size() != 64)
            return false;
        total += f.size;
        if (total > kMaxFileSize)
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
    // A link is read through: its target's content is what the program uses.
    auto take = [&](const QFileInfo& info, const QString& rel) {
        if (info.isSymLink() || info.isJunction()) {
            if (!info.exists()) {
                c.brokenLinks << rel;
                return false;
            }
            c.links << rel;
        }
        return true;
    };
    for (const ArchiveDef* a : kArchives) {
        const QString name = QLatin1String(a->fileName);
        const QFileInfo info(dir.filePath(name));
        if ((info.exists() || info.isSymLink()) && take(info, name) && info.isFile())
            c.files << name;
    }
    for (const ArchiveDef* a : kArchives) {
        const QString name = history::fileNameFor(*a);
        const QFileInfo info(dir.filePath(name));
        if ((info.exists() || info.isSymLink()) && take(info, name) && info.isFile())
            c.files << name;
    }
    for (const char* raw : {kSettingsFile, kPasswordFile}) {
        const QString name = QLatin1String(raw);
        const QFileInfo info(dir.filePath(name));
        if ((info.exists() || info.isSymLink()) && take(info, name) && info.isFile())
            c.files << name;
    }

    QStringList tops;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                                   QDir::Name)) {
        if (info.fileName() == QLatin1String(kAttachmentsFolder) || isPatientFolderName(info.fileName()))
            if (take(info, info.fileName()))
                tops << info.fileName();
    }
    QStringList files, folders;
    for (const QString& top : tops) {
        folders << top;
        // QDirIterator follows links without going round a loop of them.
        QDirIterator it(dir.filePath(top), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            const QString rel = dir.relativeFilePath(info.filePath());
            if (!take(info, rel))
                continue;
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
    // The program's files are files at the top; its folders are folders, and
    // everything below them. A file named like one of its folders (or a
    // folder like one of its files) is none of the program's.
    const QString& top = parts.first();
    const bool folderEntry = entry.endsWith(QLatin1Char('/'));
    const bool programFile =
        archiveOf(top) || historyOf(top) || top == QLatin1String(kSettingsFile) || top == QLatin1String(kPasswordFile);
    const bool programFolder = top == QLatin1String(kAttachmentsFolder) || isPatientFolderName(top);
    if (parts.size() == 1)
        return folderEntry ? programFolder : programFile;
    return programFolder;
}

} // namespace vornel::backup
