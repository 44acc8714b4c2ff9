#pragma once
#include <QJsonObject>
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

// One cell as Calc holds it: its text, its value type ("string", "float",
// "date", "percentage", "boolean", ...; empty for an empty cell) and its
// formula (empty when it has none).
struct OfficeCell {
    QString text;
    QString type;
    QString formula;
};
// The first sheet of a workbook as Calc read it, rows and cells from the
// top left corner; trailing empty cells and rows are left out.
struct OfficeSheet {
    QString name;
    QList<QList<OfficeCell>> rows;
};

// Opens every file of 'paths' in LibreOffice Calc in one run, through the
// import filter 'inFilter' with its options (for example "HTML
// (StarCalc):1040 1"; empty: the filter Calc detects), saves each as flat
// ODF and reads back its first sheet with every cell's type and formula.
// The result follows 'paths'; on failure 'error' says why and it is empty.
QList<OfficeSheet> officeSheets(const QStringList& paths, const QString& inFilter, QString* error);

// Reads an .xlsx back with Python's openpyxl. Gives the object
// {"sheets": [names], "title", "author", "freeze", "filter", "widths":
// {"A": w, ...}, "rows": [[[value, type, bold], ...], ...]} of the first
// sheet, where type is openpyxl's data type ("s" text, "n" number, "f"
// formula, "d" date, "b" boolean) and an empty cell is [null, "n", false].
// On failure (no Python or no openpyxl) 'error' says why and it is empty.
QJsonObject openpyxlRead(const QString& path, QString* error);

// Splits CSV text (comma separated, double-quoted fields with "" for a
// quote, line breaks inside quotes kept) into rows of cells.
QList<QStringList> parseCsv(const QString& csv);

} // namespace testing
