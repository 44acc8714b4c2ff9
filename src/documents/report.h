#pragma once
// The program's report engine: fixed page layouts whose named objects are
// filled just before printing.
//
// How a caller uses it
//   report::Document doc = report::Document::fromLayout(myLayout); // a fresh copy of the design
//   doc.page().setOrientation(report::Orientation::Portrait);      // 1. orientation
//   doc.memo("txtPaziente").setText(name);                         // 2.+3. find a memo, set its text
//   doc.memo("txtRiepilogo").clearLines(); ...addLine(line);       //       or clear and append lines
//   doc.memo("txtRiepilogo").setHeight(h);                         // 4. heights (memo or band)
//   doc.masterData("MasterData").setHeight(h + 10);
//   doc.prepare();                                                 // 5. lay out into pages
//   vornel::printing::print(parent, doc);                          // 6. print   (tools/reportui.h)
//   vornel::printing::preview(parent, doc);                        // 7. preview (tools/reportui.h)
//   doc.exportPdf(path, settings);                                 // 8. PDF
//
// Layouts are constant tables of Item rows (see LayoutDef below). Units: report
// units of 1/96 inch (3.77953 per mm); positions are measured from the
// printable area's corner (the paper's corner moved by the left and top
// margins); objects inside a band from the band's corner. Paper and margins
// are in millimetres.
//
// Objects: Memo (text box: text drawn literally, never evaluated; clipped to
// its box; inset 2 units horizontally and 1 vertically; no border), Line
// (horizontal, black, 1 unit thick), Box (filled rectangle, black 1-unit
// outline), Picture (SVG or raster artwork scaled to its box keeping its
// proportions). Bands: report title (once, top of the first page), master
// data (once; split over pages when it does not fit), footer (once, right
// after the master band). Objects listed before any band sit directly on the
// page and are drawn on every prepared page.
//
// A missing object, or one of another kind than asked for, throws
// report::ReportError; so do PDF files that cannot be written.
#include <QColor>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

class QPainter;
class QPagedPaintDevice;
class QPdfWriter;
class QImage;

