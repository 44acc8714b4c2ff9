#include "app/mainmenu.h"

#include "app/core/helptopics.h"
#include "app/help.h"
#include "app/look.h"
#include "app/registry.h"
#include "app/shell.h"
#include "certificates/certificatecards.h"
#include "patients/tfrmclienti.h"
#include "storage/clock.h"
#include "practice/strumenti.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace vornel;
using vornel::look::named;

namespace {
QPushButton* entryButton(const QString& caption, const char* name, int top, QWidget* panel)
{
    auto* b = named(new QPushButton(caption, panel), name);
    b->setGeometry(541, top, 430, 80);
    b->setCursor(Qt::PointingHandCursor);
    b->setFocusPolicy(Qt::NoFocus);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(16);
    f.setBold(true);
    b->setFont(f);
    b->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; border: 2px solid #C86400; border-radius: 22px; padding: 0 6px;"
        " background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #FFC04D, stop:0.5 #FF9A1A, stop:1 #F07800); }"
        "QPushButton:hover { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #FFD27A,"
        " stop:0.5 #FFAA3A, stop:1 #FF8A10); }"
        "QPushButton:pressed { background: #E06C00; }"));
    return b;
}
} // namespace

TfrmAvvio::TfrmAvvio(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral(" Vornel"));
    resize(1016, 713);
    setProperty("vornelMaximized", true);
    look::setGradient(this, look::kSteelBlue, Qt::white);
    clock::applyProgramFormats();

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panMenu"));
    panel->setFixedSize(995, 692);
    auto* outer = new QVBoxLayout(this);
    // No margins around the panel: the window must fit the work area of a
    // 1366 x 768 screen with its taskbar and caption.
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel, 0, Qt::AlignCenter);

    // Top band: about, icon, title, help, subtitle strip.
    auto* top = new QWidget(panel);
    top->setGeometry(4, 4, 986, 120);
    look::setBand(top, Qt::white, QColor(0xB0, 0xC4, 0xDE));
    imgInfo = named(new ClickablePicture(QStringLiteral("icon_info"), QSize(30, 30), top), "imgInfo");
    imgInfo->move(8, 8);
    auto* icon = new QLabel(top);
    icon->setGeometry(60, 12, 64, 64);
    icon->setPixmap(look::picture(QStringLiteral("app_icon"), QSize(64, 64)));
    auto* title = new QLabel(top);
    title->setGeometry(183, 2, 620, 90);
    title->setPixmap(look::picture(QStringLiteral("title"), QSize(620, 90)));
    imgGuida = named(new ClickablePicture(QStringLiteral("icon_help"), QSize(29, 28), top), "imgGuida");
    imgGuida->move(986 - 29 - 8, 8);
    imgStrumenti = named(new ClickablePicture(QStringLiteral("icon_strumenti"), QSize(29, 28), top), "imgStrumenti");
    imgStrumenti->move(986 - 29 - 8, 8 + 28 + 8);
    auto* subtitle = new QLabel(QStringLiteral("Il software dedicato ai medici specialisti in medicina dello sport "
                                               "per il rilascio dei certificati di idoneit\u00e0 all'attivit\u00e0 sportiva"),
                                top);
    subtitle->setGeometry(1, 94, 984, 25);
    subtitle->setAlignment(Qt::AlignCenter);
    subtitle->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    subtitle->setStyleSheet(QStringLiteral("color: white; background: qlineargradient(x1:0,y1:0,x2:1,y2:0,"
                                           " stop:0 #1F3F6B, stop:0.5 #427AA8, stop:1 #1F3F6B);"));

    // Middle band: illustration and the five entry buttons.
    auto* middle = new QWidget(panel);
    middle->setGeometry(4, 128, 986, 482);
    look::setBand(middle, Qt::white, QColor(0xB0, 0xC4, 0xDE));
    auto* illustration = new QLabel(middle);
    illustration->setObjectName(QStringLiteral("imgIllustrazione"));
    illustration->setGeometry(14, 22, 498, 437);
    illustration->setPixmap(look::picture(QStringLiteral("illustration"), QSize(498, 437)));
    illustration->setCursor(Qt::PointingHandCursor);

    imgApp01 = entryButton(QStringLiteral("ARCHIVIO PAZIENTI"), "imgApp01", 152, panel);
    imgApp02 = entryButton(QStringLiteral("IDONEITA' ATTIVITA' SPORTIVA NON AGONISTICA"), "imgApp02", 242, panel);
    btnApp03 = entryButton(QStringLiteral("IDONEITA' ATTIVITA' SPORTIVA AGONISTICA"), "btnApp03", 332, panel);
    imgApp04 = entryButton(QStringLiteral("IDONEITA' ATTIVITA' SPORTIVA PER DISABILI"), "imgApp04", 422, panel);
    imgApp05 = entryButton(QStringLiteral("NON IDONEITA' ATTIVITA' SPORTIVA AGONISTICA"), "imgApp05", 512, panel);

    // Bottom band: copyright, footer strip, exit.
    auto* bottom = new QWidget(panel);
    bottom->setGeometry(4, 616, 986, 70);
    look::setBand(bottom, Qt::white, QColor(0xB0, 0xC4, 0xDE));
    imgSito = named(new ClickablePicture(QString(), QSize(961, 22), bottom), "imgSito");
    imgSito->move(12, 24);
    imgSito->setText(QStringLiteral("Vornel \u00a9 2026 Vornel Software - Tutti i diritti riservati - %1")
                         .arg(QLatin1String(kMakerWebText)));
    imgSito->setAlignment(Qt::AlignCenter);
    imgSito->setFont(look::font(QStringLiteral("Tahoma"), 9));
    imgSito->setStyleSheet(QStringLiteral("color: #1F3F6B; background: qlineargradient(x1:0,y1:0,x2:1,y2:0,"
                                          " stop:0 #FFFFFF, stop:0.5 #E3ECF6, stop:1 #FFFFFF);"));
    imgCopyright = named(new ClickablePicture(QStringLiteral("icon_copyright"), QSize(23, 22), bottom), "imgCopyright");
    imgCopyright->move(6, 24);
    imgEsci = named(new ClickablePicture(QStringLiteral("icon_exit"), QSize(17, 18), bottom), "imgEsci");
    imgEsci->move(986 - 17 - 8, 26);
    imgCopyright->raise();
    imgEsci->raise();

    connect(imgApp01, &QPushButton::clicked, this, &TfrmAvvio::imgApp01Click);
    connect(imgApp02, &QPushButton::clicked, this, &TfrmAvvio::imgApp02Click);
    connect(btnApp03, &QPushButton::clicked, this, &TfrmAvvio::btnApp03Click);
    connect(imgApp04, &QPushButton::clicked, this, &TfrmAvvio::imgApp04Click);
    connect(imgApp05, &QPushButton::clicked, this, &TfrmAvvio::imgApp05Click);
    connect(imgInfo, &ClickablePicture::clicked, this, &TfrmAvvio::imgInfoClick);
    connect(imgCopyright, &ClickablePicture::clicked, this, &TfrmAvvio::imgCopyrightClick);
    connect(imgGuida, &ClickablePicture::clicked, this, &TfrmAvvio::imgGuidaClick);
    connect(imgStrumenti, &ClickablePicture::clicked, this, &TfrmAvvio::imgStrumentiClick);
    connect(imgSito, &ClickablePicture::clicked, this, &TfrmAvvio::imgSitoClick);
    connect(imgEsci, &ClickablePicture::clicked, this, &TfrmAvvio::imgEsciClick);
}

