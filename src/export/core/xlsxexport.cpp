#include "export/core/xlsxexport.h"

#include "storage/cp1252.h"
#include "storage/filelayer.h"
#include "storage/text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>
#include <zip.h>

#include <array>
#include <memory>

namespace vornel::xlsx {

namespace {

// Rows written between two progress reports.
constexpr qint64 kReportEvery = 1024;

// Each Windows-1252 byte as UTF-8, the text libxlsxwriter takes.
struct Utf8Table {
    std::array<std::array<char, 4>, 256> bytes{};
    std::array<unsigned char, 256> size{};
    Utf8Table()
    {
        for (int b = 0; b < 256; ++b) {
            const QByteArray u = QString(cp1252::decodeByte(static_cast<unsigned char>(b))).toUtf8();
            size[std::size_t(b)] = static_cast<unsigned char>(u.size());
            for (qsizetype i = 0; i < u.size(); ++i)
                bytes[std::size_t(b)][std::size_t(i)] = u[i];
        }
    }
};

const Utf8Table& utf8Table()
{
    static const Utf8Table table;
    return table;
}

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Office Open XML writes a character XML cannot hold (a control character)
// as "_xHHHH_", and libxlsxwriter does so; a text that holds such a pattern
// itself has its underscore written as "_x005F_", so Excel and Calc show
// the pattern and not the character it names.
void escapeUnderscores(QByteArray& text)
{
    if (!text.contains("_x"))
        return;
    QByteArray out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && isHex(text[i + 2]) && isHex(text[i + 3])
            && isHex(text[i + 4]) && isHex(text[i + 5]) && text[i + 6] == '_')
            out.append("_x005F_", 7);
        else
            out.append(text[i]);
    }
    text = out;
}

// The cell's text trimmed (codes up to 32 off both ends, as in the .xls),
// as UTF-8 into 'out'.
void cellText(const xls::Cell& cell, QByteArray& out)
{
    out.resize(0);
    if (cell.isText) {
        out = trimmedView(cell.text).toUtf8();
        escapeUnderscores(out);
        return;
    }
    const char* data = cell.bytes;
    qsizetype b = 0, e = cell.size;
    while (b < e && static_cast<unsigned char>(data[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(data[e - 1]) <= 32)
        --e;
    const Utf8Table& t = utf8Table();
    // Runs of ASCII are UTF-8 already and are copied whole.
    qsizetype run = b;
    for (qsizetype i = b; i < e; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c >= 0x80) {
            out.append(data + run, i - run);
            out.append(t.bytes[c].data(), t.size[c]);
            run = i + 1;
        }
    }
    out.append(data + run, e - run);
    escapeUnderscores(out);
}

// A path as libxlsxwriter opens it: UTF-8 on Windows (it opens with the
// wide API), the file system's encoding elsewhere.
QByteArray nativePath(const QString& path)
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(path).toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

// The workbook written into 'target' (a file libxlsxwriter may overwrite);
// its temporary parts go to 'workFolder'.
bool writeWorkbook(const QString& target, const QString& workFolder, const xls::Sheet& sheet,
                   const xls::Progress& progress, qint64& rowsWritten)
{
    rowsWritten = 0;
    const QByteArray file = nativePath(target);
    QByteArray folder = nativePath(workFolder);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = folder.data();
    options.use_zip64 = LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(file.constData(), &options);
    if (!book)
        return false;

    bool ok = true;
    const QByteArray name = sheetName(sheet.name).toUtf8();
    lxw_worksheet* ws = workbook_add_worksheet(book, name.constData());
    ok = ws != nullptr;

    QByteArray title = name;
    QByteArray author("Vornel");
    lxw_doc_properties properties{};
    properties.title = title.data();
    properties.author = author.data();
    ok = ok && workbook_set_properties(book, &properties) == LXW_NO_ERROR;

    // Every cell in Excel's text format ("@"), so a value typed later into
    // the sheet stays a text too; the header row bold as well.
    lxw_format* text = workbook_add_format(book);
    format_set_num_format(text, "@");
    lxw_format* heading = workbook_add_format(book);
    format_set_num_format(heading, "@");
    format_set_bold(heading);

    const int columns = int(sheet.columns.size());
    if (ok && columns > 0) {
        // Everything about the sheet is set before the first row: in
        // constant-memory mode each row goes to disk once the next begins.
        for (int c = 0; c < columns && ok; ++c)
            ok = worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), columnWidth(sheet.columns[c].width), text)
                 == LXW_NO_ERROR;
        worksheet_freeze_panes(ws, 1, 0);
        ok = ok && worksheet_autofilter(ws, 0, 0, lxw_row_t(qMax<qint64>(sheet.rows, 0)), lxw_col_t(columns - 1))
                       == LXW_NO_ERROR;

        bool any = false;
        for (int c = 0; c < columns && ok; ++c) {
            QByteArray h = trimmedView(sheet.columns[c].heading).toUtf8();
            escapeUnderscores(h);
            if (!h.isEmpty())
                ok = worksheet_write_string(ws, 0, lxw_col_t(c), h.constData(), heading) == LXW_NO_ERROR;
            any = any || !h.isEmpty();
        }
        rowsWritten += any ? 1 : 0;
        QByteArray value;
        for (qint64 r = 0; r < sheet.rows && ok; ++r) {
            any = false;
            for (int c = 0; c < columns && ok; ++c) {
                cellText(sheet.cell(r, c), value);
                // An empty cell stays empty: a blank with no value.
                if (!value.isEmpty())
                    ok = worksheet_write_string(ws, lxw_row_t(r + 1), lxw_col_t(c), value.constData(), text)
                         == LXW_NO_ERROR;
                any = any || !value.isEmpty();
            }
            rowsWritten += any ? 1 : 0;
            if (progress && ((r + 1) % kReportEvery) == 0)
                progress(r + 1);
        }
    }
    // Closing also frees the workbook, so it is closed on every path.
    const bool closed = workbook_close(book) == LXW_NO_ERROR;
    return ok && closed;
}

