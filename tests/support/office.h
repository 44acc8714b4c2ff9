#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// Reading what the program writes with a real office suite: LibreOffice,
// run headless with a profile of its own, so several tests (or developers)
// may run it at the same time.
namespace testing {

// The LibreOffice program, or empty when it is not installed.
QString officeProgram();

// Opens 'path' in LibreOffice Calc through the import filter 'inFilter'
// (for example "HTML (StarCalc)"), saves the first sheet as UTF-8 CSV and
// gives back its rows of cells. On failure 'error' says why and the result
// is empty.
QList<QStringList> officeSheetCells(const QString& path, const QString& inFilter, QString* error);

// Splits CSV text (comma separated, double-quoted fields with "" for a
// quote, line breaks inside quotes kept) into rows of cells.
QList<QStringList> parseCsv(const QString& csv);

} // namespace testing
