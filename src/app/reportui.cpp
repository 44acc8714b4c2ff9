#include "app/reportui.h"

#include "app/look.h"
#include "app/messages.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace vornel::printing {

using report::Document;

namespace {
PrintHandler& seam()
{
    static PrintHandler handler;
    return handler;
}

std::function<bool()>& printerCheck()
{
    static std::function<bool()> check;
    return check;
}

// The real printing: the print dialog on the default printer, then the printer.
bool printWithDialog(const Document& doc, QWidget* parent)
{
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setDocName(doc.name());
    printer.setFullPage(true);
    printer.setPageOrientation(doc.page().orientation() == report::Orientation::Portrait ? QPageLayout::Portrait
                                                                                         : QPageLayout::Landscape);
    printer.setCopyCount(1);
    printer.setCollateCopies(true);
    printer.setPrintRange(QPrinter::AllPages);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, std::max(1, doc.pageCount()));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    int from = 0, to = -1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = printer.fromPage() - 1;
        to = printer.toPage() - 1;
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        to = 0;
    }
    doc.paint(printer, from, to);
    if (printer.printerState() == QPrinter::Error)
        throw report::ReportError(QStringLiteral("La stampante non ha accettato il documento \"%1\".").arg(doc.name()));
    return true;
}
} // namespace

void setPrintSeam(PrintHandler handler)
{
    seam() = std::move(handler);
}

bool printerInstalled()
{
    if (printerCheck())
        return printerCheck()();
    if (seam())
        return true;
    return !QPrinterInfo::availablePrinters().isEmpty();
}

void setPrinterCheck(std::function<bool()> check)
{
    printerCheck() = std::move(check);
}

QString noPrinterMessage(const QString& advice)
{
    QString text = QStringLiteral("Attenzione: nessuna stampante installata. Il documento non \u00e8 stato stampato.");
    if (!advice.isEmpty())
        text += QStringLiteral("\r\n\r\n") + advice;
    return text;
}

bool print(QWidget* parent, Document& doc, const QString& noPrinterAdvice)
{
    // A physician who presses Stampa must learn that nothing came out.
    if (!printerInstalled()) {
        msg::warning(parent, noPrinterMessage(noPrinterAdvice));
        return false;
    }
    if (!doc.isPrepared())
        doc.prepare();
    if (seam())
        return seam()(doc, parent);
    return printWithDialog(doc, parent);
}

void preview(QWidget* parent, Document& doc, const QString& noPrinterAdvice)
{
    doc.prepare();
    ReportPreview window(doc, parent, noPrinterAdvice);
    window.setWindowState(Qt::WindowMaximized);
    window.exec();
}

} // namespace vornel::printing

// ---- preview window ------------------------------------------------------------

namespace {
const int kZooms[] = {25, 50, 75, 100, 150, 200, 300, 400};
}

