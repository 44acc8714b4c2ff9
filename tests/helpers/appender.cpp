// A second copy of the program for the concurrent-append test: appends
// 'count' patient records tagged with 'tag' to the archive, one user action
// (open, append, close) at a time. A count of 0 appends until killed.
#include "storage/archive.h"
#include "storage/programfolder.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: appender <folder> <tag> <count>\n");
        return 2;
    }
    vornel::setProgramFolder(QString::fromLocal8Bit(argv[1]));
    const QString tag = QString::fromLocal8Bit(argv[2]);
    const int count = QString::fromLocal8Bit(argv[3]).toInt();
    try {
        vornel::Record r(vornel::layouts::TSchedaPaziente);
        for (int i = 0; count == 0 || i < count; ++i) {
            r.clear();
            r.setText("txtPaziente", QStringLiteral("%1 %2").arg(tag).arg(i));
            r.setText("txtNote", QStringLiteral("Nota %1 %2 ").arg(tag).arg(i).repeated(10));
            r.setFlag("chkRicontatta", i % 2 == 0);
            // A live lock of the other copy: try again, as the user's Sì does.
            for (;;) {
                try {
                    vornel::Archive a(vornel::archives::Pazienti);
                    a.open();
                    a.append(r);
                    a.close();
                    break;
                } catch (const vornel::ArchiveLockedError&) {
                }
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
