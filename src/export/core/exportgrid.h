#pragma once
#include "app/core/helptopics.h"
#include "storage/records.h"
#include "export/core/xlsexport.h"

#include <QAbstractTableModel>
#include <QHash>

#include <functional>
#include <span>
#include <vector>

// The grids of the five export windows: which archive, which columns, and
// the table of cell texts the grid shows and the export file is written from.
namespace vornel::exporting {

// One column of an export grid. A joined column shows its first field,
// the separator and its second field, each field trimmed.
struct ColumnDef {
    const char* name;  // grid column name (colPaziente)
    const char* title; // title in the grid (UTF-8)
    int gridWidth;
    bool editable;
    const char* field;     // record field
    const char* separator; // nullptr for a single field
    const char* second;
    const char* heading; // heading in the file (UTF-8)
    int fileWidth;
};

struct ExportDef {
    const char* caption; // window caption (UTF-8)
    const ArchiveDef* archive;
    const char* fileName;  // in the program folder
    const char* sheetName; // worksheet name
    help::ExportKind topic;
    std::span<const ColumnDef> columns; // the exported columns, after "N."
};

extern const ExportDef kCertificati;    // TfrmExpCertificati
extern const ExportDef kCertificatiNon; // TfrmExpCertificatiNon
extern const ExportDef kCertificatiAgo; // TfrmExpCertificatiAgo
extern const ExportDef kCertificatiDis; // TfrmExpCertificatiDis
extern const ExportDef kClienti;        // TfrmExpClienti

// Rows shown before (or instead of) an archive's records.
inline constexpr int kEmptyRows = 10;

// The cells of an export grid: column 0 is "N." (the record's position, not
// exported), then one column per ColumnDef. Cells read from the archive are
// kept as their Windows-1252 bytes in one buffer; typed cells are kept beside
// them and take their place. Nothing goes back to the archive.
class ExportGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ExportGrid(const ExportDef& def, QObject* parent = nullptr);

    const ExportDef& def() const { return m_def; }
    // Grid column of that name ("colNum", "colData"), or -1.
    int columnOf(QStringView name) const;
    QString columnName(int column) const;

    // Told how many records are read so far, out of how many.
    using Progress = std::function<void(qint64 done, qint64 total)>;
    // Fills the grid from the window's archive, first record to last. An
    // empty archive leaves the empty rows; a failure to open or read is not
    // reported: the rows read so far stay, the rest are empty.
    void load(const Progress& progress = {});

    // Records read into the grid (rows numbered 1..filledRows()).
    qint64 filledRows() const { return m_filled; }

    // The sheet to write: every row of the grid as it stands now.
    xls::Sheet sheet() const;

    // Bytes held for the cells (text, offsets, typed cells).
    qint64 memoryBytes() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    struct Source {
        int offset = -1, capacity = 0;        // first field
        int offset2 = -1, capacity2 = 0;      // second field of a joined cell
        QByteArray separator;
    };
    // Cell text of exported column c (0-based) of row r: bytes or typed text.
    xls::Cell cell(qint64 r, int c) const;
    quint64 key(qint64 r, int c) const { return quint64(r) * quint64(m_columns) + quint64(c); }

    const ExportDef& m_def;
    int m_columns; // exported columns
    std::vector<Source> m_sources;
    qint64 m_rows = kEmptyRows;
    qint64 m_filled = 0;
    QByteArray m_text;              // every read cell, back to back
    std::vector<qint64> m_offsets;  // start of each read cell, plus the end
    QHash<quint64, QString> m_typed; // cells typed in the grid
};

} // namespace vornel::exporting