namespace vornel::report {

// Report units per millimetre (96 units per inch).
inline constexpr double kUnitsPerMm = 96.0 / 25.4;
inline constexpr double fromMm(double mm) { return mm * kUnitsPerMm; }
inline constexpr double toMm(double units) { return units / kUnitsPerMm; }

// Named colours of the layouts (ARGB); kNone means "no fill".
namespace colors {
inline constexpr QRgb kNone = 0x00000000;
inline constexpr QRgb kBlack = 0xFF000000;
inline constexpr QRgb kWhite = 0xFFFFFFFF;
inline constexpr QRgb kBeige = 0xFFF5F5DC;
inline constexpr QRgb kLavender = 0xFFE6E6FA;
inline constexpr QRgb kSlateGray = 0xFF708090;
inline constexpr QRgb kTeal = 0xFF008080;
inline constexpr QRgb kDarkOrange = 0xFFFF8C00;
} // namespace colors

class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

enum class Kind { Memo, Line, Box, Picture, ReportTitle, MasterData, Footer };
enum class HAlign { Left, Centre };
enum class VAlign { Top, Centre };
enum class Orientation { Portrait, Landscape };

struct Font {
    QString family = QStringLiteral("Arial");
    double points = 10;
    bool bold = false;
    QColor color = Qt::black;
};

// ---- layout tables -------------------------------------------------------

// Text look of a memo row; the defaults are those of every layout: Arial
// 10 pt regular black, left and top, word wrap on, no fill.
struct Style {
    const char* family = "Arial";
    double points = 10;
    bool bold = false;
    HAlign h = HAlign::Left;
    VAlign v = VAlign::Top;
    QRgb fill = colors::kNone;
    bool wordWrap = true;
    QRgb color = colors::kBlack;
    double linePitch = 0; // units from one line to the next; 0: the font's own spacing
};

// One row of a layout table. Build rows with the helpers below.
struct Item {
    Kind kind;
    const char* name;
    double left, top, width, height;
    Style style{};        // memos
    const char* text{};   // memos: design text (may hold line breaks)
    QRgb fill{};          // boxes
    const char* art{};    // pictures: resource path, e.g. ":/art/cuore.svg"
    bool centred{};       // pictures
};

constexpr Item memo(const char* name, double l, double t, double w, double h, Style s, const char* text = "")
{
    return Item{Kind::Memo, name, l, t, w, h, s, text, 0, nullptr, false};
}
constexpr Item box(const char* name, double l, double t, double w, double h, QRgb fill)
{
    return Item{Kind::Box, name, l, t, w, h, {}, nullptr, fill, nullptr, false};
}
constexpr Item line(const char* name, double l, double t, double w)
{
    return Item{Kind::Line, name, l, t, w, 0, {}, nullptr, 0, nullptr, false};
}
constexpr Item picture(const char* name, double l, double t, double w, double h, const char* art, bool centred = true)
{
    return Item{Kind::Picture, name, l, t, w, h, {}, nullptr, 0, art, centred};
}
// A band row: the rows after it, up to the next band row, sit in that band.
constexpr Item band(Kind kind, const char* name, double height)
{
    return Item{kind, name, 0, 0, 0, height, {}, nullptr, 0, nullptr, false};
}

struct LayoutDef {
    const char* documentName;
    Orientation orientation;
    QMarginsF marginsMm; // left, top, right, bottom
    std::span<const Item> items;
};

// ---- document model ------------------------------------------------------

class Object {
public:
    Object(Kind kind, QString name, QRectF rect);
    virtual ~Object();
    Kind kind() const { return m_kind; }
    QString name() const { return m_name; }
    QRectF rect() const { return m_rect; }
    double left() const { return m_rect.left(); }
    double top() const { return m_rect.top(); }
    double width() const { return m_rect.width(); }
    double height() const { return m_rect.height(); }
    void setHeight(double h) { m_rect.setHeight(h); }
    void setRect(const QRectF& r) { m_rect = r; }
    bool isBand() const { return m_kind >= Kind::ReportTitle; }

    virtual std::unique_ptr<Object> clone() const = 0;

private:
    Kind m_kind;
    QString m_name;
    QRectF m_rect;
};

class Memo : public Object {
public:
    Memo(QString name, QRectF rect);
    std::unique_ptr<Object> clone() const override;

    // Replaces every line; "\r\n", "\n" and "\r" separate lines.
    void setText(const QString& text);
    QString text() const { return m_lines.join(QLatin1Char('\n')); }
    const QStringList& lines() const { return m_lines; }
    void clearLines() { m_lines.clear(); }
    void addLine(const QString& line) { m_lines.append(line); }

    Font font;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    bool wordWrap = true;
    QColor fill; // invalid: no fill
    // Distance from one line to the next in units; 0 uses the font's own
    // line spacing. With a pitch of its own a memo of n lines is exactly
    // n pitches high: lines start at its top edge, each centred on its pitch.
    double linePitch = 0;

private:
    QStringList m_lines;
};

class Line : public Object {
public:
    Line(QString name, QRectF rect);
    std::unique_ptr<Object> clone() const override;
};

class Box : public Object {
public:
    Box(QString name, QRectF rect);
    std::unique_ptr<Object> clone() const override;
    QColor fill;
};

class Picture : public Object {
public:
    Picture(QString name, QRectF rect);
    std::unique_ptr<Object> clone() const override;
    QString art; // resource or file path of an SVG or raster image
    bool centred = true;
};

class Band : public Object {
public:
    Band(Kind kind, QString name, double height);
    std::unique_ptr<Object> clone() const override;
    bool canSplit() const { return kind() == Kind::MasterData; }
    std::vector<std::unique_ptr<Object>> objects;
};

class Page {
public:
    Orientation orientation() const { return m_orientation; }
    void setOrientation(Orientation o) { m_orientation = o; }
    // Paper size in mm as the page is turned.
    QSizeF paperMm() const;
    QMarginsF marginsMm() const { return m_margins; }
    void setMarginsMm(const QMarginsF& m) { m_margins = m; }
    // The printable area in report units, measured from the paper's corner.
    QRectF printableArea() const;

