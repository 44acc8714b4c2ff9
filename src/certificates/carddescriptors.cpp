#include "certificates/carddescriptor.h"

// The four certificate kinds. Geometry of body pieces is in the body area
// of the card (650 x 558, right half of the white sheet).
namespace vornel::cards {

namespace {
using R = QRect;

// --- fields -----------------------------------------------------------------

const Field kLetterhead[] = {
    {"txtStudioDent", 250, 0},  {"txtIndirizzoDent", 250, 0}, {"txtCapDent", 5, 0},
    {"txtCittaDent", 120, 0},   {"txtProvDent", 2, Upper},    {"txtTelDent", 250, 0},
    {"txtIvaDent", 11, Digits}, {"txtCodFiscDent", 16, Upper}, {"txtLibero", 250, 0},
    {"txtMedico", 50, 0},       {"txtCodice", 50, 0},
};
const Field kFooter[] = {
    {"txtLuogo", 120, 0},
    {"txtData", 100, Centred}, // only the first 10 characters are stored
};

// The person certified, as on the non-competitive certificate.
const Field kNonAgonisticoBody[] = {
    {"txtPaziente", 50, BodyLook | Cleared},   {"txtLuogoNasc", 250, BodyLook | Cleared},
    {"txtDataNasc", 10, BodyLook | Cleared | Centred}, {"txtResidenza", 250, BodyLook | Cleared},
    {"txtDataECG", 10, BodyLook | Cleared | Centred},
};
// Region, athlete, document and sport requested: the three competitive kinds.
const Field kAthleteBody[] = {
    {"txtRegione", 120, BodyLook},
    {"txtPaziente", 50, BodyLook | Cleared},
    {"txtLuogoNasc", 250, BodyLook | Cleared},
    {"txtDataNasc", 10, BodyLook | Cleared | Centred},
    {"txtResidenza", 250, BodyLook | Cleared},
    {"txtDocumento", 250, BodyLook | Cleared},
    {"txtSportRichiesto", 250, BodyLook | Cleared},
    {"txtSportApprovato", 250, BodyLook | Cleared},
};
// The validity of a competitive certificate (the record keeps 50 characters
// of the months, the edit takes 10).
const Field kValidityBody[] = {
    {"txtNumMesi", 10, BodyLook | Cleared | Centred},
    {"txtDataScade", 10, BodyLook | Cleared | Centred},
};

const std::span<const Field> kNonAgonisticoFields[] = {kNonAgonisticoBody};
const std::span<const Field> kAgonisticoFields[] = {kAthleteBody, kValidityBody};
const std::span<const Field> kNonIdoneitaFields[] = {kAthleteBody};

// --- validation -----------------------------------------------------------------

const Requirement kCommon[] = {
    {"txtStudioDent", "Attenzione: per salvare la scheda è necessario indicare la denominazione dello studio medico."},
    {"txtIndirizzoDent", "Attenzione: per salvare la scheda è necessario indicare l'indirizzo dello studio medico."},
    {"txtCittaDent", "Attenzione: per salvare la scheda è necessario indicare la città in cui ha sede lo studio medico."},
    {"txtTelDent", "Attenzione: per salvare la scheda è necessario indicare i recapiti telefonici dello studio medico."},
    {"txtIvaDent", "Attenzione: per salvare la scheda è necessario indicare la partita IVA dello studio medico."},
    {"txtCodFiscDent", "Attenzione: per salvare la scheda è necessario indicare il codice fiscale dello studio medico."},
    {"txtMedico", "Attenzione: per salvare la scheda è necessario indicare il nome del medico certificatore."},
    {"txtCodice", "Attenzione: per salvare la scheda è necessario indicare il codice identificativo del medico certificatore."},
    {"txtPaziente", "Attenzione: per salvare la scheda è necessario indicare il nome del paziente."},
    {"txtLuogoNasc", "Attenzione: per salvare la scheda è necessario indicare il luogo di nascita del paziente."},
    {"txtDataNasc", "Attenzione: per salvare la scheda è necessario indicare la data di nascita del paziente."},
    {"txtResidenza", "Attenzione: per salvare la scheda è necessario indicare l'indirizzo di residenza del paziente."},
};
const Requirement kClosing[] = {
    {"txtLuogo", "Attenzione: per salvare la scheda è necessario indicare il luogo di emissione del certificato medico."},
    {"txtData", "Attenzione: per salvare la scheda è necessario indicare la data di emissione del certificato medico."},
};
// The competitive kinds check the sport requested; those with a validity
// also the expiry date.
const Requirement kSportChecks[] = {
    {"txtSportRichiesto",
     "Attenzione: per salvare la scheda è necessario indicare lo sport per cui è stata richiesta la visita."},
    {"txtDataScade",
     "Attenzione: per salvare la scheda è necessario indicare la data di scadenza del certificato medico."},
};

// --- settings -------------------------------------------------------------------

const SettingKey kSettings[] = {
    {"Modulo Privacy", "Studio Medico", "txtStudioDent"},
    {"Modulo Privacy", "Comune Sede", "txtCittaDent"},
    {"Modulo Privacy", "Provincia Sede", "txtProvDent"},
    {"Modulo Privacy", "Cap Sede", "txtCapDent"},
    {"Modulo Privacy", "Via Sede", "txtIndirizzoDent"},
    {"Modulo Privacy", "Codice Fiscale Studio", "txtCodFiscDent"},
    {"Modulo Privacy", "Partita Iva Studio", "txtIvaDent"},
    {"Modulo Privacy", "Recapiti Studio", "txtTelDent"},
    {"Modulo Privacy", "Luogo", "txtLuogo"},
    {"Certificato Medico", "Campo Libero", "txtLibero"},
    {"Certificato Medico", "Medico Certificatore", "txtMedico"},
    {"Certificato Medico", "Codice Identificativo", "txtCodice"},
    {"Certificato Medico", "Codice Regione", "txtRegione"},
};

// --- sport buttons ----------------------------------------------------------------

const SportButton kAgonisticoSport[] = {{"impSportRichiesto", "richiesto"}, {"impSportApprovato", "approvato"}};
const SportButton kDisabiliSport[] = {{"impSportRichiesto", "richiesto_dis"}, {"impSportApprovato", "approvato_dis"}};
const SportButton kNonIdoneitaSport[] = {{"impSportRichiesto", "richiesto_non"}};

// --- body pieces ------------------------------------------------------------------

// The non-competitive certificate: its wording with the fields in the blanks.
const BodyPiece kNonAgonisticoPieces[] = {
    {Piece::Title, nullptr, "CERTIFICATO DI IDONEITA'\nALLA PRATICA DI ATTIVITA' SPORTIVA DI TIPO NON AGONISTICO", R(0, 0, 650, 60)},
    {Piece::Wording, nullptr, nullptr, R(0, 66, 650, 387)},
    {Piece::Reference, nullptr,
     "Decreto del Ministro della Salute 24 aprile 2013; art. 42 bis del Decreto Legge 21 giugno 2013, n. 69 "
     "convertito, con modificazioni, dalla Legge 9 agosto 2013, n. 98; art. 4, comma 10 septies, del Decreto Legge "
     "31 agosto 2013, n. 101 convertito, con modificazioni, dalla Legge del 30 ottobre 2013, n. 125; Decreto del "
     "Ministro della Salute 8 agosto 2014: Linee-Guida di indirizzo in materia di certificati medici per l'attività "
     "sportiva non agonistica; Nota esplicativa del 17 giugno 2015; Nota integrativa del 28 ottobre 2015.",
     R(12, 72, 626, 58)},
    {Piece::Line, nullptr, nullptr, R(12, 134, 626, 1)},
    {Piece::Text, nullptr, "Sig./Sig.ra", R(12, 146, 100, 28)},
    {Piece::Edit, "txtPaziente", nullptr, R(112, 146, 460, 28)},
    {Piece::Import, "impPaziente", nullptr, R(578, 149, 22, 22)},
    {Piece::Text, nullptr, "nato/a a", R(12, 186, 70, 28)},
    {Piece::Edit, "txtLuogoNasc", nullptr, R(84, 186, 340, 28)},
    {Piece::Text, nullptr, "il", R(432, 186, 20, 28)},
    {Piece::Edit, "txtDataNasc", nullptr, R(452, 186, 150, 28)},
    {Piece::Text, nullptr, "residente in", R(12, 226, 100, 28)},
    {Piece::Edit, "txtResidenza", nullptr, R(112, 226, 526, 28)},
    {Piece::Text, nullptr, "Il soggetto, sulla base della visita medica da me effettuata, dei valori di pressione",
     R(12, 266, 626, 24)},
    {Piece::Text, nullptr, "arteriosa rilevati, nonché del referto del tracciato ECG eseguito in data",
     R(12, 292, 470, 28)},
    {Piece::Edit, "txtDataECG", nullptr, R(488, 292, 150, 28)},
    {Piece::Text, nullptr, "non presenta controindicazioni in atto alla pratica di attività sportiva non agonistica.",
     R(12, 326, 626, 24)},
    {Piece::Text, nullptr, "Il presente certificato ha validità annuale dalla data del rilascio.¹", R(12, 362, 626, 24)},
    {Piece::Reference, nullptr,
     "¹ Salvo la comparsa di eventi morbosi e/o traumatici che facciano venire a mancare la suddetta idoneità.",
     R(12, 420, 626, 24)},
    {Piece::Footer, nullptr, nullptr, R(0, 463, 480, 55)},
    {Piece::Completed, nullptr, nullptr, R(489, 463, 161, 55)},
};

const BodyPiece kAgonisticoTitle[] = {
    {Piece::Title, nullptr, "CERTIFICATO DI IDONEITA'\nALL'ATTIVITA' SPORTIVA AGONISTICA", R(0, 0, 650, 60)},
    {Piece::Decree, nullptr, "D.M. 18 febbraio 1982 e successive modifiche e integrazioni", R(0, 66, 386, 28)},
};
const BodyPiece kDisabiliTitle[] = {
    {Piece::Title, nullptr, "CERTIFICATO DI IDONEITA'\nALL'ATTIVITA' SPORTIVA AGONISTICA", R(0, 0, 650, 60)},
    {Piece::Decree, nullptr, "D.M. 18/02/1982 e D.M. 04/03/1993 e successive modifiche",
     R(0, 66, 386, 28)},
};
const BodyPiece kNonIdoneitaTitle[] = {
    {Piece::Title, nullptr, "CERTIFICATO DI NON IDONEITA'\nALLA PRATICA DI ATTIVITA' SPORTIVA DI TIPO AGONISTICO",
     R(0, 0, 650, 60)},
    {Piece::Decree, nullptr, "D.M. 18 febbraio 1982 e successive modifiche e integrazioni", R(0, 66, 386, 28)},
};

// Region, athlete, document and sport requested, every field under its label.
const BodyPiece kAthletePieces[] = {
    {Piece::Label, nullptr, "REGIONE :", R(392, 66, 76, 28)},
    {Piece::Edit, "txtRegione", nullptr, R(470, 66, 180, 28)},
    {Piece::Line, nullptr, nullptr, R(0, 101, 650, 1)},
    {Piece::Label, nullptr, "Cognome e nome atleta:", R(0, 108, 296, 18)},
    {Piece::Edit, "txtPaziente", nullptr, R(0, 127, 296, 28)},
    {Piece::Import, "impPaziente", nullptr, R(300, 130, 22, 22)},
    {Piece::Label, nullptr, "Luogo di nascita:", R(330, 108, 320, 18)},
    {Piece::Edit, "txtLuogoNasc", nullptr, R(330, 127, 320, 28)},
    {Piece::Label, nullptr, "Data di nascita:", R(0, 160, 150, 18)},
    {Piece::Edit, "txtDataNasc", nullptr, R(0, 179, 150, 28)},
    {Piece::Label, nullptr, "Residenza e/o domicilio:", R(170, 160, 480, 18)},
    {Piece::Edit, "txtResidenza", nullptr, R(170, 179, 480, 28)},
    {Piece::Label, nullptr, "Documento di identità:", R(0, 212, 650, 18)},
    {Piece::Edit, "txtDocumento", nullptr, R(0, 231, 650, 28)},
    {Piece::Label, nullptr, "Sport per cui è stata richiesta la visita:", R(0, 264, 620, 18)},
    {Piece::Edit, "txtSportRichiesto", nullptr, R(0, 283, 620, 28)},
    {Piece::Import, "impSportRichiesto", nullptr, R(628, 286, 22, 22)},
};
const BodyPiece kSportGranted[] = {
    {Piece::Label, nullptr, "L'atleta non presenta controindicazioni in atto alla pratica agonistica dello sport:",
     R(0, 316, 650, 18)},
    {Piece::Edit, "txtSportApprovato", nullptr, R(0, 335, 620, 28)},
    {Piece::Import, "impSportApprovato", nullptr, R(628, 338, 22, 22)},
};
const BodyPiece kAgonisticoValidity[] = {
    {Piece::Label, nullptr, "Valido per mesi n.", R(0, 368, 140, 18)},
    {Piece::Edit, "txtNumMesi", nullptr, R(0, 387, 130, 28)},
    {Piece::Label, nullptr, "Data scadenza:", R(150, 368, 150, 18)},
    {Piece::Edit, "txtDataScade", nullptr, R(150, 387, 150, 28)},
    {Piece::Completed, nullptr, nullptr, R(489, 368, 161, 55)},
};
// For disabled athletes the sentence goes on under the sport granted, and
// the validity moves right beside it.
const BodyPiece kDisabiliValidity[] = {
    {Piece::Label, nullptr, "adattato ad atleti disabili.", R(0, 368, 211, 19)},
    {Piece::Label, nullptr, "Valido per mesi n.", R(226, 368, 130, 18)},
    {Piece::Edit, "txtNumMesi", nullptr, R(226, 387, 110, 28)},
    {Piece::Label, nullptr, "Data scadenza:", R(346, 368, 134, 18)},
    {Piece::Edit, "txtDataScade", nullptr, R(346, 387, 134, 28)},
    {Piece::Completed, nullptr, nullptr, R(489, 376, 161, 47)},
};
const BodyPiece kNonIdoneitaJudgement[] = {
    {Piece::Label, nullptr, "L'atleta viene dichiarato NON IDONEO all'attività sportiva per:", R(0, 316, 650, 18)},
    {Piece::Edit, "txtSportApprovato", nullptr, R(0, 335, 650, 28)},
    {Piece::Note, nullptr,
     "L'interessato, avverso il giudizio di non idoneità, può ricorrere entro 30 giorni dalla comunicazione,\n"
     "alla commissione medica regionale d'Appello di competenza.",
     R(0, 370, 565, 30)},
    {Piece::Completed, nullptr, nullptr, R(489, 410, 161, 55)},
};
const BodyPiece kSignatureAndFooter[] = {
    {Piece::Signature, nullptr, "Timbro e firma del Medico Specialista in Medicina dello Sport", R(30, 430, 420, 32)},
    {Piece::Footer, nullptr, nullptr, R(0, 470, 650, 56)},
};

const std::span<const BodyPiece> kNonAgonisticoBodyPieces[] = {kNonAgonisticoPieces};
const std::span<const BodyPiece> kAgonisticoBodyPieces[] = {kAgonisticoTitle, kAthletePieces, kSportGranted,
                                                             kAgonisticoValidity, kSignatureAndFooter};
const std::span<const BodyPiece> kDisabiliBodyPieces[] = {kDisabiliTitle, kAthletePieces, kSportGranted,
                                                           kDisabiliValidity, kSignatureAndFooter};
const std::span<const BodyPiece> kNonIdoneitaBodyPieces[] = {kNonIdoneitaTitle, kAthletePieces, kNonIdoneitaJudgement,
                                                              kSignatureAndFooter};

const char* const kSportHint = "Importa i dati dalla tabella delle discipline sportive.";
const char* const kSportHintDis = "Importa i dati dalla tabella delle discipline sportive per disabili.";
} // namespace

const std::span<const Field> kLetterheadFields{kLetterhead};
const std::span<const Field> kFooterFields{kFooter};
const std::span<const Requirement> kCommonChecks{kCommon};
const std::span<const Requirement> kClosingChecks{kClosing};
const std::span<const SettingKey> kSettingKeys{kSettings};

const Descriptor kNonAgonistico{
    " Vornel - Archivio Certificati Medici Sportivi Non Agonistici",
    &archives::Certificati,
    kNonAgonisticoFields,
    {},
    false,
    "certificati",
    SportTable::None,
    {},
    nullptr,
    0xFFD2E4F5,
    kNonAgonisticoBodyPieces,
};

const Descriptor kAgonistico{
    " Vornel - Archivio Certificati Medici Sportivi Agonistici",
    &archives::Agonistici,
    kAgonisticoFields,
    kSportChecks,
    true,
    "certificati_agonistici",
    SportTable::General,
    kAgonisticoSport,
    kSportHint,
    0xFFCAD5DD,
    kAgonisticoBodyPieces,
};

const Descriptor kDisabili{
    " Vornel - Archivio Certificati Medici Sportivi Agonistici per Disabili",
    &archives::Disabili,
    kAgonisticoFields,
    kSportChecks,
    true,
    "certificati_disabili",
    SportTable::Disabled,
    kDisabiliSport,
    kSportHintDis,
    0xFFFCDCE1,
    kDisabiliBodyPieces,
};

const Descriptor kNonIdoneita{
    " Vornel - Archivio Certificati di Non Idoneità a Sport Agonistici",
    &archives::NonIdoneita,
    kNonIdoneitaFields,
    std::span<const Requirement>(kSportChecks).first(1),
    true,
    "certificati_nonidoneita",
    SportTable::General,
    kNonIdoneitaSport,
    kSportHint,
    0xFFE2DFDF,
    kNonIdoneitaBodyPieces,
};

} // namespace vornel::cards