ReportPreview::ReportPreview(vornel::report::Document& doc, QWidget* parent, const QString& noPrinterAdvice)
    : QDialog(parent), m_doc(doc), m_noPrinterAdvice(noPrinterAdvice)
{
    using vornel::look::named;
    setObjectName(QStringLiteral("frmAnteprima"));
    setWindowTitle(doc.name());
    setModal(true);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("panStrumenti"));
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(8, 4, 8, 4);
    btnStampa = named(new QPushButton(QIcon(QStringLiteral(":/art/btn_stampa.svg")), QStringLiteral("Stampa"), bar),
                      "btnStampa");
    btnStampa->setToolTip(QStringLiteral("Stampa il documento"));
    auto* zoomLabel = new QLabel(QStringLiteral("Zoom:"), bar);
    cmbZoom = named(new QComboBox(bar), "cmbZoom");
    for (int z : kZooms)
        cmbZoom->addItem(QStringLiteral("%1%").arg(z), z);
    btnSchermoIntero = named(new QPushButton(QStringLiteral("Schermo intero"), bar), "btnSchermoIntero");
    btnSchermoIntero->setCheckable(true);
    lblPagine = named(new QLabel(bar), "lblPagine");
    btnChiudi = named(new QPushButton(QStringLiteral("Chiudi"), bar), "btnChiudi");
    for (QWidget* w : std::initializer_list<QWidget*>{btnStampa, btnSchermoIntero, btnChiudi})
        w->setCursor(Qt::PointingHandCursor);
    barLayout->addWidget(btnStampa);
    barLayout->addSpacing(16);
    barLayout->addWidget(zoomLabel);
    barLayout->addWidget(cmbZoom);
    barLayout->addWidget(btnSchermoIntero);
    barLayout->addStretch(1);
    barLayout->addWidget(lblPagine);
    barLayout->addSpacing(16);
    barLayout->addWidget(btnChiudi);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrPagine"));
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setWidgetResizable(true);
    m_scroll->setStyleSheet(QStringLiteral("QScrollArea { background: #808080; border: none; }"));
    m_sheets = new QWidget;
    m_sheets->setStyleSheet(QStringLiteral("background: #808080;"));
    m_sheetsLayout = new QVBoxLayout(m_sheets);
    m_sheetsLayout->setSpacing(16);
    m_sheetsLayout->setContentsMargins(16, 16, 16, 16);
    m_scroll->setWidget(m_sheets);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_scroll, 1);

    connect(btnStampa, &QPushButton::clicked, this, &ReportPreview::btnStampaClick);
    connect(btnSchermoIntero, &QPushButton::clicked, this, &ReportPreview::btnSchermoInteroClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmbZoom, &QComboBox::activated, this, [this](int index) { setZoom(cmbZoom->itemData(index).toInt()); });

    cmbZoom->setCurrentIndex(cmbZoom->findData(100));
    render();
    resize(1024, 720);
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::setZoom(int percent)
{
    if (percent == m_zoom)
        return;
    m_zoom = percent;
    const int i = cmbZoom->findData(percent);
    if (i >= 0)
        cmbZoom->setCurrentIndex(i);
    render();
}

void ReportPreview::render()
{
    while (QLayoutItem* item = m_sheetsLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    // 100 %: the sheet at its real size on this screen.
    const qreal dpr = devicePixelRatioF();
    const double dpi = logicalDpiY() * m_zoom / 100.0;
    for (int i = 0; i < m_doc.pageCount(); ++i) {
        QImage img = m_doc.pageImage(i, dpi * dpr);
        img.setDevicePixelRatio(dpr);
        auto* sheet = new QLabel(m_sheets);
        sheet->setObjectName(QStringLiteral("imgPagina%1").arg(i + 1));
        sheet->setPixmap(QPixmap::fromImage(img));
        sheet->setStyleSheet(QStringLiteral("background: white; border: 1px solid #404040;"));
        sheet->setFixedSize(sheet->pixmap().deviceIndependentSize().toSize() + QSize(2, 2));
        m_sheetsLayout->addWidget(sheet, 0, Qt::AlignHCenter);
    }
    m_sheetsLayout->addStretch(1);
    lblPagine->setText(m_doc.pageCount() == 1 ? QStringLiteral("1 pagina")
                                              : QStringLiteral("%1 pagine").arg(m_doc.pageCount()));
}

void ReportPreview::btnStampaClick()
{
    try {
        vornel::printing::print(this, m_doc, m_noPrinterAdvice);
    } catch (const vornel::report::ReportError& e) {
        vornel::msg::error(this, e.message());
    }
}

void ReportPreview::btnSchermoInteroClick()
{
    if (isFullScreen()) {
        showMaximized();
        btnSchermoIntero->setChecked(false);
    } else {
        showFullScreen();
        btnSchermoIntero->setChecked(true);
    }
}

void ReportPreview::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        btnSchermoInteroClick();
        return;
    }
    QDialog::keyPressEvent(event);
}
