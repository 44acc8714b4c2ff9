#include "documents/report.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vornel::report {

ReportError::ReportError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}

// ---- objects ---------------------------------------------------------------

Object::Object(Kind kind, QString name, QRectF rect) : m_kind(kind), m_name(std::move(name)), m_rect(rect) {}
Object::~Object() = default;

Memo::Memo(QString name, QRectF rect) : Object(Kind::Memo, std::move(name), rect) {}
std::unique_ptr<Object> Memo::clone() const { return std::make_unique<Memo>(*this); }

void Memo::setText(const QString& text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    m_lines = text.isEmpty() ? QStringList() : text.split(breaks);
}

Line::Line(QString name, QRectF rect) : Object(Kind::Line, std::move(name), rect) {}
std::unique_ptr<Object> Line::clone() const { return std::make_unique<Line>(*this); }

Box::Box(QString name, QRectF rect) : Object(Kind::Box, std::move(name), rect) {}
std::unique_ptr<Object> Box::clone() const { return std::make_unique<Box>(*this); }

Picture::Picture(QString name, QRectF rect) : Object(Kind::Picture, std::move(name), rect) {}
std::unique_ptr<Object> Picture::clone() const { return std::make_unique<Picture>(*this); }

Band::Band(Kind kind, QString name, double height) : Object(kind, std::move(name), QRectF(0, 0, 0, height)) {}
std::unique_ptr<Object> Band::clone() const
{
    auto copy = std::make_unique<Band>(kind(), name(), height());
    copy->setRect(rect());
    for (const auto& o : objects)
        copy->objects.push_back(o->clone());
    return copy;
}

QSizeF Page::paperMm() const
{
    return m_orientation == Orientation::Portrait ? QSizeF(210, 297) : QSizeF(297, 210);
}

QRectF Page::printableArea() const
{
    const QSizeF paper = paperMm();
    return QRectF(fromMm(m_margins.left()), fromMm(m_margins.top()),
                  fromMm(paper.width() - m_margins.left() - m_margins.right()),
                  fromMm(paper.height() - m_margins.top() - m_margins.bottom()));
}

// ---- document --------------------------------------------------------------

Document::Document(QString name) : m_name(std::move(name)) {}
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;
Document::~Document() = default;

Document Document::fromLayout(const LayoutDef& layout)
{
    Document doc(QString::fromUtf8(layout.documentName));
    doc.m_page.setOrientation(layout.orientation);
    doc.m_page.setMarginsMm(layout.marginsMm);
    Band* current = nullptr;
    for (const Item& it : layout.items) {
        const QString name = QString::fromUtf8(it.name);
        const QRectF r(it.left, it.top, it.width, it.height);
        std::unique_ptr<Object> obj;
        switch (it.kind) {
        case Kind::ReportTitle:
        case Kind::MasterData:
        case Kind::Footer: {
            auto b = std::make_unique<Band>(it.kind, name, it.height);
            current = b.get();
            doc.m_page.bands.push_back(std::move(b));
            continue;
        }
        case Kind::Memo: {
            auto m = std::make_unique<Memo>(name, r);
            m->font.family = QString::fromUtf8(it.style.family);
            m->font.points = it.style.points;
            m->font.bold = it.style.bold;
            m->font.color = QColor::fromRgba(it.style.color);
            m->hAlign = it.style.h;
            m->vAlign = it.style.v;
            m->wordWrap = it.style.wordWrap;
            m->linePitch = it.style.linePitch;
            if (it.style.fill != colors::kNone)
                m->fill = QColor::fromRgba(it.style.fill);
            m->setText(QString::fromUtf8(it.text ? it.text : ""));
            obj = std::move(m);
            break;
        }
        case Kind::Line:
            obj = std::make_unique<Line>(name, r);
            break;
        case Kind::Box: {
            auto b = std::make_unique<Box>(name, r);
            if (it.fill != colors::kNone)
                b->fill = QColor::fromRgba(it.fill);
            obj = std::move(b);
            break;
        }
        case Kind::Picture: {
            auto p = std::make_unique<Picture>(name, r);
            p->art = QString::fromUtf8(it.art);
            p->centred = it.centred;
            obj = std::move(p);
            break;
        }
        }
        if (current)
            current->objects.push_back(std::move(obj));
        else
            doc.m_page.objects.push_back(std::move(obj));
    }
    return doc;
}

