#pragma once
#include "app/cardwindow.h"

// The four certificate cards.
class TfrmCertificati : public CardWindow {
    Q_OBJECT
public:
    explicit TfrmCertificati(QWidget* parent = nullptr)
        : CardWindow(QStringLiteral(" Vornel - Archivio Certificati Medici Sportivi Non Agonistici"), parent) {}
};

class TfrmCertificati_Agonistici : public CardWindow {
    Q_OBJECT
public:
    explicit TfrmCertificati_Agonistici(QWidget* parent = nullptr)
        : CardWindow(QStringLiteral(" Vornel - Archivio Certificati Medici Sportivi Agonistici"), parent) {}
};

class TfrmCertificati_Disabili : public CardWindow {
    Q_OBJECT
public:
    explicit TfrmCertificati_Disabili(QWidget* parent = nullptr)
        : CardWindow(QStringLiteral(" Vornel - Archivio Certificati Medici Sportivi Agonistici per Disabili"), parent) {}
};

class TfrmCertificati_NonIdoneita : public CardWindow {
    Q_OBJECT
public:
    explicit TfrmCertificati_NonIdoneita(QWidget* parent = nullptr)
        : CardWindow(QStringLiteral(" Vornel - Archivio Certificati di Non Idoneit\u00e0 a Sport Agonistici"), parent) {}
};
