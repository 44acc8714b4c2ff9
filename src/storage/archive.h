#pragma once
#include "storage/appendlock.h"
#include "storage/records.h"

#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>

namespace vornel {

namespace files {
class File;
}

// Any input/output failure on an archive. The one guard around each user
// action catches it and shows the archive error message.
class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Another copy of the program holds the append lock of the archive (a live
// lock), or the lock could not be had in the time an append may wait.
class ArchiveLockedError : public ArchiveError {
public:
    explicit ArchiveLockedError(const QString& lockPath);
    const QString& lockPath() const { return m_lockPath; }

private:
    QString m_lockPath;
};

// The message every card and search window shows when an archive fails.
QString archiveErrorMessage();

// A handle on one archive file, opened and closed within one user action.
// Records are addressed by 0-based index; a trailing partial record is
// ignored by count() and overwritten by the next append.
class Archive {
public:
    Archive(const QString& fileName, const RecordLayout& layout); // name in the program folder, or absolute path
    explicit Archive(const ArchiveDef& def);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    const QString& path() const { return m_path; }
    const RecordLayout& layout() const { return *m_layout; }

    // Opens for reading and writing; a missing file is created empty, an
    // existing one is never emptied.
    void open();
    bool isOpen() const;
    qint64 count() const;
    void seek(qint64 k);
    qint64 position() const { return m_position; }
    void read(Record& record);
    void write(const Record& record);
    void close();

    // Every write that stores a record takes the archive's AppendLock
    // (storage/appendlock.h), shared with every other copy of the program,
    // BEFORE it opens the file: the archive need not be open, and is open
    // afterwards on the file the lock protects. Two workstations never write
    // over each other's new record, and a file put in place by a restore
    // while this copy waited is the one written. The lock file is the
    // archive's path followed by ".lock"; one left behind by a copy that died
    // (its process gone, or empty or unreadable and older than a few seconds)
    // is taken over. A live lock throws ArchiveLockedError after waiting at
    // most lockWait milliseconds; nothing is ever written without the lock.
    // The record is on the disk (synced) when these return.
    //
    // Appends the record; returns its 1-based position.
    qint64 append(const Record& record);
    // Writes the record over the stored one at the 1-based position (which
    // must exist); returns the position. Under the same lock and before the
    // write, the stored record is appended to the archive's history file
    // (storage/history.h) and synced; when that fails, ArchiveError is thrown
    // and the archive is left as it was.
    qint64 overwrite(qint64 position, const Record& record);
    static QString lockPathOf(const QString& archivePath);
    static constexpr int lockWait = AppendLock::wait;

    // Reads every record from the first to the last in large blocks and hands
    // each one (raw bytes, 0-based index) to the callback. The archive must be open.
    void scan(const std::function<void(const char* record, qint64 index)>& onRecord);

private:
    [[noreturn]] void fail() const;
    std::unique_ptr<AppendLock> lockAndReopen();
    void sync();

    QString m_path;
    const RecordLayout* m_layout;
    std::unique_ptr<files::File> m_file;
    qint64 m_position = 0;
};

// Stores the record of a card: in place at the card's 1-based position, or
// appended when the card shows no position. Returns the record's position.
// A position that is not a stored record throws ArchiveError: writing past
// the end would leave a gap of empty records.
qint64 storeRecord(Archive& archive, const Record& record, const QString& shownPosition);

} // namespace vornel
