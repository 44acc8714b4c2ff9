#pragma once
#include "app/core/navigation.h"
#include "app/cardwindow.h"
#include "certificates/carddescriptor.h"

#include <QCheckBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPushButton>

class HintTracker;
namespace vornel {
class Archive;
}

// The certificate card: one window for the four kinds of certificate,
// configured by the kind's descriptor. It fills in, stores, browses,
// duplicates and prints one certificate at a time, straight on its archive.
class CertificateCard : public CardWindow {
    Q_OBJECT
public:
    CertificateCard(const vornel::cards::Descriptor& descriptor, QWidget* parent);

    const vornel::cards::Descriptor& descriptor() const { return m_desc; }

    // The card's data field of that name (nullptr when the kind has none).
    QLineEdit* field(const QString& name) const { return m_fields.value(name); }
    // Every data field in record order (the Enter chain).
    const QList<QLineEdit*>& fields() const { return m_chain; }

    // Shows a stored certificate with its 1-based position: every text field
    // into the control of the same name, the flag into chkCompletato.
    void loadRecord(const vornel::Record& record, qint64 position) override;
    // Fills the card's patient fields from a patient record (the patient
    // import); nothing else of the card changes.
    void importPatient(const vornel::Record& patient);

    QPushButton* cmdNuovo;
    QPushButton* cmdDuplica;
    QPushButton* cmdSalva;
    QPushButton* cmdTrova;
    QPushButton* cmdStorico;
    QPushButton* cmdAnteprima;
    QPushButton* cmdStampa;
    QPushButton* cmdPrimo;
    QPushButton* cmdIndietro;
    QLabel* lblPosizione;
    QPushButton* cmdAvanti;
    QPushButton* cmdUltimo;
    QPushButton* cmdEsporta;
    QPushButton* cmdDaCompletare;
    QPushButton* cmdGuida;
    QPushButton* cmdEsci;
    QPushButton* impPaziente = nullptr;
    QPushButton* impSportRichiesto = nullptr;
    QPushButton* impSportApprovato = nullptr;
    QCheckBox* chkCompletato = nullptr;
    QLabel* panInfo;

public slots:
    void FormShow();
    void cmdNuovoClick();
    void cmdDuplicaClick();
    void cmdSalvaClick();
    void cmdPrimoClick();
    void cmdIndietroClick();
    void cmdAvantiClick();
    void cmdUltimoClick();
    void cmdTrovaClick();
    void cmdStoricoClick();
    void cmdDaCompletareClick();
    void cmdEsportaClick();
    void cmdAnteprimaClick();
    void cmdStampaClick();
    void impPazienteClick();
    void impSportRichiestoClick();
    void impSportApprovatoClick();
    void cmdGuidaClick();
    void cmdEsciClick();

protected:
    // The windows of the search, the list of certificates to complete, the
    // export and the patient import are opened here by the card's kind.
    enum class Partner { Search, ToComplete, Export, PatientImport };
    virtual void openPartnerWindow(Partner partner);
    // The print (preview = false) or preview window of the card's kind,
    // opened once the card shows a stored certificate.
    virtual void openPrintWindow(bool preview);

    void saveOnClose() override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void buildBody(QWidget* area);
    QLineEdit* addField(const vornel::cards::Field& def, QWidget* parent, const QRect& geometry);
    QPushButton* addImportButton(const char* name, QWidget* parent, const QRect& geometry);
    void wireControls();

    void setFieldText(QLineEdit* edit, const QString& text);
    void readSettings();
    void loadAt(vornel::Archive& archive, qint64 position);
    // The four record buttons.
    void navigate(vornel::nav::Button button);
    void openSportTable(const char* button);

    const vornel::cards::Descriptor& m_desc;
    QHash<QString, QLineEdit*> m_fields;
    QList<QLineEdit*> m_chain;
    HintTracker* m_hints = nullptr;
};
