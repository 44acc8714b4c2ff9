#pragma once
#include <QLockFile>
#include <QString>

namespace vornel {

// The exclusive lock that every append to an archive takes, shared with every
// other copy of the program (other workstations on a shared folder) through a
// lock file beside the archive: the archive's path followed by ".lock". Held
// from construction to destruction, when it is taken:
//
//   AppendLock lock(archivePath);
//   if (lock.status() == AppendLock::Busy) ... another copy appends: say so, offer to retry
//
// A lock file left behind by a copy that died is taken over: one naming a
// process that is gone on this computer at once; one empty or unreadable (the
// copy was killed between creating it and writing its contents) once older
// than deadAfter; any other once older than staleAfter (one from another
// computer cannot be checked, and an append takes milliseconds). A live lock
// is waited for at most 'waitMs' milliseconds, asked for often, so an append
// of another copy in between is not mistaken for a lock held all along.
class AppendLock {
public:
    enum Status {
        Held,         // this copy holds the lock
        Busy,         // a live lock of another copy, still there after the wait
        CannotCreate, // no lock file can be created in the folder (permissions, read-only media)
        Failed        // any other failure to create the lock file
    };

    explicit AppendLock(const QString& archivePath, int waitMs = wait);
    ~AppendLock() = default; // releases the lock
    AppendLock(const AppendLock&) = delete;
    AppendLock& operator=(const AppendLock&) = delete;

    Status status() const { return m_status; }
    bool held() const { return m_status == Held; }
    const QString& lockPath() const { return m_lockPath; }

    // A lock held for longer than staleAfter (a restore of a large folder)
    // would look stale to a copy on another computer: while it is held, the
    // holder calls keepAlive() now and then, which dates the lock file anew
    // once it is a third of staleAfter old. Where the system keeps a held
    // lock file from being opened by anyone (Windows), it cannot be taken
    // over anyway, and keepAlive() does nothing.
    void keepAlive();

    static QString pathFor(const QString& archivePath);
    static constexpr int wait = 1500;
    static constexpr int staleAfter = 30000;
    static constexpr int deadAfter = 3000;

private:
    QString m_lockPath;
    QLockFile m_lock;
    Status m_status = Failed;
};

} // namespace vornel
