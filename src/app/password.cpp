#include "app/password.h"

#include "app/core/crypt.h"
#include "app/look.h"
#include "app/mainmenu.h"
#include "app/messages.h"
#include "app/registry.h"
#include "storage/inifile.h"
#include "storage/programfolder.h"
#include "storage/text.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>

using namespace vornel;
using vornel::look::named;

namespace vornel {
QString passwordFilePath()
{
    return programPath(QStringLiteral("unins000.dll"));
}
} // namespace vornel

namespace {
const QString kSection = QStringLiteral("Accesso");
const QString kKey = QStringLiteral("Valore");

// The form every password is compared and stored in: ASCII capitals, trimmed.
QString normalised(const QString& typed)
{
    return trimmed(upperAscii(typed));
}

QString storedPassword()
{
    // A missing file reads empty; one that is there but cannot be read is a
    // failure of its own, never an empty password.
    return trimmed(Crypt::Decrypt(IniFile(passwordFilePath()).readChecked(kSection, kKey)));
}

QPushButton* makeButton(const QString& caption, const char* name, const QRect& g, QWidget* parent)
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setGeometry(g);
    b->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

QLabel* makeLogo(QWidget* parent, const QRect& g)
{
    auto* band = new QWidget(parent);
    band->setGeometry(g.adjusted(-4, -4, 4, 4));
    look::setBand(band, Qt::white, QColor(0xF5, 0xDE, 0xB3));
    auto* logo = new QLabel(band);
    logo->setGeometry(4, 4, g.width(), g.height());
    logo->setPixmap(look::picture(QStringLiteral("logo"), g.size()));
    return logo;
}
} // namespace

// --- shared -----------------------------------------------------------------

QLineEdit* PasswordWindowBase::addPasswordField(const char* name, const char* highlightName, const QRect& g)
{
    auto* eff = named(new QWidget(this), highlightName);
    eff->setGeometry(g.adjusted(-5, -5, 5, 5));
    eff->setStyleSheet(QStringLiteral("background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #FFFF00, stop:1 #FFFF00);"
                                      " border: 3px solid qlineargradient(x1:0,y1:0,x2:1,y2:1, stop:0 #FFFF00, stop:1 #FFFFFF);"
                                      " border-radius: 4px;"));
    eff->setAttribute(Qt::WA_StyledBackground);
    eff->hide();
    auto* edit = named(new QLineEdit(this), name);
    edit->setGeometry(g);
    edit->setEchoMode(QLineEdit::Password);
    edit->setFont(look::font(QStringLiteral("Verdana"), 14, true));
    edit->setProperty("vornelHighlight", QVariant::fromValue<QObject*>(eff));
    edit->installEventFilter(this);
    return edit;
}

bool PasswordWindowBase::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            enterPressed(edit);
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        fieldFocus(edit, true);
        break;
    case QEvent::FocusOut:
        fieldFocus(edit, false);
        break;
    default:
        break;
    }
    return false;
}

void PasswordWindowBase::fieldFocus(QLineEdit* field, bool in)
{
    if (auto* eff = qobject_cast<QWidget*>(field->property("vornelHighlight").value<QObject*>()))
        eff->setVisible(in);
}

// --- login window -----------------------------------------------------------

TfrmPassword::TfrmPassword(QWidget* parent) : PasswordWindowBase(parent)
{
    setWindowTitle(QStringLiteral(" Vornel - Autenticazione"));
    look::makeFixed(this, 388, 405);
    look::setGradient(this, look::kSteelBlue, Qt::white);

    makeLogo(this, QRect(30, 18, 328, 160));
    auto* prompt = new QLabel(QStringLiteral("Immetti la password e premi OK."), this);
    prompt->setGeometry(30, 200, 328, 24);
    prompt->setFont(look::font(QStringLiteral("Verdana"), 11, true));
    prompt->setAlignment(Qt::AlignCenter);

    txtPassword = addPasswordField("txtPassword", "effPassword", QRect(50, 240, 230, 33));
    effPassword = findChild<QWidget*>(QStringLiteral("effPassword"));
    cmdOK = makeButton(QStringLiteral("OK"), "cmdOK", QRect(292, 240, 49, 33), this);
    cmdOK->setEnabled(false);
    cmdEsci = makeButton(QStringLiteral("Esci"), "cmdEsci", QRect(30, 350, 146, 32), this);
    btnCambiaPassword = makeButton(QStringLiteral("Cambia password"), "btnCambiaPassword", QRect(212, 350, 146, 32), this);
    lblMemory = named(new QLabel(this), "lblMemory");
    lblMemory->hide();

    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, cmdEsci);
    setTabOrder(cmdEsci, btnCambiaPassword);

    look::pressOnEnter({cmdOK, cmdEsci, btnCambiaPassword});
    connect(txtPassword, &QLineEdit::textChanged, this, &TfrmPassword::txtPasswordChange);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmPassword::cmdEsciClick);
    connect(btnCambiaPassword, &QPushButton::clicked, this, &TfrmPassword::btnCambiaPasswordClick);
}

