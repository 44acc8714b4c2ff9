// A restore that dies at a chosen step, for the crash tests: restores <zip>
// into <folder> (the copy of the current files into <before>) and, when
// <killAt> is above 0, kills itself without any clean-up right at the
// killAt-th step the restore reports (before or after one of its moves).
// Prints the number of steps it went through when it ends by itself. An
// optional fifth argument names a file whose move into place fails (the
// file layer's fault), so the restore puts everything back.
#include "practice/core/backup.h"
#include "storage/filelayer.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>

#if defined(Q_OS_WIN)
#include <windows.h>
#else
#include <csignal>
#endif

namespace {
[[noreturn]] void dieNow()
{
#if defined(Q_OS_WIN)
    TerminateProcess(GetCurrentProcess(), 9);
#else
    std::raise(SIGKILL);
#endif
    std::abort();
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: restorer <folder> <zip> <before> <killAt> [failing file]\n");
        return 2;
    }
    const int killAt = QString::fromLocal8Bit(argv[4]).toInt();
    int steps = 0;
    vornel::backup::setRestoreStepHook([&](const QString&) {
        if (++steps == killAt)
            dieNow();
    });
    if (argc == 6)
        vornel::files::faults::failOn(vornel::files::Op::Rename, QString::fromLocal8Bit(argv[5]), 1, 1);
    const auto r = vornel::backup::restoreCopy(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                                               QString(), QString::fromLocal8Bit(argv[3]));
    std::printf("%d\n", steps);
    std::fflush(stdout);
    if (r.outcome != vornel::backup::Outcome::Done) {
        std::fprintf(stderr, "%s\n", qPrintable(r.detail));
        return 1;
    }
    return 0;
}
