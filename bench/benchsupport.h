#pragma once
// What the benchmarks share: archives filled with generated records, plain
// reads of the same files as the reference, elapsed time and resident memory.
#include "storage/programfolder.h"
#include "storage/records.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdlib>
#include <functional>
#include <vector>

namespace bench {

// Writes 'records' records into the archive of the program folder, each
// filled by 'fill' (record, 0-based index), in large blocks.
inline void writeArchive(const vornel::ArchiveDef& def, int records,
                         const std::function<void(vornel::Record&, int)>& fill)
{
    QFile f(vornel::programPath(QString::fromLatin1(def.fileName)));
    if (!f.open(QIODevice::WriteOnly))
        std::exit(1);
    vornel::Record r(*def.layout);
    QByteArray block;
    for (int i = 0; i < records; ++i) {
        r.clear();
        fill(r, i);
        block += r.bytes();
        if (block.size() > (8 << 20)) {
            f.write(block);
            block.clear();
        }
    }
    f.write(block);
}

inline double ms(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// One plain sequential read of the whole files in 1 MiB blocks, in ms.
inline double plainReadMs(const QStringList& paths)
{
    QElapsedTimer t;
    t.start();
    std::vector<char> buf(1 << 20);
    volatile char sink = 0;
    for (const QString& path : paths) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            std::exit(1);
        qint64 n;
        while ((n = f.read(buf.data(), qint64(buf.size()))) > 0)
            sink = buf[0];
    }
    (void)sink;
    return ms(t);
}
inline double plainReadMs(const QString& path)
{
    return plainReadMs(QStringList{path});
}

// Resident memory of the process in bytes (Linux; 0 elsewhere).
inline qint64 residentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLongLong() * 4096 : 0;
}

} // namespace bench
