#pragma once
#include "storage/appendlock.h"

#include <QByteArray>
#include <QString>

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
// the archive itself (an archive's history file, appended under its lock).
ArchiveSnapshot snapshotArchive(const QString& path, int recordSize, const QString& lockedArchive = QString());

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

private:
    AppendLock m_lock;
};

} // namespace vornel::backup
