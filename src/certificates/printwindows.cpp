#include "certificates/printwindows.h"

#include "app/filedialogs.h"
#include "app/look.h"
#include "app/messages.h"
#include "app/registry.h"
#include "app/shell.h"
#include "documents/certificate_fill.h"
#include "storage/clock.h"
#include "storage/filelayer.h"
#include "storage/inifile.h"
#include "storage/programfolder.h"
#include "storage/text.h"
#include "app/reportui.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace vornel::certificates {

using layouts::CertificateKind;

namespace {
const PrintWindowDescriptor kStampaCertificato{"TfrmCertificati", CertificateKind::NonAgonistico, false};
const PrintWindowDescriptor kStampaAgonistici{"TfrmCertificati_Agonistici", CertificateKind::Agonistico, false};
const PrintWindowDescriptor kStampaDisabili{"TfrmCertificati_Disabili", CertificateKind::Disabili, false};
const PrintWindowDescriptor kStampaNonIdoneita{"TfrmCertificati_NonIdoneita", CertificateKind::NonIdoneita, false};
const PrintWindowDescriptor kMenuPrescrizioni{"TfrmCertificati", CertificateKind::NonAgonistico, true};
const PrintWindowDescriptor kAnteprimaAgonistici{"TfrmCertificati_Agonistici", CertificateKind::Agonistico, true};
const PrintWindowDescriptor kAnteprimaDisabili{"TfrmCertificati_Disabili", CertificateKind::Disabili, true};
const PrintWindowDescriptor kAnteprimaNonIdoneita{"TfrmCertificati_NonIdoneita", CertificateKind::NonIdoneita, true};

const QString kPrintFailed = QStringLiteral(
    "Attenzione: la stampa del certificato medico non \u00e8 andata a buon fine.\n\r\n\r"
    "Si consiglia di controllare le impostazioni della stampante.");
const QString kPreviewFailed = QStringLiteral(
    "Attenzione: la visualizzazione dell'anteprima di stampa del certificato medico non \u00e8 andata a buon fine.\n\r\n\r"
    "Si consiglia di controllare le impostazioni della stampante.");

// What the no-printer warning adds in these windows, which offer the PDF.
const QString kUsePdf = QStringLiteral("Usare Salva PDF per salvarlo in un file.");

// The folder the last certificate PDF went to, remembered in the settings.
const QString kPdfSection = QStringLiteral("PDF");
const QString kPdfFolderKey = QStringLiteral("Cartella");

IniFile settings()
{
    return IniFile(programPath(QStringLiteral("Studio_Medico_Vrn.ini")));
}

// The remembered folder while it still exists; the program folder otherwise.
QString pdfFolder()
{
    const QString remembered = QDir::fromNativeSeparators(trimmed(settings().read(kPdfSection, kPdfFolderKey)));
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    return programFolder();
}

void rememberPdfFolder(const QString& folder)
{
    try {
        settings().write(kPdfSection, kPdfFolderKey, QDir::toNativeSeparators(folder));
    } catch (const std::exception&) {
        // Only a convenience: the PDF itself is written; next time the
        // dialog proposes the program folder again.
    }
}

struct Opener {
    const PrintWindowDescriptor* desc;
    QDialog* (*create)(QWidget* parent);
};
template <class W>
QDialog* make(QWidget* parent)
{
    return new W(parent);
}
const Opener kOpeners[] = {
    {&kStampaCertificato, &make<TfrmStampaCertificato>},
    {&kStampaAgonistici, &make<TfrmStampaAgonistici>},
    {&kStampaDisabili, &make<TfrmStampaDisabili>},
    {&kStampaNonIdoneita, &make<TfrmStampaNonIdoneita>},
    {&kMenuPrescrizioni, &make<TfrmMenuPrescrizioni>},
    {&kAnteprimaAgonistici, &make<TfrmAnteprimaAgonistici>},
    {&kAnteprimaDisabili, &make<TfrmAnteprimaDisabili>},
    {&kAnteprimaNonIdoneita, &make<TfrmAnteprimaNonIdoneita>},
};
} // namespace

void openPrintWindow(QWidget* card, bool preview)
{
    const QByteArray cardClass = card->metaObject()->className();
    for (const Opener& o : kOpeners) {
        if (cardClass == o.desc->cardClass && o.desc->preview == preview) {
            std::unique_ptr<QDialog> window(o.create(card));
            window->exec();
            return;
        }
    }
}

} // namespace vornel::certificates

using namespace vornel;

