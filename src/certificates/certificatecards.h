#pragma once
#include "certificates/certificatecard.h"

// The four certificate cards: one card, four kinds.

// Fitness for non-competitive sport: "Certificati.vrn".
class TfrmCertificati : public CertificateCard {
    Q_OBJECT
public:
    explicit TfrmCertificati(QWidget* parent = nullptr) : CertificateCard(vornel::cards::kNonAgonistico, parent) {}
};

// Fitness for competitive sport: "Certificati_Agonistici.vrn".
class TfrmCertificati_Agonistici : public CertificateCard {
    Q_OBJECT
public:
    explicit TfrmCertificati_Agonistici(QWidget* parent = nullptr) : CertificateCard(vornel::cards::kAgonistico, parent) {}
};

// Fitness for competitive sport, disabled athletes: "Certificati_Disabili.vrn".
class TfrmCertificati_Disabili : public CertificateCard {
    Q_OBJECT
public:
    explicit TfrmCertificati_Disabili(QWidget* parent = nullptr) : CertificateCard(vornel::cards::kDisabili, parent) {}
};

// Non-fitness for competitive sport: "Certificati_Non_Idoneita.vrn".
class TfrmCertificati_NonIdoneita : public CertificateCard {
    Q_OBJECT
public:
    explicit TfrmCertificati_NonIdoneita(QWidget* parent = nullptr)
        : CertificateCard(vornel::cards::kNonIdoneita, parent)
    {
    }
};
