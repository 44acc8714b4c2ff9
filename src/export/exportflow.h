#pragma once
#include "export/core/xlsexport.h"

#include <QString>

class QWidget;

namespace vornel::exporting {

// The export of a grid to a spreadsheet file, as every export window does
// it: asks whether to export now, writes the file (with a progress dialog
// when it is slow), reports a file that cannot be written, and offers to
// open the file written. Returns true when the file was written.
bool exportToExcel(QWidget* parent, const QString& path, const xls::Sheet& sheet);

} // namespace vornel::exporting
