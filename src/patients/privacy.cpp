#include "patients/privacy.h"

#include "app/inputrules.h"

#include "app/look.h"
#include "app/messages.h"
#include "app/shell.h"
#include "documents/privacyrtf.h"
#include "patients/core/provinces.h"
#include "storage/clock.h"
#include "storage/filelayer.h"
#include "storage/inifile.h"
#include "storage/programfolder.h"
#include "storage/text.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>

using namespace vornel;
using vornel::look::named;

namespace {

const QString kSection = QStringLiteral("Modulo Privacy");

const QColor kOfficeTint{0xD2, 0xE4, 0xF5};
const QColor kPatientTint{0xEB, 0xF1, 0xF7};

bool isEnter(const QKeyEvent* k)
{
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

QString settingsPath()
{
    return programPath(QStringLiteral("Studio_Medico_Vrn.ini"));
}

// The yellow rectangle behind a field, shown while the field has the focus.
QWidget* highlight(QWidget* parent, const QString& name, const QRect& fieldGeometry)
{
    auto* eff = new QWidget(parent);
    eff->setObjectName(name);
    eff->setGeometry(fieldGeometry.adjusted(-3, -3, 3, 3));
    eff->setStyleSheet(QStringLiteral("background: #FFFF00;"
                                      " border: 2px solid qlineargradient(x1:0,y1:0,x2:1,y2:1, stop:0 #FFFF00, stop:1 #FFFFFF);"
                                      " border-radius: 3px;"));
    eff->setAttribute(Qt::WA_StyledBackground);
    eff->hide();
    return eff;
}

QLabel* caption(QWidget* parent, const QString& text, const QRect& g, Qt::Alignment align = Qt::AlignLeft)
{
    auto* l = new QLabel(text, parent);
    // Room for two lines beside a field.
    l->setGeometry(g.adjusted(0, -4, 0, 4));
    l->setFont(look::font(QStringLiteral("Verdana"), 8, true));
    l->setStyleSheet(QStringLiteral("color: #1F3F6B;"));
    l->setAlignment(align | Qt::AlignVCenter);
    l->setWordWrap(true);
    return l;
}

QWidget* group(QWidget* parent, const QRect& g, const QColor& tint)
{
    auto* w = new QWidget(parent);
    w->setGeometry(g);
    look::setBand(w, tint, QColor(0xA9, 0xC4, 0xE0));
    return w;
}

QPushButton* button(const QString& text, const char* name, const QRect& g, QWidget* parent, const QString& art)
{
    auto* b = named(new QPushButton(text, parent), name);
    b->setGeometry(g);
    b->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    b->setCursor(Qt::PointingHandCursor);
    // No default button; Enter on the focused button presses it, as Space does.
    b->setAutoDefault(false);
    look::pressOnEnter({b});
    b->setIcon(QIcon(look::picture(art, QSize(20, 20))));
    b->setIconSize(QSize(20, 20));
    return b;
}

} // namespace

QString TfrmPrivacy::documentPath()
{
    return programPath(QStringLiteral("Modulo_Privacy.rtf"));
}

TfrmPrivacy::TfrmPrivacy(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Esporta e stampa Modulo Privacy"));
    look::makeFixed(this, 553, 611);
    look::setGradient(this, Qt::white, QColor(0xBF, 0xD8, 0xEF));

    auto* panel = new QWidget(this);
    panel->setGeometry(10, 10, 533, 591);
    look::setBand(panel, Qt::white, QColor(0xA9, 0xC4, 0xE0));

    auto* heading = new QLabel(QStringLiteral("CONSENSO AL TRATTAMENTO DEI DATI PERSONALI"), panel);
    heading->setGeometry(25, 12, 482, 24);
    heading->setAlignment(Qt::AlignCenter);
    heading->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    heading->setStyleSheet(QStringLiteral("color: white; border-radius: 3px; background: qlineargradient("
                                          "x1:0,y1:0,x2:1,y2:0, stop:0 #1F4E79, stop:0.5 #427AA8, stop:1 #1F4E79);"));

    const QFont fieldFont = look::font(QStringLiteral("Verdana"), 12, true);
    const QStringList provinces = provinceCodes();
    // The tax codes need room for 16 bold capitals; the CAP for 5 digits.
    constexpr int kCodeX = 282, kCapX = 441;
    constexpr int kRow = 36, kField = 26, kLabelW = 100, kFieldX = 112, kRight = 503;

    // Each field sits in a group; its highlight is created first so it lies behind.
    auto line = [&](QWidget* g, const char* name, const QRect& r) {
        highlights.push_back(highlight(g, QStringLiteral("eff") + QLatin1String(name + 3), r));
        auto* e = named(new QLineEdit(g), name);
        e->setGeometry(r);
        e->setFont(fieldFont);
        e->setStyleSheet(QStringLiteral("QLineEdit { background: white; border: 1px solid %1; }")
                             .arg(look::kSkyBlue.name()));
        m_ring.push_back(e);
        return e;
    };
    auto province = [&](QWidget* g, const char* name, const QRect& r) {
        highlights.push_back(highlight(g, QStringLiteral("eff") + QLatin1String(name + 3), r));
        auto* c = named(new QComboBox(g), name);
        c->setGeometry(r);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        // What the user types is what is stored: no inline completion.
        c->setCompleter(nullptr);
        c->addItems(provinces);
        c->setCurrentIndex(-1);
        c->setFont(fieldFont);
        c->lineEdit()->setMaxLength(2);
        m_ring.push_back(c);
        return c;
    };
    auto rowY = [&](int row) { return 8 + row * kRow; };

    // Office: name; telephones; VAT number and tax code; town and province; street and CAP.
    auto* office = group(panel, QRect(10, 44, 513, 8 + 5 * kRow), kOfficeTint);
    caption(office, QStringLiteral("Studio Medico:"), QRect(10, rowY(0), kLabelW, kField));
    txtStudioDent = line(office, "txtStudioDent", QRect(kFieldX, rowY(0), kRight - kFieldX, kField));
    caption(office, QStringLiteral("Recapiti telefonici:"), QRect(10, rowY(1), kLabelW, kField));
    txtTelDent = line(office, "txtTelDent", QRect(kFieldX, rowY(1), kRight - kFieldX, kField));
    caption(office, QStringLiteral("Partita IVA:"), QRect(10, rowY(2), kLabelW, kField));
    txtIvaDent = line(office, "txtIvaDent", QRect(kFieldX, rowY(2), kCodeX - 32 - kFieldX, kField));
    caption(office, QStringLiteral("C.F."), QRect(kCodeX - 30, rowY(2), 26, kField), Qt::AlignRight);
    txtCodFiscDent = line(office, "txtCodFiscDent", QRect(kCodeX, rowY(2), kRight - kCodeX, kField));
    caption(office, QStringLiteral("Comune sede legale:"), QRect(10, rowY(3), kLabelW, kField));
    txtCittaDent = line(office, "txtCittaDent", QRect(kFieldX, rowY(3), kRight - kFieldX - 62, kField));
    txtProvDent = province(office, "txtProvDent", QRect(kRight - 54, rowY(3), 54, kField));
    caption(office, QStringLiteral("Via e numero civico:"), QRect(10, rowY(4), kLabelW, kField));
    txtIndirizzoDent = line(office, "txtIndirizzoDent", QRect(kFieldX, rowY(4), kCapX - 44 - kFieldX, kField));
    caption(office, QStringLiteral("CAP:"), QRect(kCapX - 40, rowY(4), 36, kField), Qt::AlignRight);
    txtCapDent = line(office, "txtCapDent", QRect(kCapX, rowY(4), kRight - kCapX, kField));

    // Patient: name; birth town and province; birth date and tax code;
    // residence town and province; street and CAP; telephone and controller.
    auto* patient = group(panel, QRect(10, 44 + 8 + 5 * kRow + 8, 513, 8 + 6 * kRow), kPatientTint);
    caption(patient, QStringLiteral("Cognome e nome Paziente:"), QRect(10, rowY(0), kLabelW, kField));
    txtPaziente = line(patient, "txtPaziente", QRect(kFieldX, rowY(0), kRight - kFieldX, kField));
    caption(patient, QStringLiteral("Comune di nascita:"), QRect(10, rowY(1), kLabelW, kField));
    txtComuneNasc = line(patient, "txtComuneNasc", QRect(kFieldX, rowY(1), kRight - kFieldX - 62, kField));
    txtProvNasc = province(patient, "txtProvNasc", QRect(kRight - 54, rowY(1), 54, kField));
    caption(patient, QStringLiteral("Data di nascita:"), QRect(10, rowY(2), kLabelW, kField));
    txtDataNasc = line(patient, "txtDataNasc", QRect(kFieldX, rowY(2), kCodeX - 32 - kFieldX, kField));
    caption(patient, QStringLiteral("C.F."), QRect(kCodeX - 30, rowY(2), 26, kField), Qt::AlignRight);
    txtCodFisc = line(patient, "txtCodFisc", QRect(kCodeX, rowY(2), kRight - kCodeX, kField));
    caption(patient, QStringLiteral("Comune di residenza:"), QRect(10, rowY(3), kLabelW, kField));
    txtComuneRes = line(patient, "txtComuneRes", QRect(kFieldX, rowY(3), kRight - kFieldX - 62, kField));
    txtProvRes = province(patient, "txtProvRes", QRect(kRight - 54, rowY(3), 54, kField));
    caption(patient, QStringLiteral("Via e numero civico:"), QRect(10, rowY(4), kLabelW, kField));
    txtIndirizzo = line(patient, "txtIndirizzo", QRect(kFieldX, rowY(4), kCapX - 44 - kFieldX, kField));
    caption(patient, QStringLiteral("CAP:"), QRect(kCapX - 40, rowY(4), 36, kField), Qt::AlignRight);
    txtCapRes = line(patient, "txtCapRes", QRect(kCapX, rowY(4), kRight - kCapX, kField));
    caption(patient, QStringLiteral("Tel."), QRect(10, rowY(5), 36, kField));
    txtRecapito = line(patient, "txtRecapito", QRect(50, rowY(5), kCodeX - 90 - 50, kField));
    caption(patient, QStringLiteral("Titolare Privacy:"), QRect(kCodeX - 84, rowY(5), 80, kField), Qt::AlignRight);
    txtPrivacy = line(patient, "txtPrivacy", QRect(kCodeX, rowY(5), kRight - kCodeX, kField));

    // Place and date.
    auto* place = group(panel, QRect(10, patient->geometry().bottom() + 9, 513, 8 + kRow), kOfficeTint);
    caption(place, QStringLiteral("Data:"), QRect(10, rowY(0), 44, kField));
    txtData = line(place, "txtData", QRect(58, rowY(0), 136, kField));
    caption(place, QStringLiteral("Luogo:"), QRect(206, rowY(0), 56, kField), Qt::AlignRight);
    txtLuogo = line(place, "txtLuogo", QRect(267, rowY(0), kRight - 267, kField));

    btnChiudi = button(QStringLiteral("Chiudi"), "btnChiudi", QRect(25, 545, 146, 30), panel, QStringLiteral("btn_esci"));
    btnRTF = button(QStringLiteral("Crea file RTF"), "btnRTF", QRect(361, 545, 146, 30), panel, QStringLiteral("btn_esporta"));

    // Tab order follows the field table, then the two buttons.
    for (size_t i = 1; i < m_ring.size(); ++i)
        setTabOrder(m_ring[i - 1], m_ring[i]);
    setTabOrder(m_ring.back(), btnChiudi);
    setTabOrder(btnChiudi, btnRTF);

    for (QWidget* w : m_ring)
        w->installEventFilter(this);
    // Numbers only in the office VAT field, pasted text included.
    vornel::input::filterEdits(txtIvaDent);
    // Typed tax codes and province codes: trimmed capitals as they are typed.
    for (QLineEdit* e : {txtCodFiscDent, txtCodFisc}) {
        connect(e, &QLineEdit::textEdited, this, [e] {
            vornel::input::rewrite(e, [](const QString& s) { return trimmed(upperAscii(s)); });
        });
    }
    for (QComboBox* c : {txtProvDent, txtProvNasc, txtProvRes}) {
        connect(c->lineEdit(), &QLineEdit::textEdited, this, [c](const QString& text) {
            const QString wanted = trimmed(upperAscii(text));
            if (wanted != text) {
                const int cursor = c->lineEdit()->cursorPosition();
                c->setEditText(wanted);
                c->lineEdit()->setCursorPosition(qMin(cursor, int(wanted.size())));
            }
        });
    }

    FormCreate();
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmPrivacy::btnChiudiClick);
    connect(btnRTF, &QPushButton::clicked, this, &TfrmPrivacy::btnRTFClick);
}

