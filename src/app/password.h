#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

// Shared by the two password windows: a masked field with the yellow
// highlight rectangle behind it, shown while the field has the focus.
class PasswordWindowBase : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    QLineEdit* addPasswordField(const char* name, const char* highlightName, const QRect& geometry);
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Enter in a password field.
    virtual void enterPressed(QLineEdit* field) = 0;
    virtual void fieldFocus(QLineEdit* field, bool in);
};

class TfrmPassword : public PasswordWindowBase {
    Q_OBJECT
public:
    explicit TfrmPassword(QWidget* parent = nullptr);

    QLineEdit* txtPassword;
    QPushButton* cmdOK;
    QPushButton* cmdEsci;
    QPushButton* btnCambiaPassword;
    QLabel* lblMemory;
    QWidget* effPassword;

public slots:
    void FormShow();
    void txtPasswordChange();
    void cmdOKClick();
    void cmdEsciClick();
    void btnCambiaPasswordClick();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void enterPressed(QLineEdit* field) override;
    void fieldFocus(QLineEdit* field, bool in) override;
};

class TfrmCambiaPassword : public PasswordWindowBase {
    Q_OBJECT
public:
    explicit TfrmCambiaPassword(QWidget* parent = nullptr);

    QLineEdit* txtPasswordOld;
    QLineEdit* txtPasswordNew;
    QLineEdit* txtConferma;
    QPushButton* cmdOK;
    QPushButton* cmdEsci;
    QLabel* lblMemory;
    QWidget* effPasswordOld;
    QWidget* effPasswordNew;
    QWidget* effConferma;

public slots:
    void FormShow();
    void FormClose();
    void fieldsChange();
    void cmdOKClick();
    void cmdEsciClick();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void enterPressed(QLineEdit* field) override;
    void fieldFocus(QLineEdit* field, bool in) override;
};

namespace vornel {
// The password file and its one value.
QString passwordFilePath();
} // namespace vornel
