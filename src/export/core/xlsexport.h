#pragma once
#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

class QIODevice;

// The spreadsheet file of the exports: a one-line HTML document with the
// Office spreadsheet namespaces, whose one table Excel and Calc open as a
// worksheet. Windows-1252, no byte-order mark, nothing between the pieces.
namespace vornel::xls {

// One exported column: its heading and its width in the file.
struct Column {
    QString heading;
    int width;
};

// A cell's text, either Windows-1252 bytes (as read from an archive) or a
// text (typed in a grid). The writer trims it and writes "&", "<" and ">"
// as "&amp;", "&lt;" and "&gt;", so the spreadsheet shows what was stored;
// the file stays one line: a control character inside the text is written
// as a blank and a byte Windows-1252 leaves undefined as "?". Data cells
// carry the text format of Excel and of Calc, so no text becomes a number,
// a date or a formula.
struct Cell {
    const char* bytes = nullptr;
    qsizetype size = 0;
    QStringView text;
    bool isText = false;

    static Cell fromBytes(const char* data, qsizetype n) { return {data, n, {}, false}; }
    static Cell fromText(QStringView t) { return {nullptr, 0, t, true}; }
};

struct Sheet {
    QString name; // the worksheet's name
    QList<Column> columns;
    qint64 rows = 0;
    // The cell of a row (0-based) and an exported column (0-based); the view
    // it gives must stay valid until the next call.
    std::function<Cell(qint64 row, int column)> cell;
};

// Told how many rows are written so far, every few thousand rows.
using Progress = std::function<void(qint64 rowsDone)>;

// The whole document in memory.
QByteArray document(const Sheet& sheet);

// Streams the document to 'out' in blocks. Returns false when a write fails.
bool write(QIODevice& out, const Sheet& sheet, const Progress& progress = {});

// Writes the document to 'path': the new file is written completely beside
// the old one and only then takes its place, so a failure leaves the
// previous export as it was. Returns false when the file cannot be written.
bool writeFile(const QString& path, const Sheet& sheet, const Progress& progress = {});

} // namespace vornel::xls
