#pragma once
#include <QString>

namespace vornel {

// The folder every archive, settings, password and export file lives in:
// the executable's folder unless a test (or tool) points it elsewhere.
void setProgramFolder(const QString& folder);
QString programFolder();
// Full path of a file in the program folder.
QString programPath(const QString& fileName);

} // namespace vornel
