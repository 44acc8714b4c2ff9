#include "patients/checks.h"

#include "app/inputrules.h"

#include "app/look.h"
#include "app/messages.h"
#include "patients/core/taxchecks.h"
#include "storage/clock.h"
#include "storage/text.h"

#include <QKeyEvent>

using namespace vornel;
using vornel::look::named;

namespace {

// What both check windows share: the panel, the heading picture, the
// instruction, the band with the edit and Controlla, and Chiudi below.
struct CheckLayout {
    QLabel* lblTitolo;
    QLineEdit* edit;
    QPushButton* btnControlla;
    QPushButton* btnChiudi;
};

CheckLayout buildCheckWindow(QDialog* w, int width, const QString& caption, const QString& heading,
                             const QString& instruction, const char* editName, const QColor& areaColour)
{
    w->setWindowTitle(caption);
    look::makeFixed(w, width, 254);
    look::setGradient(w, look::kSteelBlue, Qt::white);

    auto* panel = new QWidget(w);
    panel->setGeometry((width - 453) / 2, 16, 453, 222);
    look::setBand(panel, QColor(0xE6, 0xEE, 0xF6), QColor(0x9D, 0xB9, 0xD5));

    auto* area = new QWidget(panel);
    area->setGeometry(8, 8, 437, 169);
    look::setBand(area, areaColour, QColor(0xC8, 0xD6, 0xE4));

    // Heading picture: the check icon and the window's subject on a blue strip.
    auto* picture = new QWidget(area);
    picture->setGeometry(8, 6, 421, 73);
    look::setGradient(picture, QColor(0x1F, 0x4E, 0x79), look::kSteelBlue);
    auto* icon = new QLabel(picture);
    icon->setGeometry(12, 10, 52, 52);
    icon->setPixmap(look::picture(QStringLiteral("btn_controlla"), QSize(52, 52)));
    auto* title = new QLabel(heading, picture);
    title->setGeometry(76, 8, 336, 57);
    title->setWordWrap(true);
    title->setFont(look::font(QStringLiteral("Verdana"), 14, true));
    title->setStyleSheet(QStringLiteral("color: white;"));

    CheckLayout l{};
    l.lblTitolo = named(new QLabel(instruction, area), "lblTitolo");
    l.lblTitolo->setGeometry(8, 79, 421, 38);
    l.lblTitolo->setFont(look::font(QStringLiteral("Arial"), 12));
    l.lblTitolo->setAlignment(Qt::AlignCenter);
    l.lblTitolo->setWordWrap(true);

    auto* band = new QWidget(area);
    band->setGeometry(8, 117, 421, 48);
    look::setGradient(band, QColor(0xD2, 0xE4, 0xF5), QColor(0xA9, 0xC4, 0xE0));

    l.edit = named(new QLineEdit(band), editName);
    l.edit->setGeometry(10, 5, 233, 38);
    // Courier New 20 bold, made smaller only as far as a whole tax code
    // needs to be seen in the edit's width.
    QFont mono = look::font(QStringLiteral("Courier New"), 20, true);
    while (mono.pixelSize() > 12 && QFontMetrics(mono).horizontalAdvance(QString(16, QLatin1Char('W'))) > 233 - 12)
        mono.setPixelSize(mono.pixelSize() - 1);
    l.edit->setFont(mono);
    look::setFieldLook(l.edit);

    l.btnControlla = named(new QPushButton(QStringLiteral("Controlla"), band), "btnControlla");
    l.btnControlla->setGeometry(253, 5, 160, 38);
    l.btnControlla->setIcon(QIcon(look::picture(QStringLiteral("btn_controlla"), QSize(22, 22))));
    l.btnControlla->setIconSize(QSize(22, 22));
    l.btnControlla->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    l.btnControlla->setCursor(Qt::PointingHandCursor);

    l.btnChiudi = named(new QPushButton(QStringLiteral("Chiudi"), panel), "btnChiudi");
    l.btnChiudi->setGeometry((453 - 130) / 2, 184, 130, 31);
    l.btnChiudi->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    l.btnChiudi->setCursor(Qt::PointingHandCursor);

    // Enter in the edit belongs to the edit's own handling, never to a
    // default button; on a focused button it presses that button.
    l.btnControlla->setAutoDefault(false);
    l.btnChiudi->setAutoDefault(false);
    look::pressOnEnter({l.btnControlla, l.btnChiudi});
    return l;
}

bool isEnter(const QKeyEvent* k)
{
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

void showOutcome(QWidget* parent, const taxchecks::Outcome& outcome)
{
    if (outcome.kind == taxchecks::Outcome::Valid)
        msg::information(parent, outcome.message);
    else
        msg::warning(parent, outcome.message);
}

} // namespace

// --- tax code ---------------------------------------------------------------

TfrmCodFisc::TfrmCodFisc(QWidget* parent) : QDialog(parent)
{
    const CheckLayout l = buildCheckWindow(this, 478, QStringLiteral(" Controllo codice fiscale"),
                                           QStringLiteral("Controllo del codice fiscale"),
                                           QStringLiteral("Immettere il codice fiscale e premere il pulsante di controllo."),
                                           "txtCodFisc", QColor(0xF3, 0xF1, 0xF1));
    lblTitolo = l.lblTitolo;
    txtCodFisc = l.edit;
    btnControlla = l.btnControlla;
    btnChiudi = l.btnChiudi;
    FormCreate();

    txtCodFisc->installEventFilter(this);
    connect(txtCodFisc, &QLineEdit::textChanged, this, &TfrmCodFisc::txtCodFiscChange);
    connect(btnControlla, &QPushButton::clicked, this, &TfrmCodFisc::btnControllaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmCodFisc::btnChiudiClick);
}

void TfrmCodFisc::FormCreate()
{
    txtCodFisc->setMaxLength(16);
    clock::applyProgramFormats();
}

void TfrmCodFisc::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (e->spontaneous())
        return;
    look::centreOnScreen(this);
    FormShow();
}

