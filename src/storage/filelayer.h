#pragma once
#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <stdexcept>

// The one way the program touches the files it stores: archives, settings,
// password, attachments, documents and exports. Every open, read, write,
// rename and copy passes through here, so tests can make any of them fail on
// demand (files::faults) even when running as root, which ignores permissions.
//
//   files::Read r = files::readWhole(path);        // Missing / Unreadable / Ok + bytes
//   files::writeWhole(path, bytes);                // replaces path only once complete
//   files::copyReplacing(source, target);          // target kept until the copy is whole
//   files::File f(path); f.open(QIODevice::ReadWrite); // a QFile whose open/read/write obey faults
//   files::SaveFile out(path); out.open(QIODevice::WriteOnly); out.write(...); out.commit();
//                                                  // streamed whole-file replace, for large exports
//   files::rename(from, to);                       // moves a file to a name that is free
//   files::syncToDisk(f);                          // flushed and on the disk, not only in the cache
//   files::canCreateFilesIn(folder);               // may new files be made there?
//   files::syncFolder(dir);                        // the names in a folder on the disk (after renames)
//   files::faults::failOn(files::Op::Write, "Studio_Medico_Vrn.ini");   // tests only
//
// writeWhole, copyReplacing and rename throw files::FileError (what(): path and
// reason); File and SaveFile report failures like QFile and QSaveFile
// (open() or commit() false, read/write -1). A library that writes files by
// itself (libzip) should write into memory and hand the bytes to writeWhole,
// or stream them into a SaveFile, so the seam sees every file.
namespace vornel::files {

enum class Op { Open, Read, Write, Rename, Copy, Sync };

class FileError : public std::runtime_error {
public:
    FileError(const QString& path, const QString& reason);
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

// A whole file read: missing (reads as empty wherever the program allows it)
// is told apart from present but unreadable (never to be replaced by an
// empty file).
struct Read {
    enum Status { Ok, Missing, Unreadable } status = Missing;
    QByteArray bytes;
    bool ok() const { return status == Ok; }
};
Read readWhole(const QString& path);

// Writes bytes as the whole new content of path. The new content is written
// beside the file and then takes its place, so a failure leaves the old file
// as it was; the file's permissions are kept. In a folder where files may be
// changed but not created, the file is written in place instead.
void writeWhole(const QString& path, const QByteArray& bytes);

// Copies source over target (creating it when missing). The old target stays
// until the copy is complete, so the copy needs to create a file beside it.
// Copying a file onto itself does nothing.
void copyReplacing(const QString& source, const QString& target);

// Moves the file 'from' to the path 'to', which must be free (QFile::rename:
// an existing 'to' is never replaced). A Rename fault on either path fails it,
// one use of the fault for one rename; the file then stays where it was.
void rename(const QString& from, const QString& to);

// Flushes what was written to the open file and waits until the disk holds it
// (fdatasync on POSIX, FlushFileBuffers on Windows), so a record shown as
// stored survives a pulled USB stick or a power cut. False (the reason in
// 'why') when the system refuses; a Sync fault fails it in tests.
bool syncToDisk(QFileDevice& file, QString* why = nullptr);

// Whether a new file can be created in the folder (tried with a small file
// that is removed at once). An Open fault on the folder's path makes it
// false, as a folder the user may not write into does.
bool canCreateFilesIn(const QString& folder);

// Makes the names in a folder durable (files created, renamed or removed in
// it): fsync of the folder on POSIX. On Windows the file system journals its
// names and there is nothing to call. A Sync fault on the folder fails it.
bool syncFolder(const QString& path, QString* why = nullptr);

// A QFile whose open, read and write can be made to fail by the test hook.
class File : public QFile {
public:
    explicit File(const QString& path);
    bool open(OpenMode mode) override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;
};

// A QSaveFile (new content written beside the file, put in its place by
// commit()) whose open, write and commit obey the test hook. In a folder
// where files may be changed but not created it writes the file in place
// (QSaveFile's direct-write fallback): an interrupted write then leaves it
// partly written, so small files are better written with writeWhole.
class SaveFile : public QSaveFile {
public:
    explicit SaveFile(const QString& path);
    bool open(OpenMode mode) override;
    bool commit(); // hides QSaveFile::commit: call it on a SaveFile

protected:
    qint64 writeData(const char* data, qint64 size) override;
};

// The test hook. A fault names a file by its full path or by its file name
// alone (any folder), lets the first 'after' uses of the operation on it
// succeed (a disk that fills up part way through a file: after writes), then
// fails it 'times' times (-1: until cleared). Production code never sets one.
namespace faults {
void failOn(Op op, const QString& pathOrName, int times = -1, int after = 0);
void clear();
// True, and one use consumed, when op on path is to fail now.
bool hit(Op op, const QString& path);
// The same for one operation on two paths (a rename): one use at most.
bool hitEither(Op op, const QString& path, const QString& other);
} // namespace faults

} // namespace vornel::files
