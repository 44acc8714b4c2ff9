// Restoring a copy, with the journal that puts every file back on failure.
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
    // A history file is replaced under the lock of its archive, taken once.
    QStringList guarded;
    for (const ManifestFile& f : manifest.files)
        if (const Guarded g = guardedBy(f.path); g.archive && !guarded.contains(QLatin1String(g.archive->fileName)))
            guarded << QLatin1String(g.archive->fileName);
    for (const QString& name : guarded) {
        locks.push_back(std::make_unique<AppendLockHolder>(QDir(programFolder).filePath(name)));
        if (!locks.back()->locked()) {
            discardBefore();
            result.detail = locks.back()->failure(name);
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