void TfrmCodFisc::FormShow()
{
    activateWindow();
    txtCodFisc->setFocus();
}

void TfrmCodFisc::txtCodFiscChange()
{
    const QString text = txtCodFisc->text();
    const QString wanted = trimmed(upperAscii(text));
    if (wanted == text)
        return;
    const int cursor = txtCodFisc->cursorPosition();
    txtCodFisc->setText(wanted); // runs this handler once more, with nothing to change
    txtCodFisc->setCursorPosition(qMin(cursor, int(wanted.size())));
}

bool TfrmCodFisc::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtCodFisc && event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event))) {
        btnControlla->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmCodFisc::btnControllaClick()
{
    const taxchecks::Outcome outcome = taxchecks::checkCodFisc(txtCodFisc->text());
    showOutcome(this, outcome);
    if (outcome.kind == taxchecks::Outcome::LengthWarning) {
        txtCodFisc->setFocus();
        return;
    }
    accept();
}

void TfrmCodFisc::btnChiudiClick()
{
    reject();
}

// --- VAT number -------------------------------------------------------------

TfrmPartitaIva::TfrmPartitaIva(QWidget* parent) : QDialog(parent)
{
    const CheckLayout l = buildCheckWindow(this, 480, QStringLiteral(" Controllo partita IVA"),
                                           QStringLiteral("Controllo della partita IVA"),
                                           QStringLiteral("Immettere il numero di partita IVA e premere il pulsante di controllo."),
                                           "txtPartitaIva", Qt::white);
    lblTitolo = l.lblTitolo;
    txtPartitaIva = l.edit;
    btnControlla = l.btnControlla;
    btnChiudi = l.btnChiudi;
    FormCreate();
    // Keys are filtered below; pasted text is kept to digits too.
    vornel::input::filterEdits(txtPartitaIva);

    txtPartitaIva->installEventFilter(this);
    connect(btnControlla, &QPushButton::clicked, this, &TfrmPartitaIva::btnControllaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmPartitaIva::btnChiudiClick);
}

void TfrmPartitaIva::FormCreate()
{
    txtPartitaIva->setMaxLength(11);
    clock::applyProgramFormats();
}

void TfrmPartitaIva::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (e->spontaneous())
        return;
    look::centreOnScreen(this);
    FormShow();
}

void TfrmPartitaIva::FormShow()
{
    activateWindow();
    txtPartitaIva->setFocus();
}

bool TfrmPartitaIva::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtPartitaIva && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (isEnter(k)) {
            btnControlla->setFocus();
            return true;
        }
        return !vornel::input::keyPasses(k); // every other key is swallowed
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmPartitaIva::btnControllaClick()
{
    const taxchecks::Outcome outcome = taxchecks::checkPartitaIva(txtPartitaIva->text());
    showOutcome(this, outcome);
    if (outcome.kind == taxchecks::Outcome::LengthWarning) {
        txtPartitaIva->setFocus();
        return;
    }
    accept();
}

void TfrmPartitaIva::btnChiudiClick()
{
    reject();
}
