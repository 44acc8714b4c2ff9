#include "storage/archive.h"

#include "storage/filelayer.h"
#include "storage/programfolder.h"
#include "storage/text.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <vector>

namespace vornel {

QString archiveErrorMessage()
{
    return QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                          "Accertarsi di possedere i privilegi di scrittura nella cartella di "
                          "installazione del programma.");
}

ArchiveLockedError::ArchiveLockedError(const QString& lockPath)
    : ArchiveError(QStringLiteral("%1: locked by another copy of the program").arg(lockPath).toStdString()),
      m_lockPath(lockPath)
{
}

Archive::Archive(const QString& fileName, const RecordLayout& layout)
    : m_path(QDir::isAbsolutePath(fileName) ? fileName : programPath(fileName)), m_layout(&layout)
{
}

Archive::Archive(const ArchiveDef& def)
    : Archive(QString::fromLatin1(def.fileName), *def.layout)
{
}

Archive::~Archive()
{
    close();
}

void Archive::fail() const
{
    throw ArchiveError(QStringLiteral("%1: %2")
                           .arg(m_path, m_file ? m_file->errorString() : QStringLiteral("not open"))
                           .toStdString());
}

void Archive::open()
{
    close();
    m_file = std::make_unique<files::File>(m_path);
    // ReadWrite creates a missing file and never truncates an existing one.
    if (!m_file->open(QIODevice::ReadWrite))
        fail();
    m_position = 0;
}

bool Archive::isOpen() const
{
    return m_file && m_file->isOpen();
}

qint64 Archive::count() const
{
    if (!isOpen())
        fail();
    return m_file->size() / m_layout->size();
}

void Archive::seek(qint64 k)
{
    if (!isOpen() || k < 0 || !m_file->seek(k * m_layout->size()))
        fail();
    m_position = k;
}

void Archive::read(Record& record)
{
    if (!isOpen())
        fail();
    QByteArray buffer(m_layout->size(), Qt::Uninitialized);
    if (m_file->read(buffer.data(), buffer.size()) != buffer.size())
        fail();
    record.setBytes(buffer.constData());
    ++m_position;
}

void Archive::write(const Record& record)
{
    if (!isOpen())
        fail();
    if (m_file->write(record.bytes()) != record.bytes().size() || !m_file->flush())
        fail();
    ++m_position;
}

void Archive::close()
{
    if (m_file) {
        m_file->close();
        m_file.reset();
    }
}

QString Archive::lockPathOf(const QString& archivePath)
{
    return archivePath + QStringLiteral(".lock");
}

namespace {
// A copy killed between creating its lock file and writing the lock's
// contents leaves an empty (or cut) file that QLockFile cannot tell from a
// live lock for its whole stale time. Such a file older than a few seconds
// is dead: a live copy writes its contents straight after creating it.
void removeDeadLock(const QString& lockPath)
{
    constexpr qint64 kDeadAfterMs = 3000;
    const QFileInfo info(lockPath);
    if (!info.exists() || info.lastModified().msecsTo(QDateTime::currentDateTime()) < kDeadAfterMs)
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
} // namespace

qint64 Archive::append(const Record& record)
{
    if (!isOpen())
        fail();
    const QString lockPath = lockPathOf(m_path);
    removeDeadLock(lockPath);
    QLockFile lock(lockPath);
    // A lock file written whole names its process and host: QLockFile takes
    // it over at once when that process is gone on this computer. One from
    // another computer cannot be checked and holds until it is this old;
    // an append takes milliseconds.
    lock.setStaleLockTime(30000);
    if (!lock.tryLock(lockWait)) {
        if (lock.error() == QLockFile::LockFailedError)
            throw ArchiveLockedError(lockPath);
        throw ArchiveError(QStringLiteral("%1: the lock file cannot be created").arg(lockPath).toStdString());
    }
    seek(count());
    write(record);
    return m_position;
}

void Archive::scan(const std::function<void(const char*, qint64)>& onRecord)
{
    const qint64 n = count();
    const int size = m_layout->size();
    // Blocks of about 256 KiB stay in the processor's cache while their
    // records are decoded, which measured faster than larger blocks.
    const qint64 perBlock = qMax<qint64>(1, (256 << 10) / size);
    std::vector<char> block(size_t(perBlock * size));
    seek(0);
    for (qint64 k = 0; k < n;) {
        const qint64 take = qMin(perBlock, n - k);
        const qint64 bytes = take * size;
        if (m_file->read(block.data(), bytes) != bytes)
            fail();
        for (qint64 i = 0; i < take; ++i)
            onRecord(block.data() + i * size, k + i);
        k += take;
        m_position = k;
    }
}

qint64 storeRecord(Archive& archive, const Record& record, const QString& shownPosition)
{
    const QString shown = trimmed(shownPosition);
    if (shown.isEmpty())
        return archive.append(record);
    bool number = false;
    const qint64 p = shown.toLongLong(&number);
    if (!number || p < 1 || p > archive.count())
        throw ArchiveError("the card's position is not a record of the archive");
    archive.seek(p - 1);
    archive.write(record);
    return archive.position();
}

} // namespace vornel
