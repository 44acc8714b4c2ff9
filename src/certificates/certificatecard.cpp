#include "certificates/certificatecard.h"

#include "app/core/navigation.h"
#include "app/inputrules.h"

#include "app/core/helptopics.h"
#include "app/help.h"
#include "app/look.h"
#include "app/messages.h"
#include "certificates/core/patientimport.h"
#include "certificates/printwindows.h"
#include "certificates/sporttables.h"
#include "patients/patientsearch.h"
#include "storage/archive.h"
#include "storage/clock.h"
#include "storage/inifile.h"
#include "storage/programfolder.h"
#include "storage/text.h"
#include "export/exportwindows.h"
#include "lists/certificatesearch.h"
#include "practice/historywindow.h"

#include <QKeyEvent>
#include <QShowEvent>

#include <memory>

using namespace vornel;
using namespace vornel::cards;

namespace {
const char* const kFlagField = "chkCompletato";

QString settingsPath()
{
    return programPath(QStringLiteral("Studio_Medico_Vrn.ini"));
}

QString positionText(qint64 position)
{
    return QString::number(position);
}
} // namespace

CertificateCard::CertificateCard(const Descriptor& descriptor, QWidget* parent)
    : CardWindow(QString::fromUtf8(descriptor.caption), parent), m_desc(descriptor)
{
    clock::applyProgramFormats();
    buildWindow();

    // The Enter chain and the tab order follow the record.
    for (const FieldDef& f : m_desc.archive->layout->fields()) {
        const QString name = QString::fromLatin1(f.name.data(), qsizetype(f.name.size()));
        if (QLineEdit* edit = field(name))
            m_chain.append(edit);
    }
    Q_ASSERT(m_chain.size() == m_desc.archive->layout->fieldCount() - 1 && chkCompletato);
    for (qsizetype i = 1; i < m_chain.size(); ++i)
        setTabOrder(m_chain[i - 1], m_chain[i]);
    setTabOrder(m_chain.last(), chkCompletato);

    wireControls();
}