void TfrmAvvio::imgApp01Click() { goTo(vornel::instance<TfrmClienti>(), this); }
void TfrmAvvio::imgApp02Click() { goTo(vornel::instance<TfrmCertificati>(), this); }
void TfrmAvvio::btnApp03Click() { goTo(vornel::instance<TfrmCertificati_Agonistici>(), this); }
void TfrmAvvio::imgApp04Click() { goTo(vornel::instance<TfrmCertificati_Disabili>(), this); }
void TfrmAvvio::imgApp05Click() { goTo(vornel::instance<TfrmCertificati_NonIdoneita>(), this); }

void TfrmAvvio::imgInfoClick()
{
    TfrmInfo dialog(this);
    dialog.exec();
}

void TfrmAvvio::imgCopyrightClick()
{
    TfrmSplash dialog(this);
    dialog.exec();
}

void TfrmAvvio::imgGuidaClick()
{
    TfrmGuida::showTopic(this, help::mainMenu());
}

void TfrmAvvio::imgStrumentiClick()
{
    TfrmStrumenti dialog(this);
    dialog.exec();
}

void TfrmAvvio::imgSitoClick()
{
    TMisc::Open(QLatin1String(kMakerWeb));
}

void TfrmAvvio::imgEsciClick()
{
    endProgram();
}

