#include "storage/filelayer.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>

#include <vector>

#if defined(Q_OS_WIN)
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vornel::files {

namespace {

const char* opName(Op op)
{
    switch (op) {
    case Op::Open: return "open";
    case Op::Read: return "read";
    case Op::Write: return "write";
    case Op::Rename: return "rename";
    case Op::Copy: return "copy";
    case Op::Sync: return "sync";
    }
    return "?";
}

struct Fault {
    Op op;
    QString pattern;
    int remaining;
    int passes; // uses let through before the fault starts failing
};

QMutex& faultLock()
{
    static QMutex m;
    return m;
}

std::vector<Fault>& faultList()
{
    static std::vector<Fault> list;
    return list;
}

[[noreturn]] void failWith(const QString& path, Op op, const QString& detail = QString())
{
    throw FileError(path, QStringLiteral("%1 failed%2").arg(QLatin1String(opName(op)),
                                                            detail.isEmpty() ? QString() : QStringLiteral(": ") + detail));
}

void checkFault(Op op, const QString& path)
{
    if (faults::hit(op, path))
        failWith(path, op, QStringLiteral("injected fault"));
}

constexpr qint64 kChunk = 1 << 20;

// Writes into an existing file in place, for folders where a new file cannot
// be created beside it. The old content is put back when the write fails.
void writeInPlace(const QString& path, const QByteArray& bytes)
{
    const Read old = readWhole(path);
    if (!old.ok())
        failWith(path, Op::Read, QStringLiteral("the file cannot be read back before it is rewritten"));
    File f(path);
    if (!f.open(QIODevice::ReadWrite))
        failWith(path, Op::Open, f.errorString());
    const auto restore = [&] {
        f.seek(0);
        f.write(old.bytes);
        f.resize(old.bytes.size());
        f.flush();
    };
    if (f.write(bytes) != bytes.size() || !f.flush() || !f.resize(bytes.size())) {
        const QString why = f.errorString();
        restore();
        failWith(path, Op::Write, why);
    }
    QString why;
    if (!syncToDisk(f, &why))
        failWith(path, Op::Sync, why);
    f.close();
}

// QSaveFile could not make its new file beside an existing one that may be
// written: typically a folder where files may be changed but not created
// (the folder's own permission bits do not tell on every system).
bool writableInPlace(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile() && info.isWritable();
}

} // namespace

FileError::FileError(const QString& path, const QString& reason)
    : std::runtime_error(QStringLiteral("%1: %2").arg(path, reason).toStdString()), m_path(path)
{
}

Read readWhole(const QString& path)
{
    Read r;
    if (!QFileInfo::exists(path)) {
        r.status = Read::Missing;
        return r;
    }
    File f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        r.status = QFileInfo::exists(path) ? Read::Unreadable : Read::Missing;
        return r;
    }
    QByteArray bytes;
    QByteArray chunk(int(qMin<qint64>(kChunk, qMax<qint64>(f.size(), 4096))), Qt::Uninitialized);
    for (;;) {
        const qint64 n = f.read(chunk.data(), chunk.size());
        if (n < 0) {
            r.status = Read::Unreadable;
            return r;
        }
        if (n == 0)
            break;
        bytes.append(chunk.constData(), n);
    }
    r.status = Read::Ok;
    r.bytes = std::move(bytes);
    return r;
}

void writeWhole(const QString& path, const QByteArray& bytes)
{
    checkFault(Op::Open, path);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        // A folder where files may be changed but not created.
        if (writableInPlace(path)) {
            checkFault(Op::Write, path);
            writeInPlace(path, bytes);
            return;
        }
        failWith(path, Op::Open, out.errorString());
    }
    if (faults::hit(Op::Write, path) || out.write(bytes) != bytes.size()) {
        const QString why = out.errorString();
        out.cancelWriting();
        failWith(path, Op::Write, why);
    }
    if (faults::hit(Op::Rename, path)) {
        out.cancelWriting();
        failWith(path, Op::Rename, QStringLiteral("injected fault"));
    }
    // QSaveFile::commit syncs the new content before its rename; the rename
    // itself is on the disk once the folder is.
    if (!out.commit())
        failWith(path, Op::Rename, out.errorString());
    syncFolder(QFileInfo(path).absolutePath());
}

void rename(const QString& from, const QString& to)
{
    if (faults::hitEither(Op::Rename, from, to))
        failWith(from, Op::Rename, QStringLiteral("injected fault"));
    QFile f(from);
    if (!f.rename(to))
        failWith(from, Op::Rename, QStringLiteral("to %1: %2").arg(to, f.errorString()));
}