Object* Document::find(const QString& name) const
{
    for (const auto& o : m_page.objects)
        if (o->name() == name)
            return o.get();
    for (const auto& b : m_page.bands) {
        if (b->name() == name)
            return b.get();
        for (const auto& o : b->objects)
            if (o->name() == name)
                return o.get();
    }
    return nullptr;
}

namespace {
QString kindName(Kind k)
{
    switch (k) {
    case Kind::Memo: return QStringLiteral("casella di testo");
    case Kind::Line: return QStringLiteral("linea");
    case Kind::Box: return QStringLiteral("riquadro");
    case Kind::Picture: return QStringLiteral("immagine");
    case Kind::ReportTitle: return QStringLiteral("banda del titolo");
    case Kind::MasterData: return QStringLiteral("banda dei dati");
    case Kind::Footer: return QStringLiteral("banda di chiusura");
    }
    return {};
}

template <class T>
T& findAs(const Document& doc, const QString& name, std::initializer_list<Kind> kinds)
{
    Object* o = doc.find(name);
    if (!o)
        throw ReportError(QStringLiteral("Il documento \"%1\" non contiene l'oggetto \"%2\".").arg(doc.name(), name));
    if (std::find(kinds.begin(), kinds.end(), o->kind()) == kinds.end())
        throw ReportError(QStringLiteral("L'oggetto \"%1\" del documento \"%2\" non \u00e8 una %3.")
                              .arg(name, doc.name(), kindName(*kinds.begin())));
    return static_cast<T&>(*o);
}
} // namespace

Memo& Document::memo(const QString& name) const { return findAs<Memo>(*this, name, {Kind::Memo}); }
Picture& Document::picture(const QString& name) const { return findAs<Picture>(*this, name, {Kind::Picture}); }
Band& Document::band(const QString& name) const
{
    return findAs<Band>(*this, name, {Kind::MasterData, Kind::ReportTitle, Kind::Footer});
}
Band& Document::masterData(const QString& name) const { return findAs<Band>(*this, name, {Kind::MasterData}); }

// ---- text layout -------------------------------------------------------------

namespace {
// Text is measured on a device of 64 pixels per report unit: glyph advances
// are rounded to whole pixels, which at screen resolution would make text
// some 2 % wider than it prints.
constexpr double kFine = 64;
const QPaintDevice* measuringDevice()
{
    static QImage device = [] {
        QImage img(1, 1, QImage::Format_ARGB32);
        const int dpm = qRound(96.0 * kFine / 0.0254);
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        return img;
    }();
    return &device;
}

QFont qfont(const Font& f)
{
    QFont q(f.family);
    q.setPointSizeF(f.points);
    q.setBold(f.bold);
    // Unhinted outlines keep measures proportional on every device, so
    // preview, printer and PDF lay text out alike.
    q.setHintingPreference(QFont::PreferNoHinting);
    q.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::PreferQuality));
    return q;
}

constexpr double kInsetX = 2;
constexpr double kInsetY = 1;
} // namespace

std::vector<TextLine> layoutMemo(const Memo& memo)
{
    return layoutMemo(memo, -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity());
}

