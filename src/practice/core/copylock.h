#pragma once
#include "storage/appendlock.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace vornel::backup {

// What a copy takes of one archive at one instant: its length and its
// partial last record, if any. Both are read while holding the lock that
// appends take, so no append is half done at that instant; the whole records
// before the tail are never written by a later append (appends write at the
// first whole-record boundary), so they may be streamed after the lock is
// released without ever catching half a record. The tail, which a later
// append overwrites, is kept here.
struct ArchiveSnapshot {
    bool ok = false;
    QString error;  // Italian, when !ok
    qint64 size = 0;
    QByteArray tail; // the bytes after the last whole record
};

// 'lockedArchive' names the archive whose lock is taken when the file is not
// the archive itself (an archive's history file, appended under its lock);
// 'locked': the caller holds that lock already (a restore holds every
// archive's lock from its first step to its last).
ArchiveSnapshot snapshotArchive(const QString& path, int recordSize, const QString& lockedArchive = QString(),
                                bool locked = false);

// Holds the append lock of an archive (the very AppendLock that appends
// take) for as long as it lives; the restore replaces the archive under it.
// locked() is false when another workstation holds it past the wait; it is
// true, without a lock file, in a folder where no lock file can be made,
// since no copy of the program can append there either.
class AppendLockHolder {
public:
    // A copy waits longer than a Salva: it runs behind its progress dialog,
    // and another workstation saving card after card must not stop it.
    static constexpr int wait = 5000;
    explicit AppendLockHolder(const QString& archivePath) : m_lock(archivePath, wait) {}
    bool locked() const
    {
        return m_lock.status() == AppendLock::Held || m_lock.status() == AppendLock::CannotCreate;
    }
    // Why the lock is not held, in Italian, naming the archive by 'name';
    // empty when locked().
    QString failure(const QString& name) const;
    void keepAlive() { m_lock.keepAlive(); }

private:
    AppendLock m_lock;
};

// The locks of several archives, held together (a restore): taken one after
// the other, all released when it goes.
class ArchiveLocks {
public:
    // False, with failure() telling which archive, when one of them cannot be
    // had; those taken before it are released.
    bool take(const QString& folder, const QStringList& names);
    QString failure() const { return m_failure; }
    // Keeps every lock from looking stale to other computers; call it often
    // during long work (it touches the lock files only now and then).
    void keepAlive();
    void release();

private:
    std::vector<std::unique_ptr<AppendLockHolder>> m_locks;
    QString m_failure;
};

} // namespace vornel::backup
