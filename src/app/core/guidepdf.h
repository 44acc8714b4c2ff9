#pragma once
#include <QString>

namespace vornel::help {

// Writes the user manual "Guida.pdf" (A4, several pages) to path, built from
// the help topics: cover, contents and one chapter per subject. The file is
// replaced only when the whole manual could be written; returns false when it
// cannot be written. Needs a QGuiApplication (fonts).
bool writeGuidePdf(const QString& path);

} // namespace vornel::help