std::vector<TextLine> layoutMemo(const Memo& memo, double fromY, double toY)
{
    const QFont font = qfont(memo.font);
    const QFontMetricsF fm(font, measuringDevice());
    const double innerW = memo.width() - 2 * kInsetX;
    const double innerH = memo.height() - 2 * kInsetY;
    const double spacing = fm.lineSpacing() / kFine;
    const bool ownPitch = memo.linePitch > 0;
    const double pitch = ownPitch ? memo.linePitch : spacing;

    // Visual lines: each memo line, wrapped within the inner width when word
    // wrap is on (without wrapping they are the memo's lines, shared).
    QStringList visual;
    if (!memo.wordWrap) {
        visual = memo.lines();
    } else {
        for (const QString& logical : memo.lines()) {
            if (logical.isEmpty()) {
                visual << logical;
                continue;
            }
            QTextLayout tl(logical, font, const_cast<QPaintDevice*>(measuringDevice()));
            QTextOption opt;
            opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            opt.setUseDesignMetrics(true);
            tl.setTextOption(opt);
            tl.beginLayout();
            for (QTextLine l = tl.createLine(); l.isValid(); l = tl.createLine()) {
                l.setLineWidth(std::max(innerW, 1.0) * kFine);
                QString part = logical.mid(l.textStart(), l.textLength());
                while (part.endsWith(QLatin1Char(' ')))
                    part.chop(1);
                visual << part;
            }
            tl.endLayout();
        }
    }

    std::vector<TextLine> out;
    const double block = pitch * visual.size();
    double y0 = ownPitch ? 0 : kInsetY;
    if (memo.vAlign == VAlign::Centre)
        y0 = ownPitch ? (memo.height() - block) / 2 : kInsetY + (innerH - block) / 2;
    // The text of a line sits in the middle of its pitch.
    const double baselineOffset = (pitch - spacing) / 2 + fm.ascent() / kFine;

    // The lines that meet [fromY, toY).
    qsizetype first = 0, last = visual.size();
    if (std::isfinite(fromY) && pitch > 0)
        first = std::clamp<qsizetype>(qsizetype(std::floor((fromY - y0) / pitch)), 0, visual.size());
    if (std::isfinite(toY) && pitch > 0)
        last = std::clamp<qsizetype>(qsizetype(std::ceil((toY - y0) / pitch)) + 1, first, visual.size());
    out.reserve(size_t(last - first));
    for (qsizetype k = first; k < last; ++k) {
        const QString& text = visual.at(k);
        const double y = y0 + pitch * double(k);
        if (y + pitch <= fromY || y >= toY)
            continue;
        TextLine line{QString(), 0, y, pitch, y + baselineOffset};
        if (text.isEmpty()) {
            line.x = kInsetX;
            out.push_back(line);
            continue;
        }
        // Where every character starts and ends on one unbroken line.
        QTextLayout tl(text, font, const_cast<QPaintDevice*>(measuringDevice()));
        QTextOption opt;
        opt.setWrapMode(QTextOption::NoWrap);
        opt.setUseDesignMetrics(true);
        tl.setTextOption(opt);
        tl.beginLayout();
        QTextLine l = tl.createLine();
        tl.endLayout();
        const double full = l.naturalTextWidth() / kFine;
        double x0 = kInsetX;
        // A centred text that does not fit starts at the left edge, so it is
        // cut at the right like any other.
        if (memo.hAlign == HAlign::Centre && full <= innerW)
            x0 += (innerW - full) / 2;
        // Keep the whole characters that lie inside the box: a text wider
        // than its box is cut at the edge, never continued.
        const double eps = 0.01;
        int firstChar = -1, lastChar = -1;
        for (int i = 0; i < text.size(); ++i) {
            if (text.at(i).isLowSurrogate())
                continue;
            const int next = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? i + 2 : i + 1;
            const double a = x0 + l.cursorToX(i) / kFine;
            const double b = x0 + l.cursorToX(next) / kFine;
            const bool inside = a >= -eps && b <= memo.width() + eps;
            if (inside) {
                if (firstChar < 0)
                    firstChar = i;
                lastChar = next;
            } else if (firstChar >= 0) {
                break;
            }
        }
        if (firstChar >= 0) {
            line.text = text.mid(firstChar, lastChar - firstChar);
            line.x = x0 + l.cursorToX(firstChar) / kFine;
        } else {
            line.x = x0;
        }
        out.push_back(line);
    }
    return out;
}

