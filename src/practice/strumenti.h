#pragma once
#include "practice/core/backup.h"
#include "lists/listwindow.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

class HintTracker;

// The practice tools, opened from the main menu: backup, verify, restore,
// archive check, help. Each tool is a row of a button and its description;
// rows below the last are free for more tools.
class TfrmStrumenti : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStrumenti(QWidget* parent);

    QPushButton* cmdCopia;
    QCheckBox* chkPassword;
    QPushButton* cmdVerifica;
    QPushButton* cmdRipristina;
    QPushButton* cmdControlla;
    QPushButton* cmdGuida;
    QPushButton* cmdEsci;
    QLabel* lblCopia;
    QLabel* lblVerifica;
    QLabel* lblRipristina;
    QLabel* lblControlla;
    QPushButton* cmdScadenze;
    QLabel* lblScadenze;
    QLabel* lblUltimaCopia;
    QLabel* panInfo;

    // The top of the first free row of tools, for the tools still to come.
    static int freeRowTop();

public slots:
    void FormShow();
    void cmdCopiaClick();
    void cmdVerificaClick();
    void cmdRipristinaClick();
    void cmdControllaClick();
    void cmdScadenzeClick();
    void cmdGuidaClick();
    void cmdEsciClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    QPushButton* toolRow(int row, const char* art, const QString& caption, const char* name, QLabel*& description,
                         const QString& text);
    QString chooseCopy(const QString& caption);
    // Asks the password of a protected copy; false when the user gives up.
    bool askPassword(const QString& zip, QString& password);
    // Lets the user pick a copy, asks its password when it has one and reads
    // it against its manifest; false when the user gives up on the way.
    bool chooseAndVerify(const QString& caption, QString& zip, QString& password, vornel::backup::VerifyReport& report);
    void showLastCopy();
    void showExpiring();
    HintTracker* m_hints;
};

// The password of a protected copy: typed twice when a copy is made, once
// when one is read. Never stored.
class TfrmPasswordCopia : public QDialog {
    Q_OBJECT
public:
    TfrmPasswordCopia(bool twice, QWidget* parent);

    QLabel* lblIstruzioni;
    QLineEdit* txtPassword;
    QLabel* lblConferma;
    QLineEdit* txtConferma;
    QPushButton* btnOK;
    QPushButton* btnAnnulla;

    QString password() const { return txtPassword->text(); }

public slots:
    void btnOKClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_twice;
};

// The result of the archive check, one line per fact, printed through the
// summary printout.
class TfrmControllaArchivi : public ListWindow {
    Q_OBJECT
public:
    explicit TfrmControllaArchivi(QWidget* parent);

protected:
    QString printTitle() const override;
};
