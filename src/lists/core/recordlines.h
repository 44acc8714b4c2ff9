#pragma once
#include "storage/records.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <span>
#include <vector>

namespace vornel {
class Archive;
}

// The list lines of the search and list windows, and the selection of the
// records they show, read straight from the raw bytes of a scan.
namespace vornel::lists {

// One piece of a list line: a record field in a column of 'width'
// characters (trimmed, then padded with blanks or cut), a field taken whole
// (trimmed only: the last piece of a line), or a fixed caption.
struct Piece {
    const char* field; // nullptr for a caption
    const char* text;  // the caption
    int width;         // kWhole: the trimmed field, no column
};
inline constexpr int kWhole = -1;
constexpr Piece column(const char* field, int width) { return Piece{field, nullptr, width}; }
constexpr Piece whole(const char* field) { return Piece{field, nullptr, kWhole}; }
constexpr Piece caption(const char* text) { return Piece{nullptr, text, 0}; }

using LineLayout = std::span<const Piece>;

// Builds the line of a record from its raw bytes.
class LineBuilder {
public:
    LineBuilder(const RecordLayout& layout, LineLayout pieces);
    QString line(const char* record) const;
    // Replaces 'out' with the line, reusing its storage.
    void build(const char* record, QString& out) const;

private:
    struct Compiled {
        int field; // -1 for a caption
        QString text;
        int width;
    };
    const RecordLayout* m_layout;
    std::vector<Compiled> m_pieces;
    int m_reserve = 0;
};

// Which records a list shows: text filters on fields, and a flag that must
// read exactly one value.
class Selection {
public:
    explicit Selection(const RecordLayout& layout);
    // A filter is in use when its text, trimmed, is not empty; it matches a
    // record when the text as typed (blanks included) occurs in the stored
    // field, not trimmed, ignoring the case of A-Z only. Returns whether the
    // filter is in use.
    bool addFilter(const char* field, const QString& typed);
    // The field, trimmed, must equal 'value' exactly.
    void requireValue(const char* field, const QString& value);
    int filterCount() const { return int(m_filters.size()); }
    bool accepts(const char* record) const;

private:
    struct Filter {
        int field;
        QString needle; // lower-cased A-Z
    };
    const RecordLayout* m_layout;
    std::vector<Filter> m_filters;
    int m_valueField = -1;
    QString m_value;
    mutable std::vector<char16_t> m_buffer;
};

// The stored text of a field as it is, not trimmed (Windows-1252 decoded).
QString storedText(const RecordLayout& layout, const char* record, int field);

// The lines of every record the selection accepts, from the first record to
// the last. The archive must be open. The second form appends to 'out' as it
// reads, so the lines read before a failure are kept.
QStringList selectLines(Archive& archive, const LineBuilder& builder, const Selection& selection);
void selectLines(Archive& archive, const LineBuilder& builder, const Selection& selection, QStringList& out);

// Calls 'onRecord' for every record, in file order, whose line, trimmed,
// equals 'line' trimmed (exact comparison); 'position' is 1-based. The calls
// come after the whole archive has been read: a failed read throws before
// any call. A match with the same bytes as the match before it is passed
// once, with the later position.
void forEachRecordWithLine(Archive& archive, const LineBuilder& builder, const QString& line,
                           const std::function<void(const Record& record, qint64 position)>& onRecord);

} // namespace vornel::lists
