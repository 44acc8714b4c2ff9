#include "certificates/printwindows.h"

#include "app/look.h"
#include "app/messages.h"
#include "app/registry.h"
#include "documents/certificate_fill.h"
#include "storage/clock.h"
#include "app/reportui.h"

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

    const QFont buttonFont = look::font(QStringLiteral("Verdana"), 9);
    btnAnnulla = named(new QPushButton(QStringLiteral("Annulla"), this), "btnAnnulla");
    btnAnnulla->setGeometry(18, 243, 137, 28);
    btnStampa = named(new QPushButton(descriptor.preview ? QStringLiteral("Mostra anteprima") : QStringLiteral("Stampa"),
                                      this),
                      "btnStampa");
    btnStampa->setGeometry(208, 243, 137, 28);
    for (QPushButton* b : {btnAnnulla, btnStampa}) {
        b->setFont(buttonFont);
        b->setCursor(Qt::PointingHandCursor);
        b->setAutoDefault(false);
    }
    // Enter prints, unless the focus is on Annulla: Enter on the focused
    // button presses that button, as Space does.
    btnStampa->setDefault(true);
    look::pressOnEnter({btnAnnulla, btnStampa});

    connect(btnStampa, &QPushButton::clicked, this, &CertificatePrintWindow::btnStampaClick);
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

void CertificatePrintWindow::btnStampaClick()
{
    bool ok = true;
    try {
        // The card of this window's kind, read as it stands now.
        QWidget* card = findWindow(m_desc.cardClass);
        if (!card)
            throw report::ReportError(QStringLiteral("La scheda del certificato non \u00e8 aperta."));
        const certificates::ControlReader read = [card](const QString& name) {
            auto* edit = card->findChild<QLineEdit*>(name);
            if (!edit)
                throw report::ReportError(QStringLiteral("La scheda non contiene il campo \"%1\".").arg(name));
            return edit->text();
        };
        certificates::fillCertificate(repScheda, m_desc.kind, read);
        repScheda.prepare();
        if (m_desc.preview)
            printing::preview(this, repScheda);
        else
            printing::print(this, repScheda);
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok)
        msg::warning(this, m_desc.preview ? certificates::kPreviewFailed : certificates::kPrintFailed);
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
