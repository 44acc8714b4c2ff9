#pragma once

namespace vornel {

// The start-up sequence: the program's formats, fonts and translations, the
// persistent windows (the login window first), the four certificate
// archives, then the login window is shown. Returns without running the
// event loop. Needs a QApplication.
void startUp();

// Destroys the persistent windows (the end of a run, or of a test).
void shutDown();

// Maps the font names the layouts use to installed, metric-compatible fonts
// and loads Qt's Italian translations; part of startUp(), also used by tools.
void prepareApplication();

} // namespace vornel