void CertificateCard::wireControls()
{
    struct Hint {
        QWidget* control;
        const char* text;
    };
    const Hint hints[] = {
        {cmdNuovo, "Prepara la schermata per la registrazione di una nuova scheda."},
        {cmdDuplica, "Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti."},
        {cmdSalva, "Salva la scheda corrente in archivio."},
        {cmdTrova, "Trova schede in archivio."},
        {cmdStorico, "Visualizza le versioni precedenti della scheda in archivio."},
        {cmdAnteprima, "Visualizza l'anteprima di stampa del certificato medico corrente."},
        {cmdStampa, "Stampa il certificato medico corrente."},
        {cmdPrimo, "Visualizza la prima scheda in archivio."},
        {cmdIndietro, "Visualizza la scheda precedente in archivio."},
        {cmdAvanti, "Visualizza la scheda successiva in archivio."},
        {cmdUltimo, "Visualizza l'ultima scheda in archivio."},
        {cmdEsporta, "Esporta le schede in archivio in un file di Microsoft Excel."},
        {cmdDaCompletare, "Visualizza l'elenco dei certificati medici da completare."},
        {cmdGuida, "Visualizza la guida in linea."},
        {cmdEsci, "Esci dalla schermata di lavoro corrente."},
        {impPaziente, "Importa i dati dall'archivio dei pazienti."},
        {chkCompletato, "Spunta questa casella per annotare che la compilazione del certificato è stata completata."},
        {impSportRichiesto, m_desc.sportHint},
        {impSportApprovato, m_desc.sportHint},
    };
    for (const Hint& h : hints)
        if (h.control && h.text)
            m_hints->setHint(h.control, QString::fromUtf8(h.text));

    connect(cmdNuovo, &QPushButton::clicked, this, &CertificateCard::cmdNuovoClick);
    connect(cmdDuplica, &QPushButton::clicked, this, &CertificateCard::cmdDuplicaClick);
    connect(cmdSalva, &QPushButton::clicked, this, &CertificateCard::cmdSalvaClick);
    connect(cmdTrova, &QPushButton::clicked, this, &CertificateCard::cmdTrovaClick);
    connect(cmdStorico, &QPushButton::clicked, this, &CertificateCard::cmdStoricoClick);
    history::followPosition(cmdStorico, lblPosizione);
    connect(cmdAnteprima, &QPushButton::clicked, this, &CertificateCard::cmdAnteprimaClick);
    connect(cmdStampa, &QPushButton::clicked, this, &CertificateCard::cmdStampaClick);
    connect(cmdPrimo, &QPushButton::clicked, this, &CertificateCard::cmdPrimoClick);
    connect(cmdIndietro, &QPushButton::clicked, this, &CertificateCard::cmdIndietroClick);
    connect(cmdAvanti, &QPushButton::clicked, this, &CertificateCard::cmdAvantiClick);
    connect(cmdUltimo, &QPushButton::clicked, this, &CertificateCard::cmdUltimoClick);
    connect(cmdEsporta, &QPushButton::clicked, this, &CertificateCard::cmdEsportaClick);
    connect(cmdDaCompletare, &QPushButton::clicked, this, &CertificateCard::cmdDaCompletareClick);
    connect(cmdGuida, &QPushButton::clicked, this, &CertificateCard::cmdGuidaClick);
    connect(cmdEsci, &QPushButton::clicked, this, &CertificateCard::cmdEsciClick);
    if (impPaziente)
        connect(impPaziente, &QPushButton::clicked, this, &CertificateCard::impPazienteClick);
    if (impSportRichiesto)
        connect(impSportRichiesto, &QPushButton::clicked, this, &CertificateCard::impSportRichiestoClick);
    if (impSportApprovato)
        connect(impSportApprovato, &QPushButton::clicked, this, &CertificateCard::impSportApprovatoClick);

    for (QLineEdit* edit : m_chain) {
        edit->installEventFilter(this);
        // A text loaded longer than the typing limit keeps its length; the
        // limit comes back as soon as the text is short enough again.
        connect(edit, &QLineEdit::textChanged, this, [edit](const QString& text) {
            const int limit = edit->property("vornelLimit").toInt();
            if (edit->maxLength() > limit)
                edit->setMaxLength(qMax(limit, int(text.size())));
        });
    }
    // Digits only in the VAT number, pasted text included.
    vornel::input::filterEdits(field(QStringLiteral("txtIvaDent")));
    for (const char* name : {"txtProvDent", "txtCodFiscDent"}) {
        QLineEdit* edit = field(QLatin1String(name));
        connect(edit, &QLineEdit::textChanged, this, [edit] {
            vornel::input::rewrite(edit, [](const QString& s) { return trimmed(upperAscii(s)); });
        });
    }
}

// --- fields -----------------------------------------------------------------------

void CertificateCard::setFieldText(QLineEdit* edit, const QString& text)
{
    // setText would cut the text to the typing limit: a stored text longer
    // than what can be typed is shown whole.
    if (text.size() > edit->maxLength())
        edit->setMaxLength(int(text.size()));
    edit->setText(text);
    edit->setCursorPosition(0); // a long text shows its beginning, as it is read
}

bool CertificateCard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // A field left shows its text from the start again.
        if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && m_chain.contains(edit))
            vornel::input::showStartOnLeaving(edit, static_cast<QFocusEvent*>(event));
        return CardWindow::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return CardWindow::eventFilter(watched, event);
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const qsizetype at = m_chain.indexOf(edit);
    if (at < 0)
        return CardWindow::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        m_chain[(at + 1) % m_chain.size()]->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (edit->objectName() == QLatin1String("txtIvaDent"))
        return !vornel::input::keyPasses(key); // anything but a digit is swallowed
    return CardWindow::eventFilter(watched, event);
}

// --- showing and closing --------------------------------------------------------------

