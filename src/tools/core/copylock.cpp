#include "tools/core/copylock.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace vornel::backup {

// The one place that takes the archives' append lock outside the archive
// file itself: the same lock file, stale time and wait as Archive::append.
struct AppendLockHolder::State {
    explicit State(const QString& archivePath) : lock(archivePath + QStringLiteral(".lock"))
    {
        lock.setStaleLockTime(30000);
        held = lock.tryLock(15000);
        // A folder where no lock file can be made (read-only media) is one
        // where no copy of the program can append either.
        if (!held && lock.error() == QLockFile::PermissionError)
            held = true;
    }
    QLockFile lock;
    bool held = false;
};

AppendLockHolder::AppendLockHolder(const QString& archivePath) : m_state(new State(archivePath)) {}

AppendLockHolder::~AppendLockHolder()
{
    delete m_state;
}

bool AppendLockHolder::locked() const
{
    return m_state->held;
}

ArchiveSnapshot snapshotArchive(const QString& path, int recordSize)
{
    ArchiveSnapshot s;
    const QString name = QFileInfo(path).fileName();
    AppendLockHolder lock(path);
    if (!lock.locked()) {
        s.error = QStringLiteral("L'archivio %1 \u00e8 bloccato da un'altra postazione.").arg(name);
        return s;
    }
    QFile file(path);
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

} // namespace vornel::backup
