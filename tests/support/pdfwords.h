#pragma once
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

// What a reader finds on the pages of a PDF file: every word with its box in
// millimetres from the top-left corner of its page (poppler's pdftotext -bbox).
struct PdfWord {
    QString text;
    QRectF mm;
    int page; // 0-based
};

struct PdfText {
    bool ok = false;
    QString error;
    QList<QSizeF> pagesMm;
    QList<PdfWord> words;

    int pageCount() const { return int(pagesMm.size()); }
    // Words whose centre lies inside the rectangle (mm) of that page, in
    // reading order (top to bottom, left to right).
    QList<PdfWord> wordsIn(int page, const QRectF& mm) const;
    // Those words joined with single blanks.
    QString textIn(int page, const QRectF& mm) const;
    // Words of the given text on any page.
    QList<PdfWord> find(const QString& text) const;
    // All words of a page joined with single blanks, in reading order.
    QString pageText(int page) const;
    // The smallest rectangle holding the given words.
    static QRectF bounds(const QList<PdfWord>& words);
};

PdfText readPdfText(const QString& pdfPath);
// Converts report units (1/96 inch) to millimetres.
inline QRectF unitsToMm(double left, double top, double width, double height)
{
    const double k = 25.4 / 96.0;
    return QRectF(left * k, top * k, width * k, height * k);
}
