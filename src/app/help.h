#pragma once
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

#include "app/core/helptopics.h"

class ClickablePicture;
class LinkLabel;

// The help window: one topic's title and text, and the link to the manual.
class TfrmGuida : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGuida(QWidget* parent);

    // Opens a new help window owned by 'owner' on the topic, modally.
    static void showTopic(QWidget* owner, const vornel::help::Topic& topic);

    QLabel* lblTitolo;
    QTextEdit* txtGuida;
    ClickablePicture* imgPDF;
    LinkLabel* lnkWeb;
    QPushButton* btnChiudi;

public slots:
    void FormShow();
    void btnChiudiClick();
    void lnkWebClick();

protected:
    void showEvent(QShowEvent* e) override;
};
