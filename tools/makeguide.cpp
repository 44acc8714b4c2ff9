// Writes the user manual "Guida.pdf" from the help topics; run by the build to
// put the manual into the program folder.
#include "app/core/guidepdf.h"

#include <QGuiApplication>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeguide <Guida.pdf>\n");
        return 1;
    }
    // No display is needed to write a PDF.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString path = QString::fromLocal8Bit(argv[1]);
    if (!vornel::help::writeGuidePdf(path)) {
        std::fprintf(stderr, "makeguide: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
