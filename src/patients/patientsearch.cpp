#include "patients/patientsearch.h"

#include "app/registry.h"
#include "certificates/certificatecards.h"
#include "patients/core/patientlines.h"
#include "patients/tfrmclienti.h"

using namespace vornel;

namespace {

void loadIntoPatientCard(const Record& record, qint64 position)
{
    if (auto* card = instance<TfrmClienti>())
        card->showRecord(record, position);
}

template <class Card>
void importIntoCard(const Record& record, qint64)
{
    if (auto* card = instance<Card>())
        card->importPatient(record);
}

constexpr records::Target kTargets[] = {
    {"clienti", &loadIntoPatientCard},
    {"certificati", &importIntoCard<TfrmCertificati>},
    {"certificati_agonistici", &importIntoCard<TfrmCertificati_Agonistici>},
    {"certificati_disabili", &importIntoCard<TfrmCertificati_Disabili>},
    {"certificati_nonidoneita", &importIntoCard<TfrmCertificati_NonIdoneita>},
};

constexpr records::Filter kFilters[] = {
    {"txtPaziente", "Paziente:", "txtPaziente", false},
    {"txtComuneRes", "Comune di residenza:", "txtComuneRes", false},
    {"txtPartitaIva", "Partita IVA:", "txtPartitaIva", false},
    {"txtCodFisc", "Codice fiscale:", "txtCodFisc", false},
    {"txtASL", "ASL:", "txtASL", false},
    {"txtTessera", "Tessera sanitaria n.", "txtTessera", false},
    {"txtPatologie", "Patologie:", "txtPatologie", false},
    {"txtFarmaci", "Farmaci assunti:", "txtFarmaci", false},
    {"txtQuestioni", "Questioni in sospeso:", "txtQuestioni", true},
    {"txtNote", "Note:", "txtNote", true},
};

const records::Search kPatientSearch{
    " Trova pazienti in archivio",
    "Digitare una o più parole consecutive contenute nelle schede da cercare nei campi prescelti e premere il "
    "pulsante Cerca.\nLasciare vuoti gli altri campi. In ogni ricerca si possono usare uno o più campi insieme.",
    "RISULTATI DI RICERCA",
    "Fare doppio clic sulla voce in elenco per richiamare la scheda",
    &archives::Pazienti,
    lists::kPazienteLine,
    kFilters,
    true,
    "Riepilogo pazienti",
    kTargets,
};

const records::FlaggedList kRecontact{
    " Riepilogo pazienti da ricontattare",
    "PAZIENTI DA RICONTATTARE",
    "Fare doppio clic su una voce in elenco per richiamare la scheda",
    &archives::Pazienti,
    lists::kRicontattaLine,
    "chkRicontatta",
    "Sì",
    true,
    "Riepilogo pazienti da ricontattare",
    &loadIntoPatientCard,
};

} // namespace

TfrmTrovaClienti::TfrmTrovaClienti(QWidget* parent) : SearchWindow(kPatientSearch, parent) {}

TfrmRicontatta::TfrmRicontatta(QWidget* parent) : FlaggedListWindow(kRecontact, parent) {}

namespace vornel::patients {

void openPatientSearch(QWidget* parent, const QString& marker)
{
    TfrmTrovaClienti window(parent);
    window.lblMemory->setText(marker);
    window.exec();
}

void openRecontactList(QWidget* parent)
{
    TfrmRicontatta window(parent);
    window.exec();
}

} // namespace vornel::patients
