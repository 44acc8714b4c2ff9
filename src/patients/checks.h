#pragma once
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// Verifies an Italian tax code by its check character.
class TfrmCodFisc : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCodFisc(QWidget* parent);

    QLabel* lblTitolo;
    QLineEdit* txtCodFisc;
    QPushButton* btnControlla;
    QPushButton* btnChiudi;

public slots:
    void FormCreate();
    void FormShow();
    void txtCodFiscChange();
    void btnControllaClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Verifies an Italian VAT number and names the office that issued it.
class TfrmPartitaIva : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPartitaIva(QWidget* parent);

    QLabel* lblTitolo;
    QLineEdit* txtPartitaIva;
    QPushButton* btnControlla;
    QPushButton* btnChiudi;

public slots:
    void FormCreate();
    void FormShow();
    void btnControllaClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