void TfrmPrivacy::FormCreate()
{
    txtStudioDent->setMaxLength(250);
    txtTelDent->setMaxLength(250);
    txtIvaDent->setMaxLength(11);
    txtCodFiscDent->setMaxLength(16);
    txtCittaDent->setMaxLength(120);
    txtIndirizzoDent->setMaxLength(250);
    txtCapDent->setMaxLength(5);
    txtData->setMaxLength(10);
    txtLuogo->setMaxLength(120);
    // The card sets the date again when it opens the window.
    txtData->setText(clock::shortDate(clock::today()));
}

void TfrmPrivacy::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // A window restored from the taskbar keeps what the user typed.
    if (e->spontaneous())
        return;
    look::centreOnScreen(this);
    FormShow();
}

void TfrmPrivacy::FormShow()
{
    for (QComboBox* c : {txtProvDent, txtProvNasc, txtProvRes}) {
        const QString text = c->currentText();
        c->lineEdit()->setMaxLength(2);
        c->setCurrentIndex(-1);
        c->setEditText(text);
    }
    const IniFile ini(settingsPath());
    // Values longer than a field accepts are shown whole: the limit is for typing.
    auto load = [&](QLineEdit* e, const char* key) {
        const QString v = ini.read(kSection, QLatin1String(key));
        e->setMaxLength(qMax(e->maxLength(), int(v.size())));
        e->setText(v);
        e->setCursorPosition(0); // a long letterhead shows its beginning
    };
    load(txtStudioDent, "Studio Medico");
    load(txtCittaDent, "Comune Sede");
    txtProvDent->setEditText(ini.read(kSection, QStringLiteral("Provincia Sede")));
    load(txtCapDent, "Cap Sede");
    load(txtIndirizzoDent, "Via Sede");
    load(txtCodFiscDent, "Codice Fiscale Studio");
    load(txtIvaDent, "Partita Iva Studio");
    load(txtTelDent, "Recapiti Studio");
    load(txtPrivacy, "Titolare Privacy");
    load(txtLuogo, "Luogo");
    activateWindow();
    txtStudioDent->setFocus();
}