void CertificateCard::showEvent(QShowEvent* e)
{
    CardWindow::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void CertificateCard::FormShow()
{
    readSettings();
    cmdNuovoClick();
}

void CertificateCard::readSettings()
{
    const IniFile ini(settingsPath());
    for (const SettingKey& k : kSettingKeys.first(m_desc.remembersRegion ? 13 : 12))
        setFieldText(field(QLatin1String(k.field)), ini.read(QString::fromUtf8(k.section), QString::fromUtf8(k.key)));
}

void CertificateCard::saveOnClose()
{
    const IniFile ini(settingsPath());
    for (const SettingKey& k : kSettingKeys.first(m_desc.remembersRegion ? 13 : 12))
        ini.write(QString::fromUtf8(k.section), QString::fromUtf8(k.key), trimmed(field(QLatin1String(k.field))->text()));
}

void CertificateCard::cmdEsciClick()
{
    close();
}

// --- new, duplicate, store ------------------------------------------------------------

void CertificateCard::cmdNuovoClick()
{
    for (std::span<const Field> group : m_desc.bodyFields)
        for (const Field& f : group)
            if (f.flags & Cleared)
                setFieldText(field(QLatin1String(f.name)), QString());
    setFieldText(field(QStringLiteral("txtData")), clock::shortDate(clock::today()));
    chkCompletato->setChecked(false);
    lblPosizione->clear();
    history::refreshButton(cmdStorico, lblPosizione);
    field(QStringLiteral("txtPaziente"))->setFocus();
}

void CertificateCard::cmdDuplicaClick()
{
    if (trimmed(lblPosizione->text()).isEmpty()) {
        msg::warning(this, nav::kDuplicateNeedsStoredCard);
        return;
    }
    chkCompletato->setChecked(false);
    lblPosizione->clear();
    history::refreshButton(cmdStorico, lblPosizione);
    const bool ok = msg::guarded(this, [this] {
        Archive archive(*m_desc.archive);
        archive.open();
        archive.close();
    });
    if (!ok)
        return;
    field(QStringLiteral("txtPaziente"))->setFocus();
    msg::information(this, nav::kDuplicateReady);
}

void CertificateCard::cmdSalvaClick()
{
    for (std::span<const Requirement> list : {kCommonChecks, m_desc.extraChecks, kClosingChecks}) {
        for (const Requirement& r : list) {
            QLineEdit* edit = field(QLatin1String(r.field));
            if (trimmed(edit->text()).isEmpty()) {
                msg::warning(this, QString::fromUtf8(r.warning));
                edit->setFocus();
                return;
            }
        }
    }

    const RecordLayout& layout = *m_desc.archive->layout;
    Record record(layout);
    for (int i = 0; i < layout.fieldCount(); ++i) {
        const std::string_view name = layout.fields()[i].name;
        if (name == kFlagField)
            record.setFlag(name, chkCompletato->isChecked());
        else
            record.setText(i, field(QLatin1String(name.data(), qsizetype(name.size())))->text());
    }

    QString done;
    msg::guarded(this, [&] {
        Archive archive(*m_desc.archive);
        const bool update = !trimmed(lblPosizione->text()).isEmpty();
        const qint64 position = storeRecord(archive, record, lblPosizione->text());
        archive.close();
        lblPosizione->setText(positionText(position));
        history::refreshButton(cmdStorico, lblPosizione);
        done = update ? nav::kUpdatedMessage : nav::kInsertedMessage;
    });
    if (!done.isEmpty())
        msg::information(this, done);
}

// --- navigation ------------------------------------------------------------------------

void CertificateCard::loadRecord(const Record& record, qint64 position)
{
    const RecordLayout& layout = record.layout();
    for (int i = 0; i < layout.fieldCount(); ++i) {
        const std::string_view name = layout.fields()[i].name;
        if (name == kFlagField) {
            if (const auto flag = record.flag(name))
                chkCompletato->setChecked(*flag);
        } else if (QLineEdit* edit = field(QLatin1String(name.data(), qsizetype(name.size())))) {
            setFieldText(edit, record.text(i));
        }
    }
    lblPosizione->setText(positionText(position));
    history::refreshButton(cmdStorico, lblPosizione);
}

void CertificateCard::loadAt(Archive& archive, qint64 position)
{
    Record record(archive.layout());
    archive.seek(position - 1);
    archive.read(record);
    loadRecord(record, archive.position());
}

void CertificateCard::navigate(nav::Button button)
{
    const QString shown = lblPosizione->text();
    if (!nav::opensArchive(button, shown))
        return;
    nav::Step step;
    msg::guarded(this, [&] {
        Archive archive(*m_desc.archive);
        archive.open();
        step = nav::step(button, shown, archive.count());
        if (step.kind == nav::Step::Load)
            loadAt(archive, step.position);
    });
    if (step.clearPosition)
        lblPosizione->clear();
    history::refreshButton(cmdStorico, lblPosizione);
    if (step.kind == nav::Step::EmptyArchive)
        msg::information(this, nav::kEmptyArchiveMessage);
}

void CertificateCard::cmdPrimoClick()
{
    navigate(nav::Button::First);
}

void CertificateCard::cmdUltimoClick()
{
    navigate(nav::Button::Last);
}

void CertificateCard::cmdAvantiClick()
{
    navigate(nav::Button::Next);
}

void CertificateCard::cmdIndietroClick()
{
    navigate(nav::Button::Previous);
}

// --- other windows ---------------------------------------------------------------------

void CertificateCard::cmdAnteprimaClick()
{
    if (trimmed(lblPosizione->text()).isEmpty()) {
        msg::warning(this, QStringLiteral("Attenzione: per visualizzare l'anteprima di stampa del certificato medico "
                                          "\u00e8 prima necessario salvare la scheda."));
        return;
    }
    openPrintWindow(true);
}

void CertificateCard::cmdStampaClick()
{
    if (trimmed(lblPosizione->text()).isEmpty()) {
        msg::warning(this, QStringLiteral("Attenzione: per stampare il certificato medico \u00e8 prima necessario "
                                          "salvare la scheda."));
        return;
    }
    openPrintWindow(false);
}

void CertificateCard::openPrintWindow(bool preview)
{
    certificates::openPrintWindow(this, preview);
}

void CertificateCard::openPartnerWindow(Partner partner)
{
    switch (partner) {
    case Partner::Search: lists::openCertificateSearch(this, *m_desc.archive, m_desc.marker); break;
    case Partner::ToComplete: lists::openCertificatesToComplete(this, *m_desc.archive); break;
    case Partner::PatientImport: patients::openPatientSearch(this, QString::fromUtf8(m_desc.marker)); break;
    case Partner::Export: exporting::openExportWindow(this, *m_desc.archive); break;
    }
}

void CertificateCard::cmdTrovaClick()
{
    openPartnerWindow(Partner::Search);
}

void CertificateCard::cmdStoricoClick()
{
    history::openWindow(this, *m_desc.archive, lblPosizione->text());
}

void CertificateCard::cmdDaCompletareClick()
{
    openPartnerWindow(Partner::ToComplete);
}

void CertificateCard::cmdEsportaClick()
{
    openPartnerWindow(Partner::Export);
}

void CertificateCard::impPazienteClick()
{
    openPartnerWindow(Partner::PatientImport);
}

void CertificateCard::importPatient(const Record& patient)
{
    for (const auto& [name, value] : patientImportValues(patient, field(QStringLiteral("txtDocumento")) != nullptr))
        setFieldText(field(name), value);
}

void CertificateCard::impSportRichiestoClick()
{
    openSportTable("impSportRichiesto");
}

void CertificateCard::impSportApprovatoClick()
{
    openSportTable("impSportApprovato");
}

void CertificateCard::openSportTable(const char* button)
{
    for (const SportButton& b : m_desc.sportButtons) {
        if (qstrcmp(b.name, button) != 0)
            continue;
        std::unique_ptr<SportTableWindow> window;
        if (m_desc.sportTable == SportTable::Disabled)
            window = std::make_unique<TfrmImpSportDis>(this);
        else
            window = std::make_unique<TfrmImpSport>(this);
        window->lblMemory->setText(QString::fromUtf8(b.marker));
        window->exec();
        return;
    }
}

void CertificateCard::cmdGuidaClick()
{
    TfrmGuida::showTopic(this, help::certificates());
}
