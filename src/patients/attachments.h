#pragma once
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

class ClickablePicture;

// Up to three files attached to the patient card: each is copied into the
// shared "Documenti_Allegati" folder and kept with a free description.
class TfrmAllegaCartella : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAllegaCartella(QWidget* parent);

    QLineEdit* txtFile01;
    QLineEdit* txtFile02;
    QLineEdit* txtFile03;
    QLineEdit* txtDesc01;
    QLineEdit* txtDesc02;
    QLineEdit* txtDesc03;
    ClickablePicture* imgCancella01;
    ClickablePicture* imgCancella02;
    ClickablePicture* imgCancella03;
    QPushButton* btnSfoglia01;
    QPushButton* btnSfoglia02;
    QPushButton* btnSfoglia03;
    QPushButton* btnApri01;
    QPushButton* btnApri02;
    QPushButton* btnApri03;
    QPushButton* btnAnnulla;
    QPushButton* btnApplica;
    QLabel* lblMemory; // caller marker, "clienti" for the patient card

    // The folder holding the attached files of every patient.
    static QString attachmentsFolder();

public slots:
    void btnSfoglia01Click();
    void btnSfoglia02Click();
    void btnSfoglia03Click();
    void btnApri01Click();
    void btnApri02Click();
    void btnApri03Click();
    void imgCancella01Click();
    void imgCancella02Click();
    void imgCancella03Click();
    void txtFile01Change();
    void txtFile02Change();
    void txtFile03Change();
    void btnApplicaClick();
    void btnAnnullaClick();

private:
    void browse(int slot);
    void openSlot(int slot);
    void emptySlot(int slot);
    void nameChanged(int slot);
    std::array<QLineEdit*, 3> files() const { return {txtFile01, txtFile02, txtFile03}; }
    std::array<QLineEdit*, 3> descs() const { return {txtDesc01, txtDesc02, txtDesc03}; }
    std::array<QPushButton*, 3> openButtons() const { return {btnApri01, btnApri02, btnApri03}; }
};

// The folder bound to a stored patient: "Paziente_" followed by the record
// position, opened in the system's file browser.
class TfrmCartella : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCartella(QWidget* parent);

    QPushButton* btnApriCartella;
    QPushButton* btnChiudi;
    QLabel* lblMemory; // the patient's record position

    // The folder of the patient at the given position.
    static QString patientFolder(const QString& position);

public slots:
    void FormCreate();
    void btnApriCartellaClick();
    void btnChiudiClick();
};
