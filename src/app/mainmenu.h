#pragma once
#include <QDialog>
#include <QPushButton>
#include <QWidget>

class ClickablePicture;
class LinkLabel;

namespace vornel {
// The maker's web page and e-mail address.
inline constexpr const char* kMakerWeb = "https://www.vornel.it";
inline constexpr const char* kMakerWebText = "www.vornel.it";
inline constexpr const char* kMakerMail = "info@vornel.it";
} // namespace vornel

// The main menu: five entry buttons to the cards, about, copyright, help,
// the maker's web page and exit.
class TfrmAvvio : public QWidget {
    Q_OBJECT
public:
    explicit TfrmAvvio(QWidget* parent = nullptr);

    ClickablePicture* imgInfo;
    ClickablePicture* imgGuida;
    ClickablePicture* imgStrumenti;
    ClickablePicture* imgCopyright;
    ClickablePicture* imgSito;
    ClickablePicture* imgEsci;
    QPushButton* imgApp01;
    QPushButton* imgApp02;
    QPushButton* btnApp03;
    QPushButton* imgApp04;
    QPushButton* imgApp05;

public slots:
    void imgApp01Click();
    void imgApp02Click();
    void btnApp03Click();
    void imgApp04Click();
    void imgApp05Click();
    void imgInfoClick();
    void imgCopyrightClick();
    void imgGuidaClick();
    void imgStrumentiClick();
    void imgSitoClick();
    void imgEsciClick();

protected:
    void closeEvent(QCloseEvent* e) override;
};

// About window.
class TfrmInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfo(QWidget* parent);
    LinkLabel* lnkMail;
    ClickablePicture* imgMail;
    QPushButton* btnChiudi;
public slots:
    void lnkMailClick();
};

// Copyright window.
class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent);
    LinkLabel* lnkWeb;
    ClickablePicture* imgWeb;
    QPushButton* btnChiudi;
public slots:
    void lnkWebClick();
};