// ---- preparing ---------------------------------------------------------------

namespace {
// A cut inside a split band must not pass through a line of text: move it up
// to the top of any line it would cross.
double cutBetweenLines(const Band& band, double cut)
{
    for (bool moved = true; moved;) {
        moved = false;
        for (const auto& o : band.objects) {
            if (o->kind() != Kind::Memo)
                continue;
            const auto& m = static_cast<const Memo&>(*o);
            // Only the lines around the cut can cross it.
            for (const TextLine& tl : layoutMemo(m, cut - m.top() - 0.01, cut - m.top() + 0.01)) {
                const double top = m.top() + tl.top;
                const double bottom = top + tl.height;
                if (bottom <= m.top() || top >= m.rect().bottom())
                    continue; // outside the box: never drawn
                if (top < cut - 0.001 && bottom > cut + 0.001) {
                    cut = top;
                    moved = true;
                }
            }
        }
    }
    return cut;
}
} // namespace

void Document::prepare()
{
    m_pages.clear();
    const QRectF area = m_page.printableArea();
    const QSizeF paper = m_page.paperMm();
    const QRectF sheet(0, 0, fromMm(paper.width()), fromMm(paper.height()));
    const double eps = 0.01;

    auto newPage = [&] {
        PreparedPage page;
        for (const auto& o : m_page.objects)
            page.items.push_back({std::shared_ptr<const Object>(o->clone()), area.topLeft(), sheet});
        m_pages.push_back(std::move(page));
    };
    // Draws band rows [sliceTop, sliceBottom) at height y of the current page.
    auto place = [&](const Band& b, double y, double sliceTop, double sliceBottom, bool whole) {
        const QPointF origin(area.left(), area.top() + y - sliceTop);
        const QRectF visible = whole ? sheet
                                     : QRectF(sheet.left(), area.top() + y, sheet.width(), sliceBottom - sliceTop);
        for (const auto& o : b.objects) {
            if (!whole) {
                const double top = o->top();
                const double bottom = o->kind() == Kind::Line ? top + 0.001 : o->rect().bottom();
                if (bottom <= sliceTop + eps || top >= sliceBottom - eps)
                    continue;
            }
            m_pages.back().items.push_back({std::shared_ptr<const Object>(o->clone()), origin, visible});
        }
    };

    newPage();
    double y = 0;
    const double pageH = area.height();

    std::vector<Band*> order;
    for (Kind k : {Kind::ReportTitle, Kind::MasterData, Kind::Footer})
        for (const auto& b : m_page.bands)
            if (b->kind() == k)
                order.push_back(b.get());

    for (Band* b : order) {
        b->setRect(QRectF(0, 0, area.width(), b->height()));
        const double h = std::max(0.0, b->height());
        if (y + h <= pageH + eps) {
            place(*b, y, 0, h, true);
            y += h;
            continue;
        }
        if (!b->canSplit()) {
            if (y > 0) {
                newPage();
                y = 0;
            }
            place(*b, y, 0, h, true);
            y += h;
            continue;
        }
        // A master band that does not fit continues on the following pages.
        double sliceTop = 0;
        while (sliceTop < h - eps) {
            const double avail = pageH - y;
            if (h - sliceTop <= avail + eps) {
                place(*b, y, sliceTop, h, false);
                y += h - sliceTop;
                break;
            }
            double cut = cutBetweenLines(*b, sliceTop + avail);
            if (cut <= sliceTop + eps) {
                if (y > eps) { // nothing fits here: start on a fresh page
                    newPage();
                    y = 0;
                    continue;
                }
                cut = sliceTop + avail; // a single line taller than a page
            }
            place(*b, y, sliceTop, cut, false);
            newPage();
            y = 0;
            sliceTop = cut;
        }
    }
    m_prepared = true;
}

// ---- drawing -----------------------------------------------------------------

