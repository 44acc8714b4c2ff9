#pragma once
// Printing and previewing report documents (documents/report.h).
//
//   doc.prepare();
//   vornel::printing::print(parent, doc);   // the print dialog, then the printer
//   vornel::printing::preview(parent, doc); // prepares again, modal maximised preview
// Where no printer is installed, print warns the user and prints nothing.
//
// Tests replace what "print" does with setPrintSeam, e.g. to write a PDF:
//   vornel::printing::setPrintSeam([&](const report::Document& d, QWidget*) {
//       d.exportPdf(path); return true; });
// and play a computer without printers with setPrinterCheck([] { return false; }).
#include "documents/report.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace vornel::printing {

// Prints a prepared document; returns whether it printed. The real handler
// shows the print dialog (default printer, 1 copy, all pages) and prints;
// a cancelled dialog prints nothing and is no error. Failures throw
// report::ReportError.
using PrintHandler = std::function<bool(const report::Document& prepared, QWidget* parent)>;
// Replaces the real print dialog and printer; an empty handler restores them.
void setPrintSeam(PrintHandler handler);

// Whether any printer is installed. Tests answer it with setPrinterCheck;
// without a check, a print seam counts as a printer.
bool printerInstalled();
void setPrinterCheck(std::function<bool()> check);

// The warning shown when Stampa finds no printer at all; 'advice', when
// given, follows it after an empty line.
QString noPrinterMessage(const QString& advice = QString());

// Operation 6: print the prepared document (prepares it first if needed).
// Where no printer is installed nothing is printed and the user is told so
// (noPrinterMessage(noPrinterAdvice)); the result is then false.
bool print(QWidget* parent, report::Document& doc, const QString& noPrinterAdvice = QString());
// Operation 7: lay the document out again and show it in the modal,
// maximised preview window at 100 % zoom; returns when the user closes it.
// The preview's Stampa warns as print does.
void preview(QWidget* parent, report::Document& doc, const QString& noPrinterAdvice = QString());

} // namespace vornel::printing

// The preview window: the document's pages at the chosen zoom, with the
// buttons Stampa, zoom, Schermo intero and Chiudi. Caption: the document name.
class ReportPreview : public QDialog {
    Q_OBJECT
public:
    ReportPreview(vornel::report::Document& doc, QWidget* parent, const QString& noPrinterAdvice = QString());
    ~ReportPreview() override;

    // Zoom in percent (100 = real size on the screen).
    int zoom() const { return m_zoom; }
    void setZoom(int percent);
    const vornel::report::Document& document() const { return m_doc; }

    QPushButton* btnStampa;
    QComboBox* cmbZoom;
    QPushButton* btnSchermoIntero;
    QPushButton* btnChiudi;
    QLabel* lblPagine;

public slots:
    void btnStampaClick();
    void btnSchermoInteroClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void render();
    vornel::report::Document& m_doc;
    QString m_noPrinterAdvice;
    QScrollArea* m_scroll;
    QWidget* m_sheets;
    QVBoxLayout* m_sheetsLayout;
    int m_zoom = 100;
};