void TfrmAvvio::closeEvent(QCloseEvent* e)
{
    e->accept();
    endProgram();
}

// --- about ------------------------------------------------------------------

TfrmInfo::TfrmInfo(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Informazioni su Vornel"));
    look::makeFixed(this, 473, 579);
    look::setGradient(this, look::kSteelBlue, Qt::white);

    // Top to bottom: logo band, the two information pictures, then the mail
    // link and Chiudi on a row of their own below the lower picture.
    auto* band = new QWidget(this);
    band->setGeometry(12, 8, 449, 150);
    look::setBand(band, Qt::white, QColor(0xF5, 0xDE, 0xB3));
    auto* logo = new QLabel(band);
    logo->setGeometry((449 - 300) / 2, 6, 300, 138);
    logo->setPixmap(look::picture(QStringLiteral("logo"), QSize(300, 138)));
    auto* info1 = named(new QLabel(this), "imgInfo1");
    info1->setGeometry(24, 164, 425, 110);
    info1->setPixmap(look::picture(QStringLiteral("about_info"), QSize(425, 110)));
    auto* info2 = named(new QLabel(this), "imgInfo2");
    info2->setPixmap(look::picture(QStringLiteral("about_details"), QSize(425, 249)));
    info2->setGeometry(24, 278, 425, 249);

    imgMail = named(new ClickablePicture(QStringLiteral("icon_mail"), QSize(24, 24), this), "imgMail");
    imgMail->move(24, 542);
    lnkMail = named(new LinkLabel(QLatin1String(kMakerMail), this), "lnkMail");
    lnkMail->setGeometry(54, 539, 220, 30);
    lnkMail->bindIcon(imgMail);
    btnChiudi = named(new QPushButton(QStringLiteral("Chiudi"), this), "btnChiudi");
    btnChiudi->setGeometry(473 - 161 - 12, 579 - 41 - 6, 161, 41);
    btnChiudi->setFont(look::font(QStringLiteral("Verdana"), 12));
    btnChiudi->setCursor(Qt::PointingHandCursor);

    connect(lnkMail, &LinkLabel::clicked, this, &TfrmInfo::lnkMailClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::accept);
    look::centreOnScreen(this);
}

void TfrmInfo::lnkMailClick()
{
    TMisc::Open(QStringLiteral("\"mailto:%1\"").arg(QLatin1String(kMakerMail)));
    lnkMail->setPressedLook(false);
}

// --- copyright ----------------------------------------------------------------

TfrmSplash::TfrmSplash(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Vornel - \u00a9 2026 Vornel Software. Tutti i diritti riservati."));
    look::makeFixed(this, 661, 467);
    look::setGradient(this, Qt::white, QColor(0x35, 0x25, 0x25));

    auto* art = new QLabel(this);
    art->setGeometry(18, 14, 625, 380);
    art->setPixmap(look::picture(QStringLiteral("copyright"), QSize(625, 380)));
    // The link sits on a light strip: the gradient is too dark down here.
    auto* strip = new QWidget(this);
    strip->setGeometry(16, 410, 240, 38);
    look::setBand(strip, QColor(255, 255, 255, 235), QColor(0xF5, 0xDE, 0xB3));
    imgWeb = named(new ClickablePicture(QStringLiteral("icon_web"), QSize(24, 24), this), "imgWeb");
    imgWeb->move(24, 418);
    lnkWeb = named(new LinkLabel(QLatin1String(kMakerWebText), this), "lnkWeb");
    lnkWeb->setGeometry(54, 414, 250, 30);
    lnkWeb->bindIcon(imgWeb);
    btnChiudi = named(new QPushButton(QStringLiteral("Chiudi"), this), "btnChiudi");
    btnChiudi->setGeometry(661 - 160 - 18, 412, 160, 34);
    btnChiudi->setFont(look::font(QStringLiteral("Verdana"), 12));
    btnChiudi->setCursor(Qt::PointingHandCursor);

    connect(lnkWeb, &LinkLabel::clicked, this, &TfrmSplash::lnkWebClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::accept);
    look::centreOnOwner(this, parent);
}

void TfrmSplash::lnkWebClick()
{
    TMisc::Open(QLatin1String(kMakerWeb));
    lnkWeb->setPressedLook(false);
}
