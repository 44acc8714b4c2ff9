// What syncing a record to the disk costs a Salva: the median time of an
// append as the program does it (lock, open, write, sync, close) beside the
// same append without the sync, alternating, measured in the same run on
// the same disk. Arguments: [appends] [folder] (default 1000, a temporary
// folder beside the current one).
#include "storage/appendlock.h"
#include "storage/archive.h"
#include "storage/filelayer.h"
#include "storage/records.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vornel;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// The append of Archive::append, without its sync.
void appendWithoutSync(const QString& path, const Record& r)
{
    AppendLock lock(path);
    files::File f(path);
    if (!lock.held() || !f.open(QIODevice::ReadWrite))
        throw ArchiveError("cannot open");
    const qint64 size = r.bytes().size();
    f.seek(f.size() / size * size);
    if (f.write(r.bytes()) != size || !f.flush())
        throw ArchiveError("cannot write");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000;
    QTemporaryDir dir(argc > 2 ? QDir(QString::fromLocal8Bit(argv[2])).filePath("bench_salva_XXXXXX")
                               : QDir::current().filePath("bench_salva_XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create the work folder\n");
        return 1;
    }
    const QString synced = dir.filePath("Pazienti.vrn");
    const QString plain = dir.filePath("Pazienti_senza_sync.vrn");
    Record r(layouts::TSchedaPaziente);
    r.setText("txtPaziente", QStringLiteral("ROSSI MARIO"));
    r.setText("txtNote", QStringLiteral("Nota di prova ").repeated(15));
    std::vector<double> withSync, withoutSync;
    QElapsedTimer t;
    try {
        for (int i = 0; i < n; ++i) {
            t.start();
            Archive a(synced, layouts::TSchedaPaziente);
            a.append(r);
            a.close();
            withSync.push_back(double(t.nsecsElapsed()) / 1e6);
            t.start();
            appendWithoutSync(plain, r);
            withoutSync.push_back(double(t.nsecsElapsed()) / 1e6);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    const double a = median(withSync), b = median(withoutSync);
    std::printf("%d appends of a patient record (%d bytes) in %s\n", n, layouts::TSchedaPaziente.size(),
                qPrintable(QDir::toNativeSeparators(dir.path())));
    std::printf("  median append with the sync (as Salva):  %8.3f ms\n", a);
    std::printf("  median append without the sync:          %8.3f ms\n", b);
    std::printf("  cost of the sync per Salva:              %8.3f ms\n", a - b);
    return 0;
}