void TfrmPassword::showEvent(QShowEvent* e)
{
    PasswordWindowBase::showEvent(e);
    // Restoring the minimised window is no new showing: the fields stay.
    if (e->spontaneous())
        return;
    look::centreOnScreen(this);
    FormShow();
}

void TfrmPassword::FormShow()
{
    activateWindow();
    txtPassword->setFocus();
}

void TfrmPassword::closeEvent(QCloseEvent* e)
{
    // The login window is the main window: closing it ends the run.
    e->accept();
    endProgram();
}

void TfrmPassword::txtPasswordChange()
{
    cmdOK->setEnabled(!trimmed(txtPassword->text()).isEmpty());
}

void TfrmPassword::enterPressed(QLineEdit*)
{
    if (!trimmed(txtPassword->text()).isEmpty())
        cmdOKClick();
}

void TfrmPassword::fieldFocus(QLineEdit* field, bool in)
{
    PasswordWindowBase::fieldFocus(field, in);
}

void TfrmPassword::cmdOKClick()
{
    try {
        lblMemory->setText(storedPassword());
        if (lblMemory->text() != normalised(txtPassword->text())) {
            msg::plain(this, QStringLiteral("Attenzione: password errata."));
            txtPassword->clear();
            txtPassword->setFocus();
            return;
        }
        lblMemory->clear();
        txtPassword->clear();
        goTo(vornel::instance<TfrmAvvio>(), this);
    } catch (const std::exception&) {
        msg::plain(this, QStringLiteral("Attenzione: si \u00e8 verificato un errore durante la procedura di "
                                        "lettura della password. Si consiglia di reinstallare il software."));
    }
}

void TfrmPassword::cmdEsciClick()
{
    close();
}

void TfrmPassword::btnCambiaPasswordClick()
{
    goTo(vornel::instance<TfrmCambiaPassword>(), this);
}

// --- change-password window -------------------------------------------------

TfrmCambiaPassword::TfrmCambiaPassword(QWidget* parent) : PasswordWindowBase(parent)
{
    setWindowTitle(QStringLiteral(" Cambia password"));
    look::makeFixed(this, 411, 418);
    look::setGradient(this, look::kSteelBlue, Qt::white);

    makeLogo(this, QRect(29, 14, 353, 148));
    const auto label = [this](const QString& text, int y) {
        auto* l = new QLabel(text, this);
        l->setGeometry(29, y, 353, 20);
        l->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    };
    label(QStringLiteral("Vecchia password:"), 174);
    txtPasswordOld = addPasswordField("txtPasswordOld", "effPasswordOld", QRect(29, 196, 353, 30));
    label(QStringLiteral("Nuova password:"), 234);
    txtPasswordNew = addPasswordField("txtPasswordNew", "effPasswordNew", QRect(29, 256, 353, 30));
    label(QStringLiteral("Conferma nuova password:"), 294);
    txtConferma = addPasswordField("txtConferma", "effConferma", QRect(29, 316, 353, 30));
    effPasswordOld = findChild<QWidget*>(QStringLiteral("effPasswordOld"));
    effPasswordNew = findChild<QWidget*>(QStringLiteral("effPasswordNew"));
    effConferma = findChild<QWidget*>(QStringLiteral("effConferma"));

    cmdEsci = makeButton(QStringLiteral("Chiudi"), "cmdEsci", QRect(29, 370, 146, 32), this);
    cmdOK = makeButton(QStringLiteral("OK"), "cmdOK", QRect(236, 370, 146, 32), this);
    cmdOK->setEnabled(false);
    lblMemory = named(new QLabel(this), "lblMemory");
    lblMemory->hide();

    setTabOrder(txtPasswordOld, txtPasswordNew);
    setTabOrder(txtPasswordNew, txtConferma);
    setTabOrder(txtConferma, cmdEsci);
    setTabOrder(cmdEsci, cmdOK);

    look::pressOnEnter({cmdEsci, cmdOK});
    for (QLineEdit* e : {txtPasswordOld, txtPasswordNew, txtConferma})
        connect(e, &QLineEdit::textChanged, this, &TfrmCambiaPassword::fieldsChange);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdEsciClick);
}