// libxlsxwriter does not notice a failed write of its temporary files (a
// full disk): the workbook it then closes without an error lacks rows. The
// finished workbook is read back: its worksheet must hold every row
// written and end where a worksheet ends.
bool workbookIsWhole(const QString& path, qint64 rows)
{
    int error = 0;
    zip_t* za = zip_open(nativePath(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!za)
        return false;
    bool whole = false;
    if (zip_file_t* f = zip_fopen(za, "xl/worksheets/sheet1.xml", 0)) {
        static const QByteArray kRow("<row r=\"");
        static const QByteArray kEnd("</worksheet>");
        QByteArray chunk(1 << 20, Qt::Uninitialized);
        QByteArray carry; // the end of the previous chunk, for a tag cut in two
        qint64 found = 0, n;
        bool failed = false;
        while ((n = zip_fread(f, chunk.data(), zip_uint64_t(chunk.size()))) > 0) {
            const QByteArray block = carry + QByteArray::fromRawData(chunk.constData(), qsizetype(n));
            for (qsizetype at = block.indexOf(kRow); at >= 0; at = block.indexOf(kRow, at + kRow.size()))
                ++found;
            // Keep what a tag cut at the end of the block may begin with.
            carry = block.right(kEnd.size());
            found -= carry.count(kRow);
        }
        failed = n < 0;
        found += carry.count(kRow);
        whole = !failed && found == rows && carry.trimmed().endsWith(kEnd);
        zip_fclose(f);
    }
    zip_discard(za);
    return whole;
}

// Copies the finished workbook over 'path' through the file layer: the old
// file stays until the new one is whole.
bool replaceWith(const QString& path, const QString& finished)
{
    files::File in(finished);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    files::SaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0 || (n > 0 && out.write(chunk.constData(), n) != n)) {
            out.cancelWriting();
            out.commit(); // closes the device; the old file stays
            return false;
        }
        if (n == 0)
            break;
    }
    return out.commit();
}

} // namespace

QString sheetName(const QString& name)
{
    return name.left(kMaxSheetName);
}

double columnWidth(int pixels)
{
    // Excel keeps a width in characters of the maximum digit width (7
    // pixels in its default font) and draws it with 5 pixels of padding;
    // narrower than one character the padding shrinks with the width.
    if (pixels <= 0)
        return 0;
    if (pixels < 12)
        return pixels / 12.0;
    return (pixels - 5) / 7.0;
}

bool writeFile(const QString& path, const xls::Sheet& sheet, const xls::Progress& progress)
{
    const QFileInfo target(path);
    // The workbook is made beside the file it replaces, so nothing is
    // written outside the program folder; where no file can be created
    // there, in the system's temporary folder.
    QString folder = target.absolutePath();
    auto made = std::make_unique<QTemporaryFile>(QDir(folder).filePath(
        QStringLiteral(".") + target.fileName() + QStringLiteral(".XXXXXX")));
    if (!made->open()) {
        folder = QDir::tempPath();
        made = std::make_unique<QTemporaryFile>(QDir(folder).filePath(
            QStringLiteral("vornel-") + target.fileName() + QStringLiteral(".XXXXXX")));
        if (!made->open())
            return false;
    }
    const QString finished = made->fileName();
    made->close(); // libxlsxwriter writes it by its name; removed when 'made' goes
    // Packing, reading back and putting the workbook in place take a good
    // part of the time: the rows fill the first three quarters of the
    // progress, and it ends with the file in place.
    const auto report = [&](qint64 done) {
        if (progress)
            progress(done);
    };
    qint64 rows = 0;
    if (!writeWorkbook(finished, folder, sheet, [&](qint64 done) { report(done * 3 / 4); }, rows))
        return false;
    report(sheet.rows * 9 / 10);
    if (!workbookIsWhole(finished, rows))
        return false;
    report(sheet.rows * 19 / 20);
    if (!replaceWith(path, finished))
        return false;
    report(sheet.rows);
    return true;
}

} // namespace vornel::xlsx