CertificatePrintWindow::CertificatePrintWindow(const certificates::PrintWindowDescriptor& descriptor, QWidget* parent)
    : QDialog(parent),
      repScheda(report::Document::fromLayout(layouts::certificate(descriptor.kind, descriptor.preview))),
      m_desc(descriptor)
{
    using look::named;
    setWindowTitle(descriptor.preview ? QStringLiteral(" Anteprima di stampa") : QStringLiteral(" Stampa certificato medico"));
    look::makeFixed(this, 362, 287);
    setStyleSheet(QStringLiteral("CertificatePrintWindow { background: #F0F0F0; }"));

    panSfondo = named(new QWidget(this), "panSfondo");
    panSfondo->setGeometry(18, 18, 327, 215);
    panSfondo->setAutoFillBackground(true);
    QPalette pal = panSfondo->palette();
    pal.setColor(QPalette::Window, Qt::white);
    panSfondo->setPalette(pal);
    if (descriptor.preview)
        buildPreviewPanel();
    else
        buildPrintPanel();

    // Three buttons under the panel, as wide as it: Annulla at the left, the
    // window's own action at the right, Salva PDF between them.
    const QFont buttonFont = look::font(QStringLiteral("Verdana"), 9);
    btnAnnulla = named(new QPushButton(QStringLiteral("Annulla"), this), "btnAnnulla");
    btnAnnulla->setGeometry(18, 243, 90, 28);
    btnPdf = named(new QPushButton(QStringLiteral("Salva PDF"), this), "btnPdf");
    btnPdf->setGeometry(116, 243, 99, 28);
    btnStampa = named(new QPushButton(descriptor.preview ? QStringLiteral("Mostra anteprima") : QStringLiteral("Stampa"),
                                      this),
                      "btnStampa");
    btnStampa->setGeometry(223, 243, 122, 28);
    for (QPushButton* b : {btnAnnulla, btnPdf, btnStampa}) {
        b->setFont(buttonFont);
        b->setCursor(Qt::PointingHandCursor);
        b->setAutoDefault(false);
    }
    // Enter prints, unless the focus is on another button: Enter on the
    // focused button presses that button, as Space does.
    btnStampa->setDefault(true);
    look::pressOnEnter({btnAnnulla, btnPdf, btnStampa});

    connect(btnStampa, &QPushButton::clicked, this, &CertificatePrintWindow::btnStampaClick);
    connect(btnPdf, &QPushButton::clicked, this, &CertificatePrintWindow::btnPdfClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &CertificatePrintWindow::btnAnnullaClick);
    FormCreate();
}

void CertificatePrintWindow::buildPrintPanel()
{
    auto* info = look::named(new QLabel(panSfondo), "imgSpiegazione");
    info->setGeometry(5, 8, 317, 198);
    info->setPixmap(look::picture(QStringLiteral("print_spiegazione"), info->size()));
}

void CertificatePrintWindow::buildPreviewPanel()
{
    // Places are given in window coordinates; the panel starts at (18, 18).
    auto place = [this](const char* name, const char* art, int x, int y, int w, int h) {
        auto* pic = look::named(new QLabel(panSfondo), name);
        pic->setGeometry(x - 18, y - 18, w, h);
        pic->setPixmap(look::picture(QString::fromLatin1(art), QSize(w, h)));
        return pic;
    };
    place("imgInfo", "anteprima_info", 28, 28, 225, 83);
    place("imgLettrice", "anteprima_lettrice", 280, 31, 51, 81);
    auto* strip = look::named(new QLabel(panSfondo), "imgSeparatore");
    strip->setGeometry(26 - 18, 120 - 18, 311, 6);
    strip->setStyleSheet(QStringLiteral(
        "background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #427AA8, stop:1 #FFFFFF);"));
    place("imgStampante", "anteprima_stampante", 30, 140, 66, 69);
    place("imgIstruzioni", "anteprima_istruzioni", 112, 140, 209, 67);
}

void CertificatePrintWindow::FormCreate()
{
    clock::applyProgramFormats();
}

void CertificatePrintWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    look::centreOnOwner(this, findWindow(m_desc.cardClass));
}

certificates::ControlReader CertificatePrintWindow::cardReader() const
{
    QWidget* card = findWindow(m_desc.cardClass);
    if (!card)
        throw report::ReportError(QStringLiteral("La scheda del certificato non \u00e8 aperta."));
    return [card](const QString& name) {
        auto* edit = card->findChild<QLineEdit*>(name);
        if (!edit)
            throw report::ReportError(QStringLiteral("La scheda non contiene il campo \"%1\".").arg(name));
        return edit->text();
    };
}

