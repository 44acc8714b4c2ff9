#pragma once
#include "lists/recordwindows.h"

// The patient search, which doubles as the patient import of the
// certificate cards: the marker in lblMemory names the card that receives
// the patient.
class TfrmTrovaClienti : public SearchWindow {
    Q_OBJECT
public:
    explicit TfrmTrovaClienti(QWidget* parent);
};

// The patients flagged "Da ricontattare", built each time the window is shown.
class TfrmRicontatta : public FlaggedListWindow {
    Q_OBJECT
public:
    explicit TfrmRicontatta(QWidget* parent);
};

namespace vornel::patients {
// Opens the patient search owned by 'parent' with the marker of the caller
// ("clienti" for the patient card, a certificate card's marker for the
// patient import); returns when it has closed.
void openPatientSearch(QWidget* parent, const QString& marker);
// Opens the recontact summary owned by the patient card.
void openRecontactList(QWidget* parent);
} // namespace vornel::patients