bool TfrmPrivacy::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = qobject_cast<QWidget*>(watched);
    const auto it = std::find(m_ring.begin(), m_ring.end(), field);
    if (it == m_ring.end())
        return QDialog::eventFilter(watched, event);
    const size_t index = size_t(it - m_ring.begin());
    auto* combo = qobject_cast<QComboBox*>(field);

    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (isEnter(k)) {
            // Enter moves along the ring, from the last field back to the first.
            m_ring[(index + 1) % m_ring.size()]->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (field == txtIvaDent) {
            return !vornel::input::keyPasses(k);
        }
        break;
    }
    case QEvent::FocusIn:
        if (combo) {
            // A box about to get the focus loses its list selection, not its text.
            const QString text = combo->currentText();
            combo->setCurrentIndex(-1);
            combo->setEditText(text);
        }
        highlights[index]->show();
        break;
    case QEvent::FocusOut:
        if (combo)
            combo->setEditText(trimmed(upperAscii(combo->currentText())));
        highlights[index]->hide();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmPrivacy::btnRTFClick()
{
    if (!msg::confirm(this, QStringLiteral("Questa procedura esporter\u00e0 il modulo per il consenso al trattamento dei "
                                           "dati personali in un documento in formato RTF.\r\n\r\n"
                                           "Si conferma la creazione del file?")))
        return;

    privacyrtf::Values v;
    v.txtStudioDent = txtStudioDent->text();
    v.txtTelDent = txtTelDent->text();
    v.txtIvaDent = txtIvaDent->text();
    v.txtCodFiscDent = txtCodFiscDent->text();
    v.txtCittaDent = txtCittaDent->text();
    v.txtProvDent = txtProvDent->currentText();
    v.txtIndirizzoDent = txtIndirizzoDent->text();
    v.txtCapDent = txtCapDent->text();
    v.txtPaziente = txtPaziente->text();
    v.txtComuneNasc = txtComuneNasc->text();
    v.txtProvNasc = txtProvNasc->currentText();
    v.txtDataNasc = txtDataNasc->text();
    v.txtCodFisc = txtCodFisc->text();
    v.txtComuneRes = txtComuneRes->text();
    v.txtProvRes = txtProvRes->currentText();
    v.txtIndirizzo = txtIndirizzo->text();
    v.txtCapRes = txtCapRes->text();
    v.txtRecapito = txtRecapito->text();
    v.txtPrivacy = txtPrivacy->text();
    v.txtData = txtData->text();
    v.txtLuogo = txtLuogo->text();

    // Written beside the old document and then put in its place, so a
    // document locked by a word processor is left whole.
    try {
        files::writeWhole(documentPath(), privacyrtf::document(v));
    } catch (const files::FileError&) {
        msg::plain(this, QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                                        "Accertarsi che il documento non sia gi\u00e0 aperto."));
        return;
    }

    if (msg::confirm(this, QStringLiteral("Il file del modulo per il trattamento dei dati personali \u00e8 stato creato "
                                          "con successo.\r\n\r\nSi vuole aprire il documento?")))
        TMisc::OpenFile(this, documentPath());
}