namespace {
QRectF scaled(const QRectF& r, double s)
{
    return QRectF(r.x() * s, r.y() * s, r.width() * s, r.height() * s);
}

void drawMemo(QPainter& p, const Memo& m, QPointF origin, const QRectF& visible, double s)
{
    const QRectF boxRect = m.rect().translated(origin);
    const QRectF clip = boxRect & visible;
    if (clip.isEmpty())
        return;
    p.save();
    p.setClipRect(scaled(clip, s), Qt::IntersectClip);
    if (m.fill.isValid())
        p.fillRect(scaled(boxRect, s), m.fill);
    // Glyphs are placed at a fine resolution (a large font, scaled down), so
    // text runs as wide on a screen as on paper and as it was measured.
    const double dpi = p.device()->logicalDpiY();
    const double fine = std::max(1.0, std::round(96.0 * kFine / std::max(dpi, 1.0)));
    Font big = m.font;
    big.points *= fine;
    p.setFont(qfont(big));
    p.setPen(m.font.color);
    // Only the lines inside the visible part of the box are laid out.
    const std::vector<TextLine> lines = layoutMemo(m, clip.top() - boxRect.top(), clip.bottom() - boxRect.top());
    for (const TextLine& tl : lines) {
        if (tl.text.isEmpty())
            continue;
        // Lines of wrapped text that do not fit in the box are left out
        // rather than shown cut in half (the first line is always shown).
        if (tl.top > 1.001 && tl.top + tl.height > m.height() + 0.5)
            break;
        const double top = boxRect.top() + tl.top;
        if (top + tl.height <= clip.top() + 0.001 || top >= clip.bottom() - 0.001)
            continue;
        p.save();
        p.translate((boxRect.left() + tl.x) * s, (boxRect.top() + tl.baseline) * s);
        p.scale(1 / fine, 1 / fine);
        p.drawText(QPointF(0, 0), tl.text);
        p.restore();
    }
    p.restore();
}

void drawPicture(QPainter& p, const Picture& pic, QPointF origin, double s)
{
    const QRectF target = scaled(pic.rect().translated(origin), s);
    auto fit = [&](QSizeF natural) {
        if (natural.isEmpty())
            return target;
        natural.scale(target.size(), Qt::KeepAspectRatio);
        if (!pic.centred)
            return QRectF(target.topLeft(), natural);
        return QRectF(target.center().x() - natural.width() / 2, target.center().y() - natural.height() / 2,
                      natural.width(), natural.height());
    };
    if (pic.art.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgRenderer svg(pic.art);
        if (svg.isValid())
            svg.render(&p, fit(svg.defaultSize()));
        return;
    }
    const QImage img(pic.art);
    if (!img.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(fit(img.size()), img);
    }
}
} // namespace

void Document::paintPage(QPainter& p, int index, double s) const
{
    if (index < 0 || index >= pageCount())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const Placed& item : m_pages[size_t(index)].items) {
        const Object& o = *item.object;
        p.save();
        p.setClipRect(scaled(item.visible, s));
        switch (o.kind()) {
        case Kind::Memo:
            drawMemo(p, static_cast<const Memo&>(o), item.origin, item.visible, s);
            break;
        case Kind::Line: {
            QPen pen(Qt::black, 1 * s);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
            const QRectF r = o.rect().translated(item.origin);
            p.drawLine(QPointF(r.left() * s, r.top() * s), QPointF(r.right() * s, r.top() * s));
            break;
        }
        case Kind::Box: {
            const auto& b = static_cast<const Box&>(o);
            const QRectF r = scaled(o.rect().translated(item.origin), s);
            if (b.fill.isValid())
                p.fillRect(r, b.fill);
            QPen pen(Qt::black, 1 * s);
            pen.setJoinStyle(Qt::MiterJoin);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(r);
            break;
        }
        case Kind::Picture:
            drawPicture(p, static_cast<const Picture&>(o), item.origin, s);
            break;
        default:
            break;
        }
        p.restore();
    }
    p.restore();
}

