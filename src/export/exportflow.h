#pragma once
#include "export/core/xlsexport.h"

#include <QString>

class QWidget;

namespace vornel::exporting {

// The two files a grid is exported to: the one-line HTML table (.xls) and
// the native workbook (.xlsx).
enum class Format { Xls, Xlsx };

// The export of a grid to a spreadsheet file, as every export window does
// it: asks whether to export now, writes the file in the format asked (with
// a progress dialog when it is slow), reports a file that cannot be
// written, and offers to open the file written. Returns true when the file
// was written.
bool exportToExcel(QWidget* parent, const QString& path, const xls::Sheet& sheet, Format format = Format::Xls);

// The hint of the buttons that write the .xlsx.
inline constexpr char kXlsxHint[] = "Esporta le schede in archivio in un file Excel .xlsx (Excel 2007 e successivi, "
                                    "LibreOffice, fogli di calcolo online).";

// The workbook beside an .xls export: the same name with ".xlsx".
QString xlsxPath(const QString& xlsPath);

} // namespace vornel::exporting
