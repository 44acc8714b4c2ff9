#pragma once
#include "lists/core/recordlines.h"

// The list lines of the certificate searches and of the lists of
// certificates to complete, one layout per certificate kind.
namespace vornel::lists {

// "Certificati.vrn": patient 30, birth date, ECG date, date of issue, physician.
extern const LineLayout kCertificatoLine;
// "Certificati_Non_Idoneita.vrn": patient 30, birth date, sport 30, date, reason.
extern const LineLayout kNonIdoneitaLine;
// "Certificati_Agonistici.vrn" and "Certificati_Disabili.vrn": patient 30,
// birth date, sport 45, date of issue, expiry date.
extern const LineLayout kAgonisticaLine;

} // namespace vornel::lists