void TfrmPrivacy::btnChiudiClick()
{
    const IniFile ini(settingsPath());
    try {
        ini.write(kSection, QStringLiteral("Studio Medico"), trimmed(txtStudioDent->text()));
        ini.write(kSection, QStringLiteral("Comune Sede"), trimmed(txtCittaDent->text()));
        ini.write(kSection, QStringLiteral("Provincia Sede"), trimmed(txtProvDent->currentText()));
        ini.write(kSection, QStringLiteral("Cap Sede"), trimmed(txtCapDent->text()));
        ini.write(kSection, QStringLiteral("Via Sede"), trimmed(txtIndirizzoDent->text()));
        ini.write(kSection, QStringLiteral("Codice Fiscale Studio"), trimmed(txtCodFiscDent->text()));
        ini.write(kSection, QStringLiteral("Partita Iva Studio"), trimmed(txtIvaDent->text()));
        ini.write(kSection, QStringLiteral("Recapiti Studio"), trimmed(txtTelDent->text()));
        ini.write(kSection, QStringLiteral("Titolare Privacy"), trimmed(txtPrivacy->text()));
        ini.write(kSection, QStringLiteral("Luogo"), trimmed(txtLuogo->text()));
    } catch (const IniWriteError& e) {
        // The window stays open so nothing typed is lost, unless the user
        // chooses to leave without the office data.
        msg::error(this, QString::fromUtf8(e.what()));
        if (!msg::closeWithoutOfficeData(this))
            return;
    }
    m_closing = true;
    accept();
}

void TfrmPrivacy::closeEvent(QCloseEvent* e)
{
    // Any other request to close (the system's close command) goes the way
    // of Chiudi, so the office data typed here are remembered too.
    e->ignore();
    if (!m_closing)
        btnChiudiClick();
}

void TfrmPrivacy::keyPressEvent(QKeyEvent* e)
{
    // Escape would leave without remembering the office data.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
