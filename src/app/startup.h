#pragma once

#include <QStringList>

namespace vornel {

// The start-up sequence: the program's formats, fonts and translations, the
// persistent windows (the login window first), the four certificate
// archives, then the login window is shown. Returns without running the
// event loop. Needs a QApplication.
void startUp();

// Destroys the persistent windows (the end of a run, or of a test).
void shutDown();

// Maps the font names the layouts use to metric-compatible fonts (those of
// the program's own fonts/ folder first, else the installed ones) and loads
// Qt's Italian translations; part of startUp(), also used by tools.
void prepareApplication();

// Registers every font file (.ttf, .otf, .ttc) of `folder` with the
// application and returns the families they hold; a missing folder or a file
// that is no font adds nothing. Needs a QGuiApplication.
QStringList loadProgramFonts(const QString& folder);

} // namespace vornel
