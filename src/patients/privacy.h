#pragma once
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

// Gathers the office, patient, place and date and writes the privacy
// consent document "Modulo_Privacy.rtf".
class TfrmPrivacy : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPrivacy(QWidget* parent);

    // Office.
    QLineEdit* txtStudioDent;
    QLineEdit* txtTelDent;
    QLineEdit* txtIvaDent;
    QLineEdit* txtCodFiscDent;
    QLineEdit* txtCittaDent;
    QComboBox* txtProvDent;
    QLineEdit* txtIndirizzoDent;
    QLineEdit* txtCapDent;
    // Patient.
    QLineEdit* txtPaziente;
    QLineEdit* txtComuneNasc;
    QComboBox* txtProvNasc;
    QLineEdit* txtDataNasc;
    QLineEdit* txtCodFisc;
    QLineEdit* txtComuneRes;
    QComboBox* txtProvRes;
    QLineEdit* txtIndirizzo;
    QLineEdit* txtCapRes;
    QLineEdit* txtRecapito;
    QLineEdit* txtPrivacy;
    // Place and date.
    QLineEdit* txtData;
    QLineEdit* txtLuogo;

    QPushButton* btnChiudi;
    QPushButton* btnRTF;

    // The focus highlights behind the fields: "eff" + the field name
    // without "txt" (effStudioDent ...), in tab order.
    std::vector<QWidget*> highlights;

    // The document's path in the program folder.
    static QString documentPath();

public slots:
    void FormCreate();
    void FormShow();
    void btnRTFClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<QWidget*> m_ring; // the 21 fields in tab / Enter order
    bool m_closing = false;
};
