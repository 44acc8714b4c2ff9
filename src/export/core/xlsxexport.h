#pragma once
#include "export/core/xlsexport.h"

#include <QString>

// The native workbook of the exports: the same sheet as the .xls, written as
// an Office Open XML workbook (.xlsx) with libxlsxwriter. Every cell is a
// text cell holding the cell's text as stored (trimmed like the .xls, no
// other change): no number, date or formula is ever made of it. The header
// row is bold, frozen and carries an autofilter; the widths follow the
// pixel widths of the columns.
namespace vornel::xlsx {

// Excel's longest worksheet name.
inline constexpr int kMaxSheetName = 31;

// The worksheet name Excel accepts: cut to 31 characters.
QString sheetName(const QString& name);

// A width in pixels as Excel's column width in characters (the width of
// the digits of the default font, 7 pixels, plus 5 pixels of padding).
double columnWidth(int pixels);

// Writes the workbook to 'path'. libxlsxwriter writes it beside the target
// first; the complete workbook then replaces the file through the file
// layer, so a failure leaves the previous export as it was. 'progress'
// follows the whole work on the scale of the sheet's rows, reaching them
// when the workbook is in place. Returns false when the workbook cannot be
// written.
bool writeFile(const QString& path, const xls::Sheet& sheet, const xls::Progress& progress = {});

} // namespace vornel::xlsx
