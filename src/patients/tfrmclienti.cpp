// The patient card's behaviour: field rules, the record on the card, storing
// and browsing "Pazienti.vrn".
#include "patients/tfrmclienti.h"

#include "app/core/navigation.h"
#include "app/inputrules.h"

#include "app/core/helptopics.h"
#include "app/help.h"
#include "app/messages.h"
#include "app/shell.h"
#include "patients/fieldtext.h"
#include "practice/historywindow.h"
#include "storage/archive.h"
#include "storage/clock.h"
#include "storage/records.h"
#include "storage/text.h"

#include <QKeyEvent>
#include <QShowEvent>

using namespace vornel;

namespace {

const RecordLayout& patientLayout()
{
    return layouts::TSchedaPaziente;
}

QString trimmedUpper(const QString& s)
{
    return trimmed(upperAscii(s));
}

} // namespace

TfrmClienti::TfrmClienti(QWidget* parent) : CardWindow(QStringLiteral(" Vornel - Archivio Pazienti"), parent)
{
    clock::applyProgramFormats();
    buildLayout();
    installFieldRules();
    connectHandlers();
    mapFields();
}

void TfrmClienti::mapFields()
{
    QList<QWidget*> controls = enterChain();
    controls << chkRicontatta << lblFile01 << lblFile02 << lblFile03 << lblDesc01 << lblDesc02 << lblDesc03;
    for (QWidget* control : controls)
        m_fields.insert(control->objectName(), control);
    for (QWidget* field : enterChain()) {
        // The highlight is named after the field ("eff" + the part after
        // "txt") and stands beside it; "txtInterventi" has "effinterventi".
        QString name = QStringLiteral("eff") + field->objectName().mid(3);
        if (field == txtInterventi)
            name = QStringLiteral("effinterventi");
        if (auto* eff = field->parentWidget()->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly))
            m_highlights.insert(field, eff);
    }
}

// --- field rules ------------------------------------------------------------

void TfrmClienti::installFieldRules()
{
    m_chain = {txtPaziente,   txtDataNasc,   txtComuneNasc, txtProvNasc,     txtSesso,       txtRecapito,
               txtIndirizzoRes, txtProvRes,  txtComuneRes,  txtCapRes,       txtProfessione, txtASL,
               txtTelCasa,    txtTelUff,     txtTelCel,     txtFax,          txtEmail,       txtCodFisc,
               txtTessera,    txtGruppo,     txtPartitaIva, txtVaccinazioni, txtPatologie,   txtAllergie,
               txtFarmaci,    txtInterventi, txtProtesi,    txtHandicap,     txtQuestioni,   txtNote};
    const QList<QWidget*>& chain = m_chain;
    for (QWidget* field : chain) {
        field->installEventFilter(this);
        if (auto* combo = qobject_cast<QComboBox*>(field))
            combo->lineEdit()->installEventFilter(this);
    }

    // Tab order: the Enter chain with the recontact box before the notes.
    QList<QWidget*> tabs = chain;
    tabs.insert(tabs.indexOf(txtNote), chkRicontatta);
    for (qsizetype i = 1; i < tabs.size(); ++i)
        setTabOrder(tabs[i - 1], tabs[i]);

    // Rewrites after every change of text.
    const auto upper = [](const QString& s) { return upperAscii(s); };
    const auto trim = [](const QString& s) { return trimmed(s); };
    connect(txtCodFisc, &QLineEdit::textChanged, this, [this] { input::rewrite(txtCodFisc, trimmedUpper); });
    connect(txtSesso, &QLineEdit::textChanged, this, [this, upper] { input::rewrite(txtSesso, upper); });
    connect(txtCapRes, &QLineEdit::textChanged, this, [this, upper] { input::rewrite(txtCapRes, upper); });
    connect(txtEmail, &QLineEdit::textChanged, this, [this, trim] { input::rewrite(txtEmail, trim); });
    connect(txtFax, &QLineEdit::textChanged, this, [this, trim] { input::rewrite(txtFax, trim); });
    for (QComboBox* combo : {txtProvNasc, txtProvRes})
        connect(combo, &QComboBox::editTextChanged, this, [combo] { input::rewrite(combo->lineEdit(), trimmedUpper); });

    // What the user pastes into the tax code and the VAT number passes the
    // same filter as what is typed.
    input::filterEdits(txtCodFisc, true);
    input::filterEdits(txtPartitaIva);
}

