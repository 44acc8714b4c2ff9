#include "export/core/xlsexport.h"

#include "storage/cp1252.h"
#include "storage/filelayer.h"

#include <QBuffer>
#include <QIODevice>

#include <array>

namespace vornel::xls {

namespace {

constexpr qsizetype kBlock = 1 << 20;

// Appends a literal piece.
inline void put(QByteArray& out, const char* piece)
{
    out.append(piece);
}

// What a byte becomes in the file: the document is one line of markup, so
// a control character inside a text (a line break, a NUL) becomes a blank,
// a byte Windows-1252 leaves undefined becomes '?', and the markup
// characters are written as entities.
enum ByteKind : unsigned char { Plain, Blank, Unknown, Markup };

constexpr std::array<unsigned char, 256> makeKinds()
{
    std::array<unsigned char, 256> k{};
    for (int b = 0; b < 32; ++b)
        k[std::size_t(b)] = Blank;
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        k[std::size_t(b)] = Unknown;
    for (int b : {'&', '<', '>'})
        k[std::size_t(b)] = Markup;
    return k;
}
constexpr std::array<unsigned char, 256> kKinds = makeKinds();

inline void putByte(QByteArray& out, unsigned char b)
{
    switch (kKinds[b]) {
    case Blank:
        out.append(' ');
        break;
    case Unknown:
        out.append('?');
        break;
    case Markup:
        if (b == '&')
            out.append("&amp;", 5);
        else if (b == '<')
            out.append("&lt;", 4);
        else
            out.append("&gt;", 4);
        break;
    default:
        out.append(char(b));
    }
}

// Trimmed as every stored text is (codes up to 32 off both ends); bytes are
// Windows-1252 already.
void putBytes(QByteArray& out, const char* data, qsizetype n)
{
    qsizetype b = 0, e = n;
    while (b < e && static_cast<unsigned char>(data[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(data[e - 1]) <= 32)
        --e;
    // Runs of plain bytes are copied whole.
    qsizetype run = b;
    for (qsizetype i = b; i < e; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (kKinds[c] != Plain) {
            out.append(data + run, i - run);
            putByte(out, c);
            run = i + 1;
        }
    }
    out.append(data + run, e - run);
}

void putText(QByteArray& out, QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() <= 32)
        ++b;
    while (e > b && s[e - 1].unicode() <= 32)
        --e;
    for (qsizetype i = b; i < e; ++i) {
        const int c = cp1252::encodeChar(s[i]);
        putByte(out, c < 0 ? '?' : static_cast<unsigned char>(c));
        // A character outside the basic plane is one character: one '?'.
        if (s[i].isHighSurrogate() && i + 1 < e && s[i + 1].isLowSurrogate())
            ++i;
    }
}

void putCell(QByteArray& out, const Cell& c)
{
    if (c.isText)
        putText(out, c.text);
    else
        putBytes(out, c.bytes, c.size);
}

void putHead(QByteArray& out, const Sheet& sheet)
{
    put(out, "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
             "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" xmlns=\"http://www.w3.org/TR/REC-html40\">");
    put(out, "<head>");
    put(out, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">");
    put(out, "<!--[if gte mso 9]><xml>");
    put(out, "<x:ExcelWorkbook>");
    put(out, "<x:ExcelWorksheets>");
    put(out, "<x:ExcelWorksheet>");
    put(out, "<x:Name>");
    putText(out, sheet.name);
    put(out, "</x:Name>");
    put(out, "<x:WorksheetOptions>");
    put(out, "<x:Selected/>");
    put(out, "<x:Panes>");
    put(out, "<x:Pane>");
    put(out, "<x:Number>1</x:Number>");
    put(out, "<x:ActiveRow>3</x:ActiveRow>");
    put(out, "</x:Pane>");
    put(out, "</x:Panes>");
    put(out, "<x:ProtectContents>False</x:ProtectContents>");
    put(out, "<x:ProtectObjects>False</x:ProtectObjects>");
    put(out, "<x:ProtectScenarios>False</x:ProtectScenarios>");
    put(out, "</x:WorksheetOptions>");
    put(out, "</x:ExcelWorksheet>");
    put(out, "</x:ExcelWorksheets>");
    put(out, "</x:ExcelWorkbook>");
    put(out, "</xml><![endif]-->");
    put(out, "</head>");
    put(out, "<body>");
    put(out, "<table x:str>");
    put(out, "<tr>");
    for (const Column& c : sheet.columns) {
        put(out, "<td style=\"text-align: left; font-weight: bold;\" width=");
        out.append(QByteArray::number(c.width));
        put(out, ">");
        putText(out, c.heading);
        put(out, "</td>");
    }
    put(out, "</tr>");
}

void putRow(QByteArray& out, const Sheet& sheet, qint64 row)
{
    put(out, "<tr>");
    const int columns = int(sheet.columns.size());
    for (int c = 0; c < columns; ++c) {
        // Text format for Excel (mso-number-format) and for Calc (sdnum), so
        // neither reads a stored text as a number, a date or a formula.
        put(out, "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">");
        putCell(out, sheet.cell(row, c));
        put(out, "</td>");
    }
    put(out, "</tr>");
}

void putTail(QByteArray& out)
{
    put(out, "</table>");
    put(out, "</body>");
    put(out, "</html>");
}

} // namespace

bool write(QIODevice& out, const Sheet& sheet, const Progress& progress)
{
    QByteArray buffer;
    buffer.reserve(kBlock + (64 << 10));
    auto flush = [&]() {
        const bool ok = out.write(buffer) == buffer.size();
        buffer.resize(0);
        return ok;
    };
    putHead(buffer, sheet);
    for (qint64 r = 0; r < sheet.rows; ++r) {
        putRow(buffer, sheet, r);
        if (buffer.size() >= kBlock) {
            if (!flush())
                return false;
            if (progress)
                progress(r + 1);
        }
    }
    putTail(buffer);
    if (!flush())
        return false;
    if (progress)
        progress(sheet.rows);
    return true;
}

QByteArray document(const Sheet& sheet)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    write(buffer, sheet);
    return bytes;
}

bool writeFile(const QString& path, const Sheet& sheet, const Progress& progress)
{
    // Where files may be changed but not created, the old file is written over.
    files::SaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !write(file, sheet, progress)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace vornel::xls
