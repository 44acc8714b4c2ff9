#include "storage/archive.h"

#include "storage/appendlock.h"
#include "storage/clock.h"
#include "storage/filelayer.h"
#include "storage/history.h"
#include "storage/programfolder.h"
#include "storage/text.h"

#include <QDir>

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
    return AppendLock::pathFor(archivePath);
}

// Takes the archive's lock, then opens the file anew: a file replaced while
// this copy waited (a restore puts new archives in place under the same
// lock) is the one written, never the one that was moved away.
std::unique_ptr<AppendLock> Archive::lockAndReopen()
{
    auto lock = std::make_unique<AppendLock>(m_path, lockWait);
    switch (lock->status()) {
    case AppendLock::Held:
        break;
    case AppendLock::Busy:
        throw ArchiveLockedError(lock->lockPath());
    default:
        throw ArchiveError(QStringLiteral("%1: the lock file cannot be created").arg(lock->lockPath()).toStdString());
    }
    open();
    return lock;
}

void Archive::sync()
{
    QString why;
    if (!isOpen() || !files::syncToDisk(*m_file, &why))
        throw ArchiveError(QStringLiteral("%1: %2").arg(m_path, why).toStdString());
}

qint64 Archive::append(const Record& record)
{
    const auto lock = lockAndReopen();
    const qint64 oldSize = m_file->size();
    try {
        seek(count());
        write(record);
        sync();
    } catch (const ArchiveError&) {
        // The user is told the card was not stored: a record the disk did
        // not confirm must not stay behind for a second Salva to repeat.
        if (isOpen())
            m_file->resize(oldSize);
        throw;
    }
    return m_position;
}

qint64 Archive::overwrite(qint64 position, const Record& record)
{
    const auto lock = lockAndReopen();
    if (position < 1 || position > count())
        throw ArchiveError("the card's position is not a record of the archive");
    // The record as it stands goes to the history first, synced; if that
    // fails nothing is overwritten. A Salva that changes nothing keeps
    // nothing: the record loses no data.
    Record stored(*m_layout);
    seek(position - 1);
    read(stored);
    if (stored.bytes() != record.bytes())
        history::append(history::pathFor(m_path),
                        history::encode(position, clock::now(), history::workstationName(), stored.bytes()));
    seek(position - 1);
    write(record);
    sync();
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
    if (!number)
        throw ArchiveError("the card's position is not a record of the archive");
    return archive.overwrite(p, record);
}

} // namespace vornel
