// Reading a copy back against its manifest, entry by entry; writes nothing.
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