    std::vector<std::unique_ptr<Object>> objects; // sitting directly on the page
    std::vector<std::unique_ptr<Band>> bands;

private:
    Orientation m_orientation = Orientation::Portrait;
    QMarginsF m_margins;
};

// One drawn object of a prepared page: a snapshot of the object, where its
// corner lands (units from the paper's corner) and the part of the page it
// may paint (a split band shows only its slice).
struct Placed {
    std::shared_ptr<const Object> object;
    QPointF origin;
    QRectF visible;
};
struct PreparedPage {
    std::vector<Placed> items;
};

struct PdfSettings {
    QString title;
    QString subject;
    QString author = QStringLiteral("Vornel");
    QString creator = QStringLiteral("Vornel");
};

class Document {
public:
    explicit Document(QString name = QString());
    Document(Document&&) noexcept;
    Document& operator=(Document&&) noexcept;
    ~Document();

    // A fresh document from a constant layout table.
    static Document fromLayout(const LayoutDef& layout);

    QString name() const { return m_name; }
    Page& page() { return m_page; }
    const Page& page() const { return m_page; }

    // Finds any object or band by name; nullptr when there is none.
    Object* find(const QString& name) const;
    // Finds an object that must exist and be of that kind; throws ReportError otherwise.
    Memo& memo(const QString& name) const;
    Picture& picture(const QString& name) const;
    Band& band(const QString& name) const;       // any band kind
    Band& masterData(const QString& name) const; // a master data band only

    // Lays the document out into pages, discarding earlier pages.
    void prepare();
    bool isPrepared() const { return m_prepared; }
    int pageCount() const { return int(m_pages.size()); }
    const std::vector<PreparedPage>& pages() const { return m_pages; }

    // Draws prepared page 'index' (0-based). The painter's origin is the
    // paper's corner; 'scale' is device pixels per report unit. Fonts are
    // sized for the painter's device.
    void paintPage(QPainter& painter, int index, double scale) const;
    // Prints pages [from, to] (0-based, inclusive; to < 0: to the end) of the
    // prepared document on a printer or PDF writer; sets its page layout.
    void paint(QPagedPaintDevice& device, int from = 0, int to = -1) const;
    // One prepared page as an image at 'dpi' (preview, tests).
    QImage pageImage(int index, double dpi) const;
    // Writes the prepared document to a PDF file, overwriting it; throws
    // ReportError when the file cannot be written. Printing, images and PDF
    // all need a prepared document (ReportError otherwise).
    void exportPdf(const QString& path, const PdfSettings& settings = {}) const;
    // The same PDF file in memory, for callers that write it through the
    // file layer.
    QByteArray pdfBytes(const PdfSettings& settings = {}) const;

private:
    void writePdf(QPdfWriter& writer, const PdfSettings& settings) const;

    QString m_name;
    Page m_page;
    bool m_prepared = false;
    std::vector<PreparedPage> m_pages;
};

// Where the lines of a memo fall inside its box (units from the memo's
// top-left corner). The engine cuts split bands between lines.
struct TextLine {
    QString text;  // the characters that are drawn (already cut to the box)
    double x;      // left of the drawn text
    double top;    // top of the line box
    double height; // line pitch
    double baseline;
};
std::vector<TextLine> layoutMemo(const Memo& memo);
// Only the lines whose line box meets [fromY, toY) (units from the memo's
// top): printing and page cuts of a long memo touch the lines they need.
std::vector<TextLine> layoutMemo(const Memo& memo, double fromY, double toY);

} // namespace vornel::report
