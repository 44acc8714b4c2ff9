#include "storage/appendlock.h"

#include "storage/filelayer.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace vornel {

namespace {

// A copy killed between creating its lock file and writing the lock's
// contents leaves an empty (or cut) file that QLockFile cannot tell from a
// live lock for its whole stale time. Such a file older than a few seconds
// is dead: a live copy writes its contents straight after creating it.
void removeDeadLock(const QString& lockPath)
{
    const QFileInfo info(lockPath);
    if (!info.exists() || info.lastModified().msecsTo(QDateTime::currentDateTime()) < AppendLock::deadAfter)
        return;
    files::File f(lockPath);
    const bool readable = f.open(QIODevice::ReadOnly);
    const QByteArray head = readable ? f.read(256) : QByteArray();
    f.close();
    // What QLockFile writes first: the owner's process id on a line of its own.
    const qsizetype eol = head.indexOf('\n');
    bool number = false;
    const qint64 pid = eol > 0 ? head.left(eol).trimmed().toLongLong(&number) : 0;
    if (!readable || !number || pid <= 0)
        QFile::remove(lockPath);
}

// How often a live lock is asked for while waiting. QLockFile's own wait
// doubles its pauses (0.1, 0.3, 0.7, 1.5 s), which asks only four or five
// times in the wait and loses to a copy that appends again and again.
constexpr int kPollMs = 20;

} // namespace

QString AppendLock::pathFor(const QString& archivePath)
{
    return archivePath + QStringLiteral(".lock");
}

AppendLock::AppendLock(const QString& archivePath, int waitMs)
    : m_lockPath(pathFor(archivePath)), m_lock(m_lockPath)
{
    removeDeadLock(m_lockPath);
    m_lock.setStaleLockTime(staleAfter);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (m_lock.tryLock(0)) {
            m_status = Held;
            return;
        }
        switch (m_lock.error()) {
        case QLockFile::LockFailedError:
            break;
        case QLockFile::PermissionError:
            m_status = CannotCreate;
            return;
        default:
            m_status = Failed;
            return;
        }
        const qint64 left = waitMs - waited.elapsed();
        if (left <= 0) {
            m_status = Busy;
            return;
        }
        QThread::msleep(ulong(qMin<qint64>(kPollMs, left)));
    }
}

void AppendLock::keepAlive()
{
    if (m_status != Held)
        return;
    const QFileInfo info(m_lockPath);
    if (!info.exists() || info.lastModified().msecsTo(QDateTime::currentDateTime()) < staleAfter / 3)
        return;
    QFile f(m_lockPath);
    if (f.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        f.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
}

} // namespace vornel
