#include "app/help.h"

#include "app/look.h"
#include "app/shell.h"
#include "storage/programfolder.h"

#include <QFontMetrics>
#include <QShowEvent>

using namespace vornel;
using vornel::look::named;

TfrmGuida::TfrmGuida(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Guida all'utilizzo del software"));
    look::makeFixed(this, 670, 572);
    look::setGradient(this, Qt::white, QColor(0xBF, 0xD8, 0xEF));

    auto* panel = new QWidget(this);
    panel->setGeometry(14, 16, 642, 540);

    auto* band = new QWidget(panel);
    band->setGeometry(8, 0, 625, 89);
    look::setBand(band, Qt::white, QColor(0xF5, 0xDE, 0xB3));
    auto* logo = new QLabel(band);
    logo->setGeometry(19, 10, 587, 69);
    logo->setPixmap(look::picture(QStringLiteral("logo_banner"), QSize(587, 69)));

    lblTitolo = named(new QLabel(QStringLiteral("Argomento della guida."), panel), "lblTitolo");
    lblTitolo->setGeometry(8, 98, 625, 30);
    lblTitolo->setFont(look::font(QStringLiteral("Arial"), 16, true));
    lblTitolo->setStyleSheet(QStringLiteral("color: #DC143C;"));

    txtGuida = named(new QTextEdit(panel), "txtGuida");
    txtGuida->setGeometry(8, 134, 625, 350);
    txtGuida->setReadOnly(true);
    txtGuida->setAcceptRichText(false);
    txtGuida->setLineWrapMode(QTextEdit::WidgetWidth);
    txtGuida->setFont(look::font(QStringLiteral("Verdana"), 12, true));
    txtGuida->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txtGuida->setStyleSheet(QStringLiteral("QTextEdit { background: white; border: 1px solid #9FB6CD; }"));

    imgPDF = named(new ClickablePicture(QStringLiteral("icon_pdf"), QSize(27, 27), panel), "imgPDF");
    imgPDF->move(8, 500);
    lnkWeb = named(new LinkLabel(QStringLiteral("Visualizza guida in formato PDF"), panel), "lnkWeb");
    lnkWeb->setGeometry(42, 498, 330, 30);
    lnkWeb->bindIcon(imgPDF);

    btnChiudi = named(new QPushButton(QStringLiteral("Chiudi"), panel), "btnChiudi");
    btnChiudi->setGeometry(633 - 161, 494, 161, 38);
    btnChiudi->setFont(look::font(QStringLiteral("Verdana"), 11));
    btnChiudi->setCursor(Qt::PointingHandCursor);

    connect(btnChiudi, &QPushButton::clicked, this, &TfrmGuida::btnChiudiClick);
    connect(lnkWeb, &LinkLabel::clicked, this, &TfrmGuida::lnkWebClick);
}

void TfrmGuida::showTopic(QWidget* owner, const help::Topic& topic)
{
    TfrmGuida dialog(owner);
    dialog.lblTitolo->setText(topic.title);
    // The paragraphs are separated by CR LF pairs; the text area shows each
    // pair as one line break.
    dialog.txtGuida->setPlainText(QString(topic.text()).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    dialog.exec();
}

void TfrmGuida::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TfrmGuida::FormShow()
{
    // A title longer than its line is shown whole: the font shrinks until it fits.
    QFont title = look::font(QStringLiteral("Arial"), 16, true);
    const int room = lblTitolo->contentsRect().width();
    while (title.pixelSize() > 10 && QFontMetrics(title).horizontalAdvance(lblTitolo->text()) > room)
        title.setPixelSize(title.pixelSize() - 1);
    lblTitolo->setFont(title);

    // The window never grows: long topics scroll inside the text area.
    setFixedSize(670, 572);
    look::centreOnScreen(this);
}

void TfrmGuida::btnChiudiClick()
{
    accept();
}

void TfrmGuida::lnkWebClick()
{
    TMisc::OpenFile(this, programPath(QStringLiteral("Guida.pdf")));
    lnkWeb->setPressedLook(false);
}