bool TfrmClienti::eventFilter(QObject* watched, QEvent* event)
{
    // A combo's own edit reports for the combo.
    QWidget* field = qobject_cast<QWidget*>(watched);
    if (auto* inner = qobject_cast<QLineEdit*>(watched); inner && qobject_cast<QComboBox*>(inner->parentWidget()))
        field = inner->parentWidget();
    if (!field || !enterChain().contains(field))
        return CardWindow::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched == field) {
            if (auto* combo = qobject_cast<QComboBox*>(field)) {
                // Taking the focus resets the list selection; the text stays.
                const QString text = combo->currentText();
                combo->setCurrentIndex(-1);
                combo->setEditText(text);
            }
        }
        showHighlight(field, true);
        break;
    case QEvent::FocusOut:
        if (watched == field) {
            showHighlight(field, false);
            if (field == txtEmail)
                input::rewrite(txtEmail, [](const QString& s) { return trimmed(s); });
            else if (auto* combo = qobject_cast<QComboBox*>(field))
                input::rewrite(combo->lineEdit(), trimmedUpper);
            // Narrow fields show the start of a long text, not where typing ended.
            auto* combo = qobject_cast<QComboBox*>(field);
            input::showStartOnLeaving(combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(field),
                                      static_cast<QFocusEvent*>(event));
        }
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            moveToNextField(field);
            return true;
        }
        if (field == txtCodFisc && !input::keyPasses(key, true))
            return true;
        if (field == txtPartitaIva && !input::keyPasses(key))
            return true;
        break;
    }
    default:
        break;
    }
    return CardWindow::eventFilter(watched, event);
}

void TfrmClienti::moveToNextField(QWidget* field)
{
    const QList<QWidget*>& chain = enterChain();
    const qsizetype i = chain.indexOf(field);
    chain[(i + 1) % chain.size()]->setFocus(Qt::TabFocusReason);
}

void TfrmClienti::showHighlight(QWidget* field, bool visible)
{
    if (QWidget* eff = m_highlights.value(field))
        eff->setVisible(visible);
}

// --- record and card --------------------------------------------------------

void TfrmClienti::fillRecord(Record& record) const
{
    const RecordLayout& layout = patientLayout();
    for (int i = 0; i < layout.fieldCount(); ++i) {
        const QString name = QString::fromLatin1(layout.fields()[i].name);
        const QWidget* control = field(name);
        if (auto* check = qobject_cast<const QCheckBox*>(control))
            record.setFlag(layout.fields()[i].name, check->isChecked());
        else
            record.setText(i, fields::text(control));
    }
}

void TfrmClienti::showRecord(const Record& record, qint64 position)
{
    const RecordLayout& layout = patientLayout();
    for (int i = 0; i < layout.fieldCount(); ++i) {
        const std::string_view field = layout.fields()[i].name;
        QWidget* control = this->field(QString::fromLatin1(field));
        if (auto* check = qobject_cast<QCheckBox*>(control)) {
            // A flag that is neither "Sì" nor "No" leaves the box as it was.
            if (const std::optional<bool> flag = record.flag(field))
                check->setChecked(*flag);
        } else {
            fields::setText(control, record.text(i));
        }
    }
    lblPosizione->setText(QString::number(position));
    history::refreshButton(cmdStorico, lblPosizione);
}

void TfrmClienti::clearCard()
{
    for (QWidget* field : enterChain())
        fields::setText(field, QString());
    for (QComboBox* combo : {txtProvNasc, txtProvRes})
        combo->setCurrentIndex(-1);
    chkRicontatta->setChecked(false);
    for (QLabel* slot : {lblFile01, lblFile02, lblFile03, lblDesc01, lblDesc02, lblDesc03})
        slot->clear();
    lblPosizione->clear();
    history::refreshButton(cmdStorico, lblPosizione);
    txtPaziente->setFocus(Qt::OtherFocusReason);
}

// --- handlers ---------------------------------------------------------------

void TfrmClienti::connectHandlers()
{
    connect(cmdNuovo, &QPushButton::clicked, this, &TfrmClienti::cmdNuovoClick);
    connect(cmdDuplica, &QPushButton::clicked, this, &TfrmClienti::cmdDuplicaClick);
    connect(cmdSalva, &QPushButton::clicked, this, &TfrmClienti::cmdSalvaClick);
    connect(cmdFile, &QPushButton::clicked, this, &TfrmClienti::cmdFileClick);
    connect(cmdCartella, &QPushButton::clicked, this, &TfrmClienti::cmdCartellaClick);
    connect(cmdTrova, &QPushButton::clicked, this, &TfrmClienti::cmdTrovaClick);
    connect(cmdStampa, &QPushButton::clicked, this, &TfrmClienti::cmdStampaClick);
    connect(cmdPDF, &QPushButton::clicked, this, &TfrmClienti::cmdPDFClick);
    connect(cmdRicontatta, &QPushButton::clicked, this, &TfrmClienti::cmdRicontattaClick);
    connect(cmdEsporta, &QPushButton::clicked, this, &TfrmClienti::cmdEsportaClick);
    connect(cmdStorico, &QPushButton::clicked, this, &TfrmClienti::cmdStoricoClick);
    history::followPosition(cmdStorico, lblPosizione);
    connect(cmdGuida, &QPushButton::clicked, this, &TfrmClienti::cmdGuidaClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmClienti::cmdEsciClick);
    connect(cmdPrimo, &QPushButton::clicked, this, &TfrmClienti::cmdPrimoClick);
    connect(cmdIndietro, &QPushButton::clicked, this, &TfrmClienti::cmdIndietroClick);
    connect(cmdAvanti, &QPushButton::clicked, this, &TfrmClienti::cmdAvantiClick);
    connect(cmdUltimo, &QPushButton::clicked, this, &TfrmClienti::cmdUltimoClick);
    connect(btnEmail, &QPushButton::clicked, this, &TfrmClienti::btnEmailClick);
    connect(btnCodFisc, &QPushButton::clicked, this, &TfrmClienti::btnCodFiscClick);
    connect(btnPartitaIva, &QPushButton::clicked, this, &TfrmClienti::btnPartitaIvaClick);
    connect(btnPrivacy, &QPushButton::clicked, this, &TfrmClienti::btnPrivacyClick);
}