void CertificatePrintWindow::btnStampaClick()
{
    // No printer at all: said at once, and the window stays open so that
    // the certificate can be saved as a PDF instead.
    if (!m_desc.preview && !printing::printerInstalled()) {
        msg::warning(this, printing::noPrinterMessage(certificates::kUsePdf));
        return;
    }
    bool ok = true;
    try {
        // The card of this window's kind, read as it stands now.
        certificates::fillCertificate(repScheda, m_desc.kind, cardReader());
        repScheda.prepare();
        if (m_desc.preview)
            printing::preview(this, repScheda, certificates::kUsePdf);
        else
            printing::print(this, repScheda, certificates::kUsePdf);
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok)
        msg::warning(this, m_desc.preview ? certificates::kPreviewFailed : certificates::kPrintFailed);
    done(QDialog::Accepted);
}

void CertificatePrintWindow::btnPdfClick()
{
    QString athlete;
    try {
        athlete = trimmed(cardReader()(QStringLiteral("txtPaziente")));
    } catch (const report::ReportError&) {
    }
    const QString proposed =
        QDir(certificates::pdfFolder()).filePath(certificates::pdfFileName(m_desc.kind, athlete, clock::today()));
    const QString path = dialogs::getSaveFileName(this, QStringLiteral("Salva il certificato in PDF"), proposed,
                                                  QStringLiteral("Documenti PDF (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return; // the user gave up: the window stays for Stampa or Annulla

    // The printed sheet (the print window's layout, also from the preview
    // window), made whole in memory and written in one piece: a file that
    // cannot be written leaves nothing behind, nor a half of an older one.
    bool ok = true;
    try {
        report::Document sheet = report::Document::fromLayout(layouts::certificate(m_desc.kind, false));
        certificates::fillCertificate(sheet, m_desc.kind, cardReader());
        sheet.prepare();
        report::PdfSettings pdf;
        pdf.title = certificates::pdfTitle(m_desc.kind, athlete);
        pdf.subject = sheet.name();
        files::writeWhole(path, sheet.pdfBytes(pdf));
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok) {
        msg::warning(this, QStringLiteral("Attenzione: non \u00e8 stato possibile salvare il certificato nel file:"
                                          "\r\n\r\n%1\r\n\r\nControllare che la cartella esista e che vi si "
                                          "possa scrivere, e che il file non sia aperto in un altro programma.")
                               .arg(QDir::toNativeSeparators(path)));
        return;
    }
    certificates::rememberPdfFolder(QFileInfo(path).absolutePath());
    if (msg::confirm(this, QStringLiteral("L'esportazione del certificato in PDF \u00e8 terminata con successo.\r\n\r\n"
                                          "Si vuole aprire il file?")))
        TMisc::OpenFile(this, path);
    done(QDialog::Accepted);
}

void CertificatePrintWindow::btnAnnullaClick()
{
    done(QDialog::Rejected);
}

TfrmStampaCertificato::TfrmStampaCertificato(QWidget* parent)
    : CertificatePrintWindow(certificates::kStampaCertificato, parent)
{
}
TfrmStampaAgonistici::TfrmStampaAgonistici(QWidget* parent)
    : CertificatePrintWindow(certificates::kStampaAgonistici, parent)
{
}
TfrmStampaDisabili::TfrmStampaDisabili(QWidget* parent) : CertificatePrintWindow(certificates::kStampaDisabili, parent)
{
}
TfrmStampaNonIdoneita::TfrmStampaNonIdoneita(QWidget* parent)
    : CertificatePrintWindow(certificates::kStampaNonIdoneita, parent)
{
}
TfrmMenuPrescrizioni::TfrmMenuPrescrizioni(QWidget* parent)
    : CertificatePrintWindow(certificates::kMenuPrescrizioni, parent)
{
}
TfrmAnteprimaAgonistici::TfrmAnteprimaAgonistici(QWidget* parent)
    : CertificatePrintWindow(certificates::kAnteprimaAgonistici, parent)
{
}
TfrmAnteprimaDisabili::TfrmAnteprimaDisabili(QWidget* parent)
    : CertificatePrintWindow(certificates::kAnteprimaDisabili, parent)
{
}
TfrmAnteprimaNonIdoneita::TfrmAnteprimaNonIdoneita(QWidget* parent)
    : CertificatePrintWindow(certificates::kAnteprimaNonIdoneita, parent)
{
}
