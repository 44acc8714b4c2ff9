// Another workstation saving patient cards, for the restore tests: appends
// 'count' records named "<tag> <i>", one user action at a time, each tried
// once, and prints on its own line what the user was told: "salvata <i>"
// (the position was shown) or "occupato <i>" (the lock question was shown,
// answered No). A pause of 'pauseMs' between saves.
#include "storage/archive.h"
#include "storage/programfolder.h"

#include <QCoreApplication>
#include <QString>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: saver <folder> <tag> <count> <pauseMs>\n");
        return 2;
    }
    vornel::setProgramFolder(QString::fromLocal8Bit(argv[1]));
    const QString tag = QString::fromLocal8Bit(argv[2]);
    const int count = QString::fromLocal8Bit(argv[3]).toInt();
    const int pause = QString::fromLocal8Bit(argv[4]).toInt();
    vornel::Record r(vornel::layouts::TSchedaPaziente);
    for (int i = 0; i < count; ++i) {
        r.clear();
        r.setText("txtPaziente", QStringLiteral("%1 %2").arg(tag).arg(i));
        try {
            vornel::Archive a(vornel::archives::Pazienti);
            vornel::storeRecord(a, r, QString());
            std::printf("salvata %d\n", i);
        } catch (const vornel::ArchiveLockedError&) {
            std::printf("occupato %d\n", i);
        } catch (const vornel::ArchiveError& e) {
            std::printf("errore %d %s\n", i, e.what());
        }
        std::fflush(stdout);
        if (pause > 0)
            QThread::msleep(ulong(pause));
    }
    return 0;
}
