#include "practice/core/copylock.h"

#include "storage/filelayer.h"

#include <QDir>
#include <QFileInfo>

namespace vornel::backup {

QString AppendLockHolder::failure(const QString& name) const
{
    if (locked())
        return QString();
    if (m_lock.status() == AppendLock::Busy)
        return QStringLiteral("L'archivio %1 \u00e8 bloccato da un'altra postazione.").arg(name);
    return QStringLiteral("Impossibile creare il file di blocco dell'archivio %1 (%2).")
        .arg(name, QFileInfo(m_lock.lockPath()).fileName());
}

ArchiveSnapshot snapshotArchive(const QString& path, int recordSize, const QString& lockedArchive, bool locked)
{
    ArchiveSnapshot s;
    const QString name = QFileInfo(path).fileName();
    std::unique_ptr<AppendLockHolder> lock;
    if (!locked) {
        lock = std::make_unique<AppendLockHolder>(lockedArchive.isEmpty() ? path : lockedArchive);
        if (!lock->locked()) {
            s.error = lock->failure(name);
            return s;
        }
    }
    files::File file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        s.error = QStringLiteral("Impossibile leggere l'archivio %1.").arg(name);
        return s;
    }
    s.size = file.size();
    const qint64 tail = recordSize > 0 ? s.size % recordSize : 0;
    if (tail > 0) {
        if (!file.seek(s.size - tail) || (s.tail = file.read(tail)).size() != tail) {
            s.error = QStringLiteral("Impossibile leggere l'archivio %1.").arg(name);
            return s;
        }
    }
    s.ok = true;
    return s;
}

bool ArchiveLocks::take(const QString& folder, const QStringList& names)
{
    release();
    const QDir dir(folder);
    for (const QString& name : names) {
        auto lock = std::make_unique<AppendLockHolder>(dir.filePath(name));
        if (!lock->locked()) {
            m_failure = lock->failure(name);
            release();
            return false;
        }
        m_locks.push_back(std::move(lock));
    }
    return true;
}

void ArchiveLocks::keepAlive()
{
    for (const auto& lock : m_locks)
        lock->keepAlive();
}

void ArchiveLocks::release()
{
    m_locks.clear();
}

} // namespace vornel::backup
