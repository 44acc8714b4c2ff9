#include "support/pdfwords.h"

#include <QProcess>
#include <QXmlStreamReader>

#include <algorithm>

namespace {
constexpr double kMmPerPoint = 25.4 / 72.0;

QList<PdfWord> inReadingOrder(QList<PdfWord> words)
{
    std::stable_sort(words.begin(), words.end(), [](const PdfWord& a, const PdfWord& b) {
        if (a.page != b.page)
            return a.page < b.page;
        // Words of one printed line share (nearly) the same baseline.
        if (std::abs(a.mm.bottom() - b.mm.bottom()) > 1.0)
            return a.mm.bottom() < b.mm.bottom();
        return a.mm.left() < b.mm.left();
    });
    return words;
}

QString joined(const QList<PdfWord>& words)
{
    QStringList parts;
    for (const PdfWord& w : words)
        parts << w.text;
    return parts.join(QLatin1Char(' '));
}
} // namespace

QList<PdfWord> PdfText::wordsIn(int page, const QRectF& mm) const
{
    QList<PdfWord> hits;
    for (const PdfWord& w : words)
        if (w.page == page && mm.contains(w.mm.center()))
            hits << w;
    return inReadingOrder(hits);
}

QString PdfText::textIn(int page, const QRectF& mm) const
{
    return joined(wordsIn(page, mm));
}

QList<PdfWord> PdfText::find(const QString& text) const
{
    QList<PdfWord> hits;
    for (const PdfWord& w : words)
        if (w.text == text)
            hits << w;
    return hits;
}

QString PdfText::pageText(int page) const
{
    QList<PdfWord> own;
    for (const PdfWord& w : words)
        if (w.page == page)
            own << w;
    return joined(inReadingOrder(own));
}

QRectF PdfText::bounds(const QList<PdfWord>& words)
{
    QRectF r;
    for (const PdfWord& w : words)
        r = r.isNull() ? w.mm : r.united(w.mm);
    return r;
}

PdfText readPdfText(const QString& pdfPath)
{
    PdfText out;
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                          pdfPath, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        out.error = QStringLiteral("pdftotext failed: ") + QString::fromLocal8Bit(p.readAllStandardError());
        return out;
    }
    QXmlStreamReader xml(p.readAllStandardOutput());
    int page = -1;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        if (xml.name() == QLatin1String("page")) {
            ++page;
            out.pagesMm << QSizeF(a.value(QLatin1String("width")).toDouble() * kMmPerPoint,
                                  a.value(QLatin1String("height")).toDouble() * kMmPerPoint);
        } else if (xml.name() == QLatin1String("word")) {
            const double x0 = a.value(QLatin1String("xMin")).toDouble() * kMmPerPoint;
            const double y0 = a.value(QLatin1String("yMin")).toDouble() * kMmPerPoint;
            const double x1 = a.value(QLatin1String("xMax")).toDouble() * kMmPerPoint;
            const double y1 = a.value(QLatin1String("yMax")).toDouble() * kMmPerPoint;
            out.words << PdfWord{xml.readElementText(), QRectF(QPointF(x0, y0), QPointF(x1, y1)), page};
        }
    }
    out.ok = !xml.hasError();
    if (xml.hasError())
        out.error = xml.errorString();
    return out;
}
