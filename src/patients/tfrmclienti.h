#pragma once
#include "app/core/navigation.h"
#include "app/cardwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vornel {
class Record;
}
class HintTracker;

// The patient card: one patient of "Pazienti.vrn" at a time, entered, stored,
// browsed, printed and handed to the windows that hang off it. Every control
// that holds a record field bears the field's name.
class TfrmClienti : public CardWindow {
    Q_OBJECT
public:
    explicit TfrmClienti(QWidget* parent = nullptr);

    // Shows a stored record with its 1-based position, as a navigation step
    // does; the patient search and the recontact list use it too.
    void showRecord(const vornel::Record& record, qint64 position);
    void loadRecord(const vornel::Record& record, qint64 position) override { showRecord(record, position); }
    // The card's own control of a record field (by the field's name), never a
    // control of a dialog open over the card; null for any other name.
    QWidget* field(const QString& name) const { return m_fields.value(name); }

    // Section 1: personal data.
    QLineEdit* txtPaziente;
    QLineEdit* txtDataNasc;
    QLineEdit* txtComuneNasc;
    QComboBox* txtProvNasc;
    QLineEdit* txtSesso;
    QLineEdit* txtRecapito;
    QLineEdit* txtIndirizzoRes;
    QComboBox* txtProvRes;
    QLineEdit* txtComuneRes;
    QLineEdit* txtCapRes;
    QLineEdit* txtProfessione;
    QLineEdit* txtASL;
    // Section 2: contacts.
    QLineEdit* txtTelCasa;
    QLineEdit* txtTelUff;
    QLineEdit* txtTelCel;
    QLineEdit* txtFax;
    QLineEdit* txtEmail;
    QPushButton* btnEmail;
    // Section 3: documents.
    QLineEdit* txtCodFisc;
    QPushButton* btnCodFisc;
    QLineEdit* txtTessera;
    QLineEdit* txtGruppo;
    QLineEdit* txtPartitaIva;
    QPushButton* btnPartitaIva;
    QLineEdit* txtVaccinazioni;
    // Section 4: clinical situation.
    QLineEdit* txtPatologie;
    QLineEdit* txtAllergie;
    QLineEdit* txtFarmaci;
    QLineEdit* txtInterventi;
    QLineEdit* txtProtesi;
    QLineEdit* txtHandicap;
    // Section 5: pending questions and notes.
    QLineEdit* txtQuestioni;
    QCheckBox* chkRicontatta;
    QLineEdit* txtNote;
    QPushButton* btnPrivacy;

    // The attachment slots of the record, never visible.
    QLabel* lblFile01;
    QLabel* lblFile02;
    QLabel* lblFile03;
    QLabel* lblDesc01;
    QLabel* lblDesc02;
    QLabel* lblDesc03;

    // Button column.
    QPushButton* cmdNuovo;
    QPushButton* cmdDuplica;
    QPushButton* cmdSalva;
    QPushButton* cmdFile;
    QPushButton* cmdCartella;
    QPushButton* cmdTrova;
    QPushButton* cmdStampa;
    QPushButton* cmdPDF;
    QPushButton* cmdRicontatta;
    QPushButton* cmdEsporta;
    QPushButton* cmdStorico;
    QPushButton* cmdGuida;
    QPushButton* cmdEsci;

    // Status strip and navigation strip.
    QLabel* panInfo;
    QPushButton* cmdPrimo;
    QPushButton* cmdIndietro;
    QLabel* lblPosizione;
    QPushButton* cmdAvanti;
    QPushButton* cmdUltimo;

public slots:
    void FormShow();
    void cmdNuovoClick();
    void cmdDuplicaClick();
    void cmdSalvaClick();
    void cmdFileClick();
    void cmdCartellaClick();
    void cmdTrovaClick();
    void cmdStampaClick();
    void cmdPDFClick();
    void cmdRicontattaClick();
    void cmdEsportaClick();
    void cmdStoricoClick();
    void cmdGuidaClick();
    void cmdEsciClick();
    void cmdPrimoClick();
    void cmdIndietroClick();
    void cmdAvantiClick();
    void cmdUltimoClick();
    void btnEmailClick();
    void btnCodFiscClick();
    void btnPartitaIvaClick();
    void btnPrivacyClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Builds every control with its place, look, limits and hint.
    void buildLayout();
    void connectHandlers();
    void installFieldRules();
    void mapFields();

    // The data fields in the order of the Enter chain.
    const QList<QWidget*>& enterChain() const { return m_chain; }
    void moveToNextField(QWidget* field);
    void showHighlight(QWidget* field, bool visible);

    // Record <-> controls through the patient record's field table.
    void fillRecord(vornel::Record& record) const;
    void clearCard();
    // Opens the archive, reads record 'position' (1-based) and shows it.
    // The four record buttons.
    void navigate(vornel::nav::Button button);

    HintTracker* m_hints = nullptr;
    QList<QWidget*> m_chain;
    // The controls of the record fields and the highlights of the data
    // fields, taken once from the card's own controls: the dialogs opened
    // over the card are its children and name their fields alike.
    QHash<QString, QWidget*> m_fields;
    QHash<const QWidget*, QWidget*> m_highlights;
};