void TfrmCambiaPassword::showEvent(QShowEvent* e)
{
    PasswordWindowBase::showEvent(e);
    // Restoring the minimised window is no new showing: the fields stay.
    if (e->spontaneous())
        return;
    look::centreOnScreen(this);
    FormShow();
}

void TfrmCambiaPassword::FormShow()
{
    txtPasswordOld->clear();
    txtPasswordNew->clear();
    txtConferma->clear();
    lblMemory->clear();
    activateWindow();
    txtPasswordOld->setFocus();
}

void TfrmCambiaPassword::fieldsChange()
{
    cmdOK->setEnabled(!trimmed(txtPasswordOld->text()).isEmpty() && !trimmed(txtPasswordNew->text()).isEmpty()
                      && !trimmed(txtConferma->text()).isEmpty());
}

void TfrmCambiaPassword::enterPressed(QLineEdit* field)
{
    // Enter moves round the three fields and never submits.
    if (field == txtPasswordOld)
        txtPasswordNew->setFocus();
    else if (field == txtPasswordNew)
        txtConferma->setFocus();
    else
        txtPasswordOld->setFocus();
}

void TfrmCambiaPassword::fieldFocus(QLineEdit* field, bool in)
{
    PasswordWindowBase::fieldFocus(field, in);
}

void TfrmCambiaPassword::cmdOKClick()
{
    try {
        lblMemory->setText(storedPassword());
        if (lblMemory->text() != normalised(txtPasswordOld->text())) {
            msg::plain(this, QStringLiteral("Attenzione: vecchia password errata."));
            txtPasswordOld->clear();
            txtPasswordOld->setFocus();
            return;
        }
        const QString newPassword = trimmed(txtPasswordNew->text());
        if (newPassword != trimmed(txtConferma->text())) {
            msg::plain(this, QStringLiteral("Attenzione: la nuova password non \u00e8 stata confermata correttamente. "
                                            "E' necessario reinserire entrambi i valori."));
            txtPasswordNew->clear();
            txtConferma->clear();
            txtPasswordNew->setFocus();
            return;
        }
        // The scrambling keeps 8 bits a character and at most 255 of them:
        // anything else could be stored but never typed back.
        const QString value = normalised(newPassword);
        const bool fits = value.size() <= 255
            && std::all_of(value.begin(), value.end(), [](QChar c) { return c.unicode() <= 255; });
        if (!fits) {
            msg::plain(this, QStringLiteral("Attenzione: la nuova password pu\u00f2 contenere al massimo 255 caratteri, "
                                            "scelti tra lettere, cifre, lettere accentate e simboli comuni. "
                                            "E' necessario reinserire entrambi i valori."));
            txtPasswordNew->clear();
            txtConferma->clear();
            txtPasswordNew->setFocus();
            return;
        }
        IniFile(passwordFilePath()).write(kSection, kKey, Crypt::Encrypt(value));
        lblMemory->clear();
        msg::plain(this, QStringLiteral("Modifica della password completata con successo."));
        close();
    } catch (const std::exception&) {
        msg::plain(this, QStringLiteral("Attenzione: si \u00e8 verificato un errore durante la procedura di "
                                        "modifica della password. Si consiglia di reinstallare il software."));
    }
}

void TfrmCambiaPassword::cmdEsciClick()
{
    close();
}

void TfrmCambiaPassword::closeEvent(QCloseEvent* e)
{
    e->accept();
    FormClose();
}

void TfrmCambiaPassword::FormClose()
{
    auto* login = vornel::instance<TfrmPassword>();
    login->txtPassword->clear();
    login->lblMemory->clear();
    goTo(login, this);
    login->txtPassword->setFocus();
}
