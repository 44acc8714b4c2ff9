#include "export/exportwindows.h"

#include "app/help.h"
#include "app/look.h"
#include "storage/programfolder.h"
#include "export/exportflow.h"
#include "app/slowwork.h"

#include <QHeaderView>
#include <QShowEvent>

#include <memory>

using namespace vornel;
using namespace vornel::exporting;
using vornel::look::named;

void ExportGridView::commitTyping()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

ExportWindow::ExportWindow(const ExportDef& def, QWidget* parent) : QDialog(parent), m_def(def)
{
    setWindowTitle(QString::fromUtf8(def.caption));
    look::makeFixed(this, 862, 560);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xEE, 0xED, 0xED));
    setPalette(pal);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panEsporta"));
    panel->setGeometry((862 - 837) / 2, (560 - 533) / 2, 837, 533);
    look::setBand(panel, QColor(0xF7, 0xF7, 0xF7), QColor(0xB5, 0xB5, 0xB5));

    // The white band: banner, pointing hand, the three picture buttons.
    auto* band = new QWidget(panel);
    band->setObjectName(QStringLiteral("panTitolo"));
    band->setGeometry(8, 8, 821, 65);
    look::setBand(band, Qt::white, QColor(0xC8, 0xC8, 0xC8));
    auto* banner = new QLabel(QStringLiteral("ESPORTAZIONE IN EXCEL"), band);
    banner->setObjectName(QStringLiteral("imgBanner"));
    banner->setGeometry(12, 8, 430, 49);
    banner->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    banner->setFont(look::font(QStringLiteral("Arial"), 22, true));
    banner->setStyleSheet(QStringLiteral("color: #1D6F42; background: transparent;"));
    auto* hand = new QLabel(band);
    hand->setObjectName(QStringLiteral("imgMano"));
    hand->setGeometry(494, 10, 56, 45);
    hand->setPixmap(look::picture(QStringLiteral("mano"), QSize(56, 45)));

    cmdEsporta = named(new PictureButton(QStringLiteral("excel"), QString(), QSize(49, 50), band), "cmdEsporta");
    cmdEsporta->move(574, 7);
    cmdEsportaXlsx =
        named(new PictureButton(QStringLiteral("excel_xlsx"), QString(), QSize(49, 50), band), "cmdEsportaXlsx");
    cmdEsportaXlsx->move(640, 7);
    cmdGuida = named(new PictureButton(QStringLiteral("btn_guida"), QString(), QSize(50, 55), band), "cmdGuida");
    cmdGuida->move(706, 5);
    cmdEsci = named(new PictureButton(QStringLiteral("btn_esci"), QString(), QSize(40, 50), band), "cmdEsci");
    cmdEsci->move(772, 7);

    m_grid = new ExportGrid(def, this);
    grdRecords = named(new ExportGridView(panel), "grdRecords");
    grdRecords->setGeometry(8, 79, 821, 409);
    grdRecords->setModel(m_grid);
    grdRecords->setFont(look::font(QStringLiteral("Tahoma"), 9));
    grdRecords->setAlternatingRowColors(true);
    grdRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    grdRecords->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdRecords->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    grdRecords->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grdRecords->setWordWrap(false);
    grdRecords->verticalHeader()->hide();
    grdRecords->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdRecords->verticalHeader()->setDefaultSectionSize(21);
    grdRecords->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grdRecords->horizontalHeader()->setHighlightSections(false);
    // Titles start where their cells start, as in the file's heading row, so
    // a column half scrolled into view still shows the start of its title.
    grdRecords->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grdRecords->horizontalHeader()->setFont(look::font(QStringLiteral("Tahoma"), 9));
    grdRecords->setColumnWidth(0, 60);
    for (int c = 0; c < int(def.columns.size()); ++c)
        grdRecords->setColumnWidth(c + 1, def.columns[std::size_t(c)].gridWidth);
    grdRecords->setStyleSheet(QStringLiteral(
        "QTableView { background: white; alternate-background-color: #F2F2F2; gridline-color: #D0D0D0;"
        " color: black; selection-background-color: #3A6EA5; selection-color: white; }"));

    auto* status = new QWidget(panel);
    status->setObjectName(QStringLiteral("panStato"));
    status->setGeometry(8, 493, 821, 32);
    look::setBand(status, QColor(0x6A, 0x5A, 0xCD));
    panInfo = named(new QLabel(QStringLiteral("Esportazione archivio in Microsoft Excel."), status), "panInfo");
    panInfo->setGeometry(10, 0, 801, 32);
    panInfo->setFont(look::font(QStringLiteral("Tahoma"), 12));
    panInfo->setStyleSheet(QStringLiteral("color: white; background: transparent;"));

    m_hints = new HintTracker(panInfo, this);
    m_hints->setHint(cmdEsporta, QStringLiteral("Esporta l'archivio in formato Microsoft Excel."));
    m_hints->setHint(cmdEsportaXlsx, QString::fromUtf8(kXlsxHint));
    m_hints->setHint(cmdGuida, QStringLiteral("Visualizza la pagina della guida sensibile al contesto."));
    m_hints->setHint(cmdEsci, QStringLiteral("Esci da questo ambiente di lavoro."));
    for (QWidget* area : {static_cast<QWidget*>(this), panel, band, status, static_cast<QWidget*>(panInfo),
                          static_cast<QWidget*>(banner), static_cast<QWidget*>(hand), grdRecords->viewport(),
                          grdRecords->horizontalHeader()->viewport()})
        m_hints->clearOn(area);

    connect(cmdEsporta, &QPushButton::clicked, this, &ExportWindow::cmdEsportaClick);
    connect(cmdEsportaXlsx, &QPushButton::clicked, this, &ExportWindow::cmdEsportaXlsxClick);
    connect(cmdGuida, &QPushButton::clicked, this, &ExportWindow::cmdGuidaClick);
    connect(cmdEsci, &QPushButton::clicked, this, &ExportWindow::cmdEsciClick);
}