namespace {
void requirePrepared(const Document& doc)
{
    if (!doc.isPrepared())
        throw ReportError(QStringLiteral("Il documento \"%1\" non \u00e8 stato preparato per la stampa.").arg(doc.name()));
}

QPageLayout pageLayout(const Page& page)
{
    return QPageLayout(QPageSize(QPageSize::A4),
                       page.orientation() == Orientation::Portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}
} // namespace

void Document::paint(QPagedPaintDevice& device, int from, int to) const
{
    requirePrepared(*this);
    device.setPageLayout(pageLayout(m_page));
    if (to < 0 || to >= pageCount())
        to = pageCount() - 1;
    from = std::max(from, 0);
    QPainter p;
    if (!p.begin(&device))
        throw ReportError(QStringLiteral("Impossibile avviare la stampa del documento \"%1\".").arg(m_name));
    const double s = device.logicalDpiX() / 96.0;
    for (int i = from; i <= to; ++i) {
        if (i > from)
            device.newPage();
        paintPage(p, i, s);
    }
    if (!p.end())
        throw ReportError(QStringLiteral("La stampa del documento \"%1\" non \u00e8 stata completata.").arg(m_name));
}

QImage Document::pageImage(int index, double dpi) const
{
    requirePrepared(*this);
    const QSizeF paper = m_page.paperMm();
    const double s = dpi / 96.0;
    QImage img(qRound(fromMm(paper.width()) * s), qRound(fromMm(paper.height()) * s), QImage::Format_RGB32);
    const int dpm = qRound(dpi / 0.0254);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    QPainter p(&img);
    paintPage(p, index, s);
    return img;
}

namespace {
QString xmlEscaped(const QString& s)
{
    return s.toHtmlEscaped();
}

QByteArray xmpPacket(const PdfSettings& st)
{
    const QString xmp = QStringLiteral(
        "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
        "<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n"
        "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>\n"
        "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/' "
        "xmlns:xmp='http://ns.adobe.com/xap/1.0/' xmlns:pdf='http://ns.adobe.com/pdf/1.3/'>\n"
        "<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>%1</rdf:li></rdf:Alt></dc:title>\n"
        "<dc:description><rdf:Alt><rdf:li xml:lang='x-default'>%2</rdf:li></rdf:Alt></dc:description>\n"
        "<dc:creator><rdf:Seq><rdf:li>%3</rdf:li></rdf:Seq></dc:creator>\n"
        "<xmp:CreatorTool>%4</xmp:CreatorTool>\n"
        "<pdf:Producer>%4</pdf:Producer>\n"
        "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end='w'?>")
                            .arg(xmlEscaped(st.title), xmlEscaped(st.subject), xmlEscaped(st.author),
                                 xmlEscaped(st.creator));
    return xmp.toUtf8();
}
} // namespace

void Document::writePdf(QPdfWriter& writer, const PdfSettings& settings) const
{
    requirePrepared(*this);
    writer.setResolution(1200);
    writer.setTitle(settings.title.isEmpty() ? m_name : settings.title);
    writer.setCreator(settings.creator);
    PdfSettings st = settings;
    if (st.title.isEmpty())
        st.title = m_name;
    writer.setDocumentXmpMetadata(xmpPacket(st));
    writer.setPageLayout(pageLayout(m_page));
    paint(writer);
}

void Document::exportPdf(const QString& path, const PdfSettings& settings) const
{
    requirePrepared(*this);
    QPdfWriter writer(path);
    // QPdfWriter opens the file when painting begins.
    try {
        writePdf(writer, settings);
    } catch (const ReportError&) {
        throw ReportError(QStringLiteral("Impossibile scrivere il file \"%1\".").arg(path));
    }
}

QByteArray Document::pdfBytes(const PdfSettings& settings) const
{
    requirePrepared(*this);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writePdf(writer, settings);
    }
    buffer.close();
    return bytes;
}

} // namespace vornel::report
