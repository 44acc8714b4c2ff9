#pragma once
#include "documents/certificate_fill.h"
#include "documents/layouts_certificates.h"
#include "documents/report.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The print and preview windows of the four certificate kinds: small dialog
// windows opened by the card's Stampa and Anteprima buttons. They read the
// card's controls as they stand, fill the kind's sheet, then print it, show
// it in the preview or save the printed sheet as a PDF file, and close.
namespace vornel::certificates {

struct PrintWindowDescriptor {
    const char* cardClass; // the card whose controls are read
    layouts::CertificateKind kind;
    bool preview;
};

// Opens the print (preview = false) or preview window of the card's kind as
// a dialog window: created, shown modally, destroyed. 'card' is one of the
// four certificate cards.
void openPrintWindow(QWidget* card, bool preview);

} // namespace vornel::certificates

// The one behaviour of the eight windows; the named classes below only pass
// their descriptor.
class CertificatePrintWindow : public QDialog {
    Q_OBJECT
public:
    CertificatePrintWindow(const vornel::certificates::PrintWindowDescriptor& descriptor, QWidget* parent);

    const vornel::certificates::PrintWindowDescriptor& descriptor() const { return m_desc; }
    // The window's own copy of its kind's sheet.
    vornel::report::Document repScheda;

    QWidget* panSfondo;
    QPushButton* btnAnnulla;
    QPushButton* btnPdf;
    QPushButton* btnStampa;

public slots:
    void FormCreate();
    void btnStampaClick();
    void btnPdfClick();
    void btnAnnullaClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildPrintPanel();
    void buildPreviewPanel();
    // Reads the card of this window's kind as it stands now; throws
    // report::ReportError when the card or one of its fields is missing.
    vornel::certificates::ControlReader cardReader() const;
    const vornel::certificates::PrintWindowDescriptor& m_desc;
};

class TfrmStampaCertificato : public CertificatePrintWindow {
    Q_OBJECT
public:
    explicit TfrmStampaCertificato(QWidget* parent = nullptr);
};
class TfrmStampaAgonistici : public CertificatePrintWindow {
    Q_OBJECT
public:
    explicit TfrmStampaAgonistici(QWidget* parent = nullptr);
};
class TfrmStampaDisabili : public CertificatePrintWindow {
    Q_OBJECT
public:
    explicit TfrmStampaDisabili(QWidget* parent = nullptr);
};
class TfrmStampaNonIdoneita : public CertificatePrintWindow {
    Q_OBJECT
public:
    explicit TfrmStampaNonIdoneita(QWidget* parent = nullptr);
};
class TfrmMenuPrescrizioni : public CertificatePrintWindow {
    Q_OBJECT
public:
    explicit TfrmMenuPrescrizioni(QWidget* parent = nullptr);
};
class TfrmAnteprimaAgonistici : public CertificatePrintWindow {
    Q_OBJECT
public:
    explicit TfrmAnteprimaAgonistici(QWidget* parent = nullptr);
};
class TfrmAnteprimaDisabili : public CertificatePrintWindow {
    Q_OBJECT
public:
    explicit TfrmAnteprimaDisabili(QWidget* parent = nullptr);
};
class TfrmAnteprimaNonIdoneita : public CertificatePrintWindow {
    Q_OBJECT
public:
    explicit TfrmAnteprimaNonIdoneita(QWidget* parent = nullptr);
};
