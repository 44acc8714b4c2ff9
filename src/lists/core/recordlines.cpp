#include "lists/core/recordlines.h"

#include "storage/archive.h"
#include "storage/cp1252.h"
#include "storage/text.h"

#include <cstring>
#include <stdexcept>

namespace vornel::lists {

namespace {
int fieldIndex(const RecordLayout& layout, const char* field)
{
    const int i = layout.indexOf(std::string_view(field));
    if (i < 0)
        throw std::logic_error("no such record field");
    return i;
}

// The stored bytes of a field; a damaged length byte never reads past it.
inline std::pair<const unsigned char*, int> storedBytes(const RecordLayout& layout, const char* record, int field)
{
    const auto* p = reinterpret_cast<const unsigned char*>(record + layout.offsetOf(field));
    return {p + 1, qMin(int(p[0]), layout.fields()[field].capacity)};
}

} // namespace

QString storedText(const RecordLayout& layout, const char* record, int field)
{
    const auto [bytes, len] = storedBytes(layout, record, field);
    QString out(len, Qt::Uninitialized);
    for (int k = 0; k < len; ++k)
        out[k] = QChar(cp1252::kDecodeTable[bytes[k]]);
    return out;
}

// --- lines -------------------------------------------------------------------

LineBuilder::LineBuilder(const RecordLayout& layout, LineLayout pieces) : m_layout(&layout)
{
    for (const Piece& p : pieces) {
        if (p.field) {
            m_pieces.push_back({fieldIndex(layout, p.field), QString(), p.width});
            m_reserve += p.width == kWhole ? 64 : p.width;
        } else {
            m_pieces.push_back({-1, QString::fromUtf8(p.text), 0});
            m_reserve += int(m_pieces.back().text.size());
        }
    }
}

QString LineBuilder::line(const char* record) const
{
    QString out;
    build(record, out);
    return out;
}

void LineBuilder::build(const char* record, QString& out) const
{
    out.resize(0);
    out.reserve(m_reserve);
    for (const Compiled& p : m_pieces) {
        if (p.field < 0) {
            out += p.text;
            continue;
        }
        auto [bytes, len] = storedBytes(*m_layout, record, p.field);
        int begin = 0;
        while (begin < len && bytes[begin] <= 32)
            ++begin;
        while (len > begin && bytes[len - 1] <= 32)
            --len;
        int take = len - begin;
        if (p.width != kWhole && take > p.width)
            take = p.width;
        const qsizetype at = out.size();
        const int padded = p.width == kWhole ? take : p.width;
        out.resize(at + padded);
        QChar* dst = out.data() + at;
        for (int k = 0; k < take; ++k)
            dst[k] = QChar(cp1252::kDecodeTable[bytes[begin + k]]);
        for (int k = take; k < padded; ++k)
            dst[k] = QLatin1Char(' ');
    }
}

// --- selection ---------------------------------------------------------------

Selection::Selection(const RecordLayout& layout) : m_layout(&layout) {}

bool Selection::addFilter(const char* field, const QString& typed)
{
    if (trimmed(typed).isEmpty())
        return false;
    m_filters.push_back({fieldIndex(*m_layout, field), lowerAscii(typed)});
    return true;
}

void Selection::requireValue(const char* field, const QString& value)
{
    m_valueField = fieldIndex(*m_layout, field);
    m_value = value;
}

bool Selection::accepts(const char* record) const
{
    if (m_valueField >= 0) {
        auto [bytes, len] = storedBytes(*m_layout, record, m_valueField);
        int begin = 0;
        while (begin < len && bytes[begin] <= 32)
            ++begin;
        while (len > begin && bytes[len - 1] <= 32)
            --len;
        if (len - begin != m_value.size())
            return false;
        for (int k = begin; k < len; ++k)
            if (cp1252::kDecodeTable[bytes[k]] != m_value.at(k - begin).unicode())
                return false;
    }
    for (const Filter& f : m_filters) {
        const auto [bytes, len] = storedBytes(*m_layout, record, f.field);
        if (len < f.needle.size())
            return false;
        m_buffer.resize(size_t(len));
        for (int k = 0; k < len; ++k)
            m_buffer[size_t(k)] = cp1252::kDecodeTable[bytes[k]];
        if (!containsFold(QStringView(m_buffer.data(), len), f.needle))
            return false;
    }
    return true;
}

// --- scans ---------------------------------------------------------------------

void selectLines(Archive& archive, const LineBuilder& builder, const Selection& selection, QStringList& out)
{
    out.reserve(out.size() + archive.count());
    archive.scan([&](const char* record, qint64) {
        if (selection.accepts(record))
            out.append(builder.line(record));
    });
}

QStringList selectLines(Archive& archive, const LineBuilder& builder, const Selection& selection)
{
    QStringList out;
    selectLines(archive, builder, selection, out);
    return out;
}

void forEachRecordWithLine(Archive& archive, const LineBuilder& builder, const QString& line,
                           const std::function<void(const Record& record, qint64 position)>& onRecord)
{
    // The records are handed on only once the whole archive has been read,
    // so a read that fails half-way hands nothing over. Equal records that
    // follow one another among the matches are handed on once, at the last
    // position: loading the same bytes twice leaves what loading them once
    // leaves, and an archive of many blank records is not copied whole.
    struct Match {
        QByteArray bytes;
        qint64 position;
    };
    std::vector<Match> matches;
    const int size = archive.layout().size();
    const QStringView wanted = trimmedView(line);
    QString built;
    archive.scan([&](const char* raw, qint64 index) {
        builder.build(raw, built);
        if (trimmedView(built) != wanted)
            return;
        if (!matches.empty() && std::memcmp(matches.back().bytes.constData(), raw, size_t(size)) == 0)
            matches.back().position = index + 1;
        else
            matches.push_back({QByteArray(raw, size), index + 1});
    });
    for (const Match& m : matches)
        onRecord(Record(archive.layout(), m.bytes.constData()), m.position);
}

} // namespace vornel::lists