QString ExportWindow::exportPath() const
{
    return programPath(QString::fromLatin1(m_def.fileName));
}

void ExportWindow::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    look::centreOnScreen(this);
    if (!m_filled) {
        m_filled = true;
        FormShow();
    }
}

void ExportWindow::FormShow()
{
    std::unique_ptr<SlowWork> progress;
    m_grid->load([&](qint64 done, qint64 total) {
        if (!progress)
            progress = std::make_unique<SlowWork>(this, QStringLiteral("Lettura dell'archivio in corso..."), total);
        progress->step(done);
    });
}

void ExportWindow::cmdEsportaClick()
{
    grdRecords->commitTyping();
    exportToExcel(this, exportPath(), m_grid->sheet());
}

void ExportWindow::cmdEsportaXlsxClick()
{
    grdRecords->commitTyping();
    exportToExcel(this, xlsxPath(exportPath()), m_grid->sheet(), Format::Xlsx);
}

void ExportWindow::cmdGuidaClick()
{
    TfrmGuida::showTopic(this, help::exportTopic(m_def.topic));
}

void ExportWindow::cmdEsciClick()
{
    accept();
}

namespace vornel::exporting {

void openExportWindow(QWidget* owner, const ArchiveDef& archive)
{
    std::unique_ptr<ExportWindow> window;
    if (&archive == &archives::Certificati)
        window = std::make_unique<TfrmExpCertificati>(owner);
    else if (&archive == &archives::NonIdoneita)
        window = std::make_unique<TfrmExpCertificatiNon>(owner);
    else if (&archive == &archives::Agonistici)
        window = std::make_unique<TfrmExpCertificatiAgo>(owner);
    else if (&archive == &archives::Disabili)
        window = std::make_unique<TfrmExpCertificatiDis>(owner);
    else if (&archive == &archives::Pazienti)
        window = std::make_unique<TfrmExpClienti>(owner);
    if (window)
        window->exec();
}

} // namespace vornel::exporting
