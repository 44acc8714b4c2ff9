#pragma once
#include "app/cardwindow.h"

// The patient card.
class TfrmClienti : public CardWindow {
    Q_OBJECT
public:
    explicit TfrmClienti(QWidget* parent = nullptr)
        : CardWindow(QStringLiteral(" Vornel - Archivio Pazienti"), parent) {}
};