void TfrmClienti::showEvent(QShowEvent* event)
{
    CardWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmClienti::FormShow()
{
    // Every visit starts from a blank card.
    clearCard();
}

void TfrmClienti::cmdNuovoClick()
{
    clearCard();
}

void TfrmClienti::cmdSalvaClick()
{
    struct Required {
        QLineEdit* field;
        const char* warning;
    };
    const Required required[] = {
        {txtPaziente, "Attenzione: per salvare la scheda \u00e8 necessario indicare il nome del paziente."},
        {txtRecapito, "Attenzione: per salvare la scheda \u00e8 necessario indicare il recapito telefonico "
                      "preferenziale del paziente."},
        {txtCodFisc, "Attenzione: per salvare la scheda \u00e8 necessario indicare il codice fiscale del paziente."},
    };
    for (const Required& r : required) {
        if (trimmed(r.field->text()).isEmpty()) {
            msg::warning(this, QString::fromUtf8(r.warning));
            r.field->setFocus(Qt::OtherFocusReason);
            return;
        }
    }

    Record record(patientLayout());
    fillRecord(record);
    const bool update = !trimmed(lblPosizione->text()).isEmpty();
    const bool stored = msg::guarded(this, [&] {
        Archive archive(archives::Pazienti);
        const qint64 position = storeRecord(archive, record, lblPosizione->text());
        archive.close();
        lblPosizione->setText(QString::number(position));
        history::refreshButton(cmdStorico, lblPosizione);
    });
    if (stored)
        msg::information(this, update ? nav::kUpdatedMessage : nav::kInsertedMessage);
}

void TfrmClienti::cmdDuplicaClick()
{
    if (trimmed(lblPosizione->text()).isEmpty()) {
        msg::warning(this, nav::kDuplicateNeedsStoredCard);
        return;
    }
    // The copy keeps the patient's data and the recontact box, not the
    // attachments, and becomes a new card.
    for (QLabel* slot : {lblFile01, lblFile02, lblFile03, lblDesc01, lblDesc02, lblDesc03})
        slot->clear();
    lblPosizione->clear();
    history::refreshButton(cmdStorico, lblPosizione);
    const bool ok = msg::guarded(this, [] {
        Archive archive(archives::Pazienti);
        archive.open();
        archive.close();
    });
    if (!ok)
        return;
    txtPaziente->setFocus(Qt::OtherFocusReason);
    msg::information(this, nav::kDuplicateReady);
}

void TfrmClienti::navigate(nav::Button button)
{
    const QString shown = lblPosizione->text();
    if (!nav::opensArchive(button, shown))
        return;
    nav::Step step;
    msg::guarded(this, [&] {
        Archive archive(archives::Pazienti);
        archive.open();
        step = nav::step(button, shown, archive.count());
        if (step.kind == nav::Step::Load) {
            archive.seek(step.position - 1);
            Record record(patientLayout());
            archive.read(record);
            showRecord(record, archive.position());
        }
    });
    if (step.clearPosition)
        lblPosizione->clear();
    history::refreshButton(cmdStorico, lblPosizione);
    if (step.kind == nav::Step::EmptyArchive)
        msg::information(this, nav::kEmptyArchiveMessage);
}

void TfrmClienti::cmdStoricoClick()
{
    history::openWindow(this, archives::Pazienti, lblPosizione->text());
}

void TfrmClienti::cmdPrimoClick()
{
    navigate(nav::Button::First);
}

void TfrmClienti::cmdUltimoClick()
{
    navigate(nav::Button::Last);
}

void TfrmClienti::cmdAvantiClick()
{
    navigate(nav::Button::Next);
}

void TfrmClienti::cmdIndietroClick()
{
    navigate(nav::Button::Previous);
}

void TfrmClienti::cmdEsciClick()
{
    close();
}

void TfrmClienti::cmdGuidaClick()
{
    TfrmGuida::showTopic(this, help::patients());
}

void TfrmClienti::btnEmailClick()
{
    TMisc::Open(QStringLiteral("\"mailto:%1\"").arg(trimmed(txtEmail->text())));
}