void copyReplacing(const QString& source, const QString& target)
{
    const QFileInfo from(source), to(target);
    if (to.exists() && from.canonicalFilePath() == to.canonicalFilePath())
        return;
    checkFault(Op::Copy, source);
    checkFault(Op::Copy, target);

    File in(source);
    if (!in.open(QIODevice::ReadOnly))
        failWith(source, Op::Open, in.errorString());
    checkFault(Op::Open, target);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        failWith(target, Op::Open, out.errorString());
    QByteArray chunk(int(kChunk), Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0) {
            const QString why = in.errorString();
            out.cancelWriting();
            failWith(source, Op::Read, why);
        }
        if (n == 0)
            break;
        if (faults::hit(Op::Write, target) || out.write(chunk.constData(), n) != n) {
            const QString why = out.errorString();
            out.cancelWriting();
            failWith(target, Op::Write, why);
        }
    }
    if (faults::hit(Op::Rename, target)) {
        out.cancelWriting();
        failWith(target, Op::Rename, QStringLiteral("injected fault"));
    }
    if (!out.commit())
        failWith(target, Op::Rename, out.errorString());
    syncFolder(QFileInfo(target).absolutePath());
}

bool syncToDisk(QFileDevice& file, QString* why)
{
    const auto refuse = [&](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (!file.isOpen())
        return refuse(QStringLiteral("not open"));
    if (!file.flush())
        return refuse(file.errorString());
    if (faults::hit(Op::Sync, file.fileName()))
        return refuse(QStringLiteral("injected fault"));
    const int fd = file.handle();
    if (fd < 0)
        return refuse(QStringLiteral("no file handle"));
#if defined(Q_OS_WIN)
    if (!FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(fd))))
        return refuse(QStringLiteral("the disk did not confirm the write"));
#elif defined(Q_OS_DARWIN)
    if (::fsync(fd) != 0)
        return refuse(QString::fromLocal8Bit(std::strerror(errno)));
#else
    if (::fdatasync(fd) != 0)
        return refuse(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    return true;
}

bool canCreateFilesIn(const QString& folder)
{
    if (faults::hit(Op::Open, folder))
        return false;
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".vornel_prova_XXXXXX")));
    return probe.open(); // removed when the probe goes
}

bool syncFolder(const QString& path, QString* why)
{
    if (faults::hit(Op::Sync, path)) {
        if (why)
            *why = QStringLiteral("injected fault");
        return false;
    }
#if defined(Q_OS_WIN)
    Q_UNUSED(why);
    return QFileInfo(path).isDir();
#else
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (why)
            *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    if (!ok && why)
        *why = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return ok;
#endif
}

File::File(const QString& path) : QFile(path) {}

bool File::open(OpenMode mode)
{
    if (faults::hit(Op::Open, fileName())) {
        setErrorString(QStringLiteral("injected fault"));
        return false;
    }
    return QFile::open(mode);
}

qint64 File::readData(char* data, qint64 maxSize)
{
    if (faults::hit(Op::Read, fileName())) {
        setErrorString(QStringLiteral("injected fault"));
        return -1;
    }
    return QFile::readData(data, maxSize);
}

qint64 File::writeData(const char* data, qint64 size)
{
    if (faults::hit(Op::Write, fileName())) {
        setErrorString(QStringLiteral("injected fault"));
        return -1;
    }
    return QFile::writeData(data, size);
}

SaveFile::SaveFile(const QString& path) : QSaveFile(path)
{
    setDirectWriteFallback(true);
}

bool SaveFile::open(OpenMode mode)
{
    if (faults::hit(Op::Open, fileName())) {
        setErrorString(QStringLiteral("injected fault"));
        return false;
    }
    return QSaveFile::open(mode);
}

qint64 SaveFile::writeData(const char* data, qint64 size)
{
    if (faults::hit(Op::Write, fileName())) {
        setErrorString(QStringLiteral("injected fault"));
        return -1;
    }
    return QSaveFile::writeData(data, size);
}

bool SaveFile::commit()
{
    if (faults::hit(Op::Rename, fileName())) {
        cancelWriting();
        QSaveFile::commit(); // closes the device; the old file stays
        return false;
    }
    if (!QSaveFile::commit())
        return false;
    syncFolder(QFileInfo(fileName()).absolutePath());
    return true;
}

namespace faults {

void failOn(Op op, const QString& pathOrName, int times, int after)
{
    QMutexLocker lock(&faultLock());
    faultList().push_back({op, pathOrName, times, qMax(0, after)});
}

void clear()
{
    QMutexLocker lock(&faultLock());
    faultList().clear();
}

bool hit(Op op, const QString& path)
{
    return hitEither(op, path, QString());
}

bool hitEither(Op op, const QString& path, const QString& other)
{
    QMutexLocker lock(&faultLock());
    auto& list = faultList();
    if (list.empty())
        return false;
    QStringList cleans, names;
    for (const QString& p : {path, other}) {
        if (p.isEmpty())
            continue;
        cleans << QDir::cleanPath(QDir::fromNativeSeparators(p));
        names << QFileInfo(cleans.last()).fileName();
    }
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->op != op || it->remaining == 0)
            continue;
        const QString pattern = QDir::fromNativeSeparators(it->pattern);
        const bool matches = pattern.contains(QLatin1Char('/')) ? cleans.contains(QDir::cleanPath(pattern))
                                                                : names.contains(pattern);
        if (!matches)
            continue;
        if (it->passes > 0) {
            --it->passes;
            return false;
        }
        if (it->remaining > 0)
            --it->remaining;
        return true;
    }
    return false;
}

} // namespace faults

} // namespace vornel::files
