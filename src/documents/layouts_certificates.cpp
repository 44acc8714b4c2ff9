#include "documents/layouts_certificates.h"

#include <vector>

namespace vornel::layouts {

using namespace report;

namespace {
// Every memo of the certificates is Arial, black, without word wrap.
constexpr Style arial(double points, bool bold, HAlign h, VAlign v, QRgb fill)
{
    return Style{"Arial", points, bold, h, v, fill, false, colors::kBlack};
}
constexpr Style kHead14 = arial(14, true, HAlign::Centre, VAlign::Centre, colors::kNone);
constexpr Style kHead12 = arial(12, false, HAlign::Centre, VAlign::Centre, colors::kNone);
constexpr Style kHead11 = arial(11, false, HAlign::Centre, VAlign::Centre, colors::kNone);
constexpr Style kHead10 = arial(10, false, HAlign::Centre, VAlign::Centre, colors::kNone);

constexpr const char* kLogo = ":/art/print_emblem.svg";
constexpr const char* kHeart = ":/art/print_cuore.svg";

// The letterhead: the office's name, address, telephones, tax numbers and
// free line between the sports-medicine emblem and the heart.
struct LetterheadTops {
    double pictures, address, phone, tax, free;
};
constexpr LetterheadTops kHigh{37.80, 60.47, 82.39, 102.05, 123.21};    // non-competitive
constexpr LetterheadTops kHigher{34.02, 56.69, 78.61, 98.27, 119.43};   // its preview copy
constexpr LetterheadTops kLow{41.57, 64.25, 86.17, 105.83, 126.99};     // the other three

std::vector<Item> letterhead(const LetterheadTops& t, double heartLeft = 646.30, double heartWidth = 109.61)
{
    return {
        picture("picLogo", 41.57, t.pictures, 109.61, 105.83, kLogo),
        memo("txtStudioDent", 158.74, t.pictures, 476.22, 22.68, kHead14),
        picture("picCuore", heartLeft, t.pictures, heartWidth, 103.56, kHeart),
        memo("txtIndirizzoDent", 158.74, t.address, 476.22, 21.17, kHead12),
        memo("txtTelDent", 158.74, t.phone, 476.22, 19.65, kHead11),
        memo("txtIvaDent", 158.74, t.tax, 476.22, 19.65, kHead11),
        memo("txtLibero", 158.74, t.free, 476.22, 19.65, kHead10),
    };
}

// Fitness for non-competitive sport.
const Item kNonAgonistico[] = {
    box("Shape2", 37.80, 147.40, 718.11, 71.81, colors::kLavender),
    memo("titDirettore", 41.57, 150.43, 710.55, 31.75, arial(18, true, HAlign::Centre, VAlign::Centre, colors::kNone), "CERTIFICATO DI IDONEITA'"),
    memo("Memo11", 41.57, 185.20, 710.55, 31.75, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kNone), "ALLA PRATICA DI ATTIVITA' SPORTIVA DI TIPO NON AGONISTICO"),
    memo("txtDirettore", 37.80, 226.77, 718.11, 14.36, arial(7, false, HAlign::Centre, VAlign::Centre, colors::kNone), "Decreto del Ministro della Salute 24 aprile 2013; art. 42 bis del Decreto Legge 21 giugno 2013, n. 69 convertito, con modificazioni, dalla Legge 9 agosto 2013, n. 98;"),
    memo("Memo3", 37.80, 243.40, 718.11, 14.36, arial(7, false, HAlign::Centre, VAlign::Centre, colors::kNone), "art. 4, comma 10 septies, del Decreto Legge 31 agosto 2013, n. 101 convertito, con modificazioni, dalla Legge del 30 ottobre 2013, n. 125;"),
    memo("Memo26", 37.80, 260.03, 718.11, 14.36, arial(7, false, HAlign::Centre, VAlign::Centre, colors::kNone), "Decreto del Ministro della Salute 8 agosto 2014: Linee-Guida di indirizzo in materia di certificati medici per l'attività sportiva non agonistica;"),
    memo("Memo17", 37.80, 276.66, 718.11, 14.36, arial(7, false, HAlign::Centre, VAlign::Centre, colors::kNone), "Nota esplicativa del 17 giugno 2015; Nota integrativa del 28 ottobre 2015."),
    line("Line6", 37.80, 298.58, 718.11),
    memo("Memo1", 37.80, 321.26, 188.98, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "COGNOME E NOME"),
    box("Shape1", 37.80, 343.94, 718.11, 30.24, colors::kWhite),
    memo("txtPaziente", 41.57, 347.72, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo7", 37.80, 385.51, 245.67, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "LUOGO DI NASCITA"),
    memo("Memo6", 593.39, 385.51, 151.18, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "DATA DI NASCITA"),
    box("Shape4", 37.80, 408.19, 529.13, 30.24, colors::kWhite),
    box("Shape3", 593.39, 408.19, 162.52, 30.24, colors::kWhite),
    memo("txtLuogoNasc", 41.57, 411.97, 521.58, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("txtDataNasc", 597.17, 411.97, 154.96, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kBeige), ""),
    memo("Memo2", 37.80, 449.76, 241.89, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "INDIRIZZO DI RESIDENZA"),
    box("Shape5", 37.80, 472.44, 718.11, 30.24, colors::kWhite),
    memo("txtResidenza", 41.57, 476.22, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo5", 37.80, 529.13, 733.23, 21.17, arial(12, false, HAlign::Left, VAlign::Centre, colors::kNone), "Il soggetto, sulla base della visita medica da me effettuata, dei valori di pressione arteriosa rilevati,"),
    memo("Memo9", 37.80, 555.59, 733.23, 21.17, arial(12, false, HAlign::Left, VAlign::Centre, colors::kNone), "nonché del referto del tracciato ECG eseguito in data"),
    box("Shape6", 313.70, 585.83, 162.52, 30.24, colors::kWhite),
    memo("txtDataECG", 317.48, 589.61, 154.96, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kBeige), ""),
    memo("Memo10", 37.80, 623.62, 733.23, 21.17, arial(12, false, HAlign::Left, VAlign::Centre, colors::kNone), "non presenta controindicazioni in atto alla pratica di attività sportiva non agonistica."),
    memo("Memo4", 37.80, 661.42, 733.23, 21.17, arial(12, false, HAlign::Left, VAlign::Centre, colors::kNone), "Il presente certificato ha validità annuale dalla data del rilascio.¹"),
    memo("txtData", 37.80, 717.35, 718.11, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kNone), ""),
    memo("Memo8", 491.34, 782.36, 264.57, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kNone), "IL MEDICO CERTIFICATORE ²"),
    line("Line11", 491.34, 857.95, 264.57),
    memo("txtMedico", 491.34, 859.46, 264.57, 17.39, arial(9, true, HAlign::Centre, VAlign::Centre, colors::kNone), ""),
    memo("txtCodice", 491.34, 878.36, 264.57, 15.12, arial(8, false, HAlign::Centre, VAlign::Centre, colors::kNone), ""),
    line("Line2", 37.80, 1001.58, 718.11),
    memo("Memo18", 37.80, 1008.38, 737.01, 16.63, arial(8, false, HAlign::Left, VAlign::Centre, colors::kNone), "¹ Salvo la comparsa di eventi morbosi e/o traumatici che facciano venire a mancare la suddetta idoneità."),
    memo("Memo12", 37.80, 1031.81, 737.01, 16.63, arial(8, false, HAlign::Left, VAlign::Centre, colors::kNone), "² I certificati per l'attività sportiva non agonistica sono rilasciati dai medici di medicina generale e dai pediatri di libera scelta, relativamente ai"),
    memo("Memo27", 45.35, 1049.95, 729.45, 16.63, arial(8, false, HAlign::Left, VAlign::Centre, colors::kNone), "propri assistiti, o dai medici specialisti in medicina dello sport ovvero dai medici della Federazione medico sportiva italiana del Comitato"),
    memo("Memo28", 45.35, 1068.10, 729.45, 16.63, arial(8, false, HAlign::Left, VAlign::Centre, colors::kNone), "olimpico nazionale italiano."),
};

// Fitness for competitive sport.
const Item kAgonistico[] = {
    box("Shape2", 37.80, 151.18, 718.11, 71.81, colors::kLavender),
    memo("titDirettore", 41.57, 156.47, 710.55, 30.24, arial(18, true, HAlign::Centre, VAlign::Centre, colors::kNone), "CERTIFICATO DI IDONEITA'"),
    memo("Memo11", 41.57, 188.22, 710.55, 30.24, arial(16, true, HAlign::Centre, VAlign::Centre, colors::kNone), "ALLA PRATICA DI ATTIVITA' SPORTIVA AGONISTICA"),
    memo("txtDirettore", 37.80, 230.55, 718.11, 29.48, arial(11, false, HAlign::Centre, VAlign::Centre, colors::kNone), "D.M. 18 febbraio 1982 e successive modifiche e integrazioni"),
    line("Line6", 37.80, 264.57, 718.11),
    memo("txtRegione", 37.80, 272.13, 718.11, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kWhite), ""),
    line("Line1", 37.80, 298.58, 718.11),
    memo("Memo1", 37.80, 328.82, 347.72, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "COGNOME E NOME ATLETA"),
    box("Shape1", 37.80, 351.50, 718.11, 30.24, colors::kWhite),
    memo("txtPaziente", 41.57, 355.28, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo7", 37.80, 393.07, 245.67, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "LUOGO DI NASCITA"),
    memo("Memo6", 593.39, 393.07, 151.18, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "DATA DI NASCITA"),
    box("Shape4", 37.80, 415.75, 529.13, 30.24, colors::kWhite),
    box("Shape3", 593.39, 415.75, 162.52, 30.24, colors::kWhite),
    memo("txtLuogoNasc", 41.57, 419.53, 521.58, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("txtDataNasc", 597.17, 419.53, 154.96, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kBeige), ""),
    memo("Memo2", 37.80, 457.32, 430.87, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "INDIRIZZO DI RESIDENZA E/O DOMICILIO"),
    box("Shape5", 37.80, 480.00, 718.11, 30.24, colors::kWhite),
    memo("txtResidenza", 41.57, 483.78, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo3", 37.80, 521.57, 430.87, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "DOCUMENTO DI IDENTITA'"),
    box("Shape7", 37.80, 544.25, 718.11, 30.24, colors::kWhite),
    memo("txtDocumento", 41.57, 548.03, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo13", 37.80, 585.83, 430.87, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "SPORT PER CUI E' STATA RICHIESTA LA VISITA"),
    box("Shape8", 37.80, 608.50, 718.11, 30.24, colors::kWhite),
    memo("txtSportRichiesto", 41.57, 612.28, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo5", 37.80, 661.42, 733.23, 21.17, arial(12, true, HAlign::Left, VAlign::Centre, colors::kNone), "L'atleta di cui sopra, sulla base della visita medica e dei relativi accertamenti, non presenta"),
    memo("Memo9", 37.80, 687.87, 733.23, 21.17, arial(12, true, HAlign::Left, VAlign::Centre, colors::kNone), "controindicazioni in atto alla pratica agonistica dello sport:"),
    box("Shape9", 37.80, 714.33, 718.11, 30.24, colors::kWhite),
    memo("txtSportApprovato", 41.57, 718.11, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    box("Shape10", 351.50, 767.24, 105.83, 30.24, colors::kWhite),
    box("Shape6", 593.39, 767.24, 162.52, 30.24, colors::kWhite),
    memo("txtNumMesi", 355.28, 771.02, 98.27, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kBeige), ""),
    memo("txtDataScade", 597.17, 771.02, 154.96, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kBeige), ""),
    memo("Memo10", 37.80, 772.91, 302.36, 21.17, arial(12, false, HAlign::Left, VAlign::Centre, colors::kNone), "Il presente certificato ha validita' di mesi:"),
    memo("Memo4", 480.00, 772.91, 102.05, 21.17, arial(12, false, HAlign::Left, VAlign::Centre, colors::kNone), "e scadrà il ¹"),
    memo("txtData", 37.80, 842.08, 718.11, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kNone), ""),
    memo("Memo8", 491.34, 880.63, 264.57, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kNone), "IL MEDICO CERTIFICATORE ²"),
    line("Line11", 491.34, 956.22, 264.57),
    memo("txtMedico", 491.34, 957.73, 264.57, 17.39, arial(9, true, HAlign::Centre, VAlign::Centre, colors::kNone), ""),
    memo("txtCodice", 491.34, 976.63, 264.57, 15.12, arial(8, false, HAlign::Centre, VAlign::Centre, colors::kNone), ""),
    line("Line2", 37.80, 1031.81, 718.11),
    memo("Memo18", 37.80, 1038.62, 737.01, 16.63, arial(8, false, HAlign::Left, VAlign::Centre, colors::kNone), "¹ Salvo la comparsa di eventi morbosi e/o traumatici che facciano venire a mancare la suddetta idoneità."),
    memo("Memo12", 37.80, 1058.27, 737.01, 16.63, arial(8, false, HAlign::Left, VAlign::Centre, colors::kNone), "² I certificati di idoneità all'attività sportiva agonistica sono rilasciati dai medici specialisti in Medicina dello Sport."),
};

// Fitness for competitive sport, disabled athletes.
const Item kDisabili[] = {
    box("Shape2", 37.80, 151.18, 718.11, 71.81, colors::kLavender),
    memo("titDirettore", 41.57, 156.47, 710.55, 30.24, arial(18, true, HAlign::Centre, VAlign::Centre, colors::kNone), "CERTIFICATO DI IDONEITA'"),
    memo("Memo11", 41.57, 188.22, 710.55, 30.24, arial(16, true, HAlign::Centre, VAlign::Centre, colors::kNone), "ALLA PRATICA DI ATTIVITA' SPORTIVA AGONISTICA"),
    memo("txtDirettore", 37.80, 230.55, 718.11, 21.92, arial(11, false, HAlign::Centre, VAlign::Centre, colors::kNone), "D.M. 18 febbraio 1982 e successive modifiche e integrazioni;"),
    memo("Memo14", 37.80, 253.23, 718.11, 21.92, arial(11, false, HAlign::Centre, VAlign::Centre, colors::kNone), "D.M. 4 marzo 1993, n. 450."),
    line("Line6", 37.80, 279.69, 718.11),
    memo("txtRegione", 37.80, 287.24, 718.11, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kWhite), ""),
    line("Line1", 37.80, 313.70, 718.11),
    memo("Memo1", 37.80, 328.82, 347.72, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "COGNOME E NOME ATLETA"),
    box("Shape1", 37.80, 351.50, 718.11, 30.24, colors::kWhite),
    memo("txtPaziente", 41.57, 355.28, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo7", 37.80, 393.07, 245.67, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "LUOGO DI NASCITA"),
    memo("Memo6", 593.39, 393.07, 151.18, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "DATA DI NASCITA"),
    box("Shape4", 37.80, 415.75, 529.13, 30.24, colors::kWhite),
    box("Shape3", 593.39, 415.75, 162.52, 30.24, colors::kWhite),
    memo("txtLuogoNasc", 41.57, 419.53, 521.58, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("txtDataNasc", 597.17, 419.53, 154.96, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kBeige), ""),
    memo("Memo2", 37.80, 457.32, 430.87, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "INDIRIZZO DI RESIDENZA E/O DOMICILIO"),
    box("Shape5", 37.80, 480.00, 718.11, 30.24, colors::kWhite),
    memo("txtResidenza", 41.57, 483.78, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo3", 37.80, 521.57, 430.87, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "DOCUMENTO DI IDENTITA'"),
    box("Shape7", 37.80, 544.25, 718.11, 30.24, colors::kWhite),
    memo("txtDocumento", 41.57, 548.03, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo13", 37.80, 585.83, 430.87, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "SPORT PER CUI E' STATA RICHIESTA LA VISITA"),
    box("Shape8", 37.80, 608.50, 718.11, 30.24, colors::kWhite),
    memo("txtSportRichiesto", 41.57, 612.28, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo5", 37.80, 661.42, 733.23, 21.17, arial(12, true, HAlign::Left, VAlign::Centre, colors::kNone), "L'atleta di cui sopra, sulla base della visita medica e dei relativi accertamenti, non presenta"),
    memo("Memo9", 37.80, 687.87, 733.23, 21.17, arial(12, true, HAlign::Left, VAlign::Centre, colors::kNone), "controindicazioni in atto alla pratica agonistica dello sport:"),
    box("Shape9", 37.80, 714.33, 718.11, 30.24, colors::kWhite),
    memo("txtSportApprovato", 41.57, 718.11, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo15", 37.80, 752.13, 718.11, 21.17, arial(12, true, HAlign::Left, VAlign::Centre, colors::kNone), "adattato ad atleti disabili."),
    box("Shape10", 351.50, 793.70, 105.83, 30.24, colors::kWhite),
    box("Shape6", 593.39, 793.70, 162.52, 30.24, colors::kWhite),
    memo("txtNumMesi", 355.28, 797.48, 98.27, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kBeige), ""),
    memo("txtDataScade", 597.17, 797.48, 154.96, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kBeige), ""),
    memo("Memo10", 37.80, 799.37, 302.36, 21.17, arial(12, false, HAlign::Left, VAlign::Centre, colors::kNone), "Il presente certificato ha validita' di mesi:"),
    memo("Memo4", 480.00, 799.37, 102.05, 21.17, arial(12, false, HAlign::Left, VAlign::Centre, colors::kNone), "e scadrà il ¹"),
    memo("txtData", 37.80, 849.64, 718.11, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kNone), ""),
    memo("Memo8", 491.34, 888.19, 264.57, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kNone), "IL MEDICO CERTIFICATORE ²"),
    line("Line11", 491.34, 960.00, 264.57),
    memo("txtMedico", 491.34, 965.29, 264.57, 17.39, arial(9, true, HAlign::Centre, VAlign::Centre, colors::kNone), ""),
    memo("txtCodice", 491.34, 984.19, 264.57, 15.12, arial(8, false, HAlign::Centre, VAlign::Centre, colors::kNone), ""),
    line("Line2", 37.80, 1031.81, 718.11),
    memo("Memo18", 37.80, 1038.62, 737.01, 16.63, arial(8, false, HAlign::Left, VAlign::Centre, colors::kNone), "¹ Salvo la comparsa di eventi morbosi e/o traumatici che facciano venire a mancare la suddetta idoneità."),
    memo("Memo12", 37.80, 1058.27, 737.01, 16.63, arial(8, false, HAlign::Left, VAlign::Centre, colors::kNone), "² I certificati di idoneità all'attività sportiva agonistica sono rilasciati dai medici specialisti in Medicina dello Sport."),
};

// Non-fitness for competitive sport.
const Item kNonIdoneita[] = {
    box("Shape2", 37.80, 151.18, 718.11, 71.81, colors::kLavender),
    memo("titDirettore", 41.57, 156.47, 710.55, 30.24, arial(18, true, HAlign::Centre, VAlign::Centre, colors::kNone), "CERTIFICATO DI NON IDONEITA'"),
    memo("Memo11", 41.57, 188.22, 710.55, 30.24, arial(16, true, HAlign::Centre, VAlign::Centre, colors::kNone), "ALLA PRATICA DI ATTIVITA' SPORTIVA AGONISTICA"),
    memo("txtDirettore", 37.80, 230.55, 718.11, 21.92, arial(11, false, HAlign::Centre, VAlign::Centre, colors::kNone), "D.M. 18 febbraio 1982 e successive modifiche e integrazioni;"),
    memo("Memo14", 37.80, 253.23, 718.11, 21.92, arial(11, false, HAlign::Centre, VAlign::Centre, colors::kNone), "Legge 26 ottobre 1971, n. 1099."),
    line("Line6", 37.80, 279.69, 718.11),
    memo("txtRegione", 37.80, 287.24, 718.11, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kWhite), ""),
    line("Line1", 37.80, 313.70, 718.11),
    memo("Memo1", 37.80, 336.38, 347.72, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "COGNOME E NOME ATLETA"),
    box("Shape1", 37.80, 359.06, 718.11, 30.24, colors::kWhite),
    memo("txtPaziente", 41.57, 362.83, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo7", 37.80, 400.63, 245.67, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "LUOGO DI NASCITA"),
    memo("Memo6", 593.39, 400.63, 151.18, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "DATA DI NASCITA"),
    box("Shape4", 37.80, 423.31, 529.13, 30.24, colors::kWhite),
    box("Shape3", 593.39, 423.31, 162.52, 30.24, colors::kWhite),
    memo("txtLuogoNasc", 41.57, 427.09, 521.58, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("txtDataNasc", 597.17, 427.09, 154.96, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kBeige), ""),
    memo("Memo2", 37.80, 464.88, 430.87, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "INDIRIZZO DI RESIDENZA E/O DOMICILIO"),
    box("Shape5", 37.80, 487.56, 718.11, 30.24, colors::kWhite),
    memo("txtResidenza", 41.57, 491.34, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo3", 37.80, 529.13, 430.87, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "DOCUMENTO DI IDENTITA'"),
    box("Shape7", 37.80, 551.81, 718.11, 30.24, colors::kWhite),
    memo("txtDocumento", 41.57, 555.59, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo13", 37.80, 593.39, 430.87, 22.68, arial(10, false, HAlign::Left, VAlign::Centre, colors::kNone), "SPORT PER CUI E' STATA RICHIESTA LA VISITA"),
    box("Shape8", 37.80, 616.06, 718.11, 30.24, colors::kWhite),
    memo("txtSportRichiesto", 41.57, 619.84, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo4", 37.80, 668.98, 733.23, 21.17, arial(12, true, HAlign::Left, VAlign::Centre, colors::kNone), "Sulla base della visita medica e dei relativi accertamenti, l'atleta di cui sopra viene"),
    memo("Memo5", 37.80, 691.65, 733.23, 21.17, arial(12, true, HAlign::Left, VAlign::Centre, colors::kNone), "dichiarato NON IDONEO all'attività sportiva per:"),
    box("Shape9", 37.80, 718.11, 718.11, 30.24, colors::kWhite),
    memo("txtSportApprovato", 41.57, 721.89, 710.55, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kBeige), ""),
    memo("Memo15", 37.80, 771.02, 733.23, 21.17, arial(12, true, HAlign::Left, VAlign::Centre, colors::kNone), "L'interessato, avverso il giudizio di non idoneità, può ricorrere entro 30 giorni dalla"),
    memo("Memo9", 37.80, 793.70, 733.23, 21.17, arial(12, true, HAlign::Left, VAlign::Centre, colors::kNone), "comunicazione, alla commissione medica regionale d'Appello di competenza."),
    memo("txtData", 37.80, 849.64, 718.11, 22.68, arial(12, true, HAlign::Left, VAlign::Centre, colors::kNone), ""),
    memo("Memo8", 487.56, 899.53, 264.57, 22.68, arial(12, true, HAlign::Centre, VAlign::Centre, colors::kNone), "IL MEDICO CERTIFICATORE ¹"),
    line("Line11", 487.56, 971.34, 264.57),
    memo("txtMedico", 487.56, 976.63, 264.57, 17.39, arial(9, true, HAlign::Centre, VAlign::Centre, colors::kNone), ""),
    memo("txtCodice", 487.56, 995.53, 264.57, 15.12, arial(8, false, HAlign::Centre, VAlign::Centre, colors::kNone), ""),
    line("Line2", 37.80, 1050.71, 718.11),
    memo("Memo12", 37.80, 1058.27, 737.01, 16.63, arial(8, false, HAlign::Left, VAlign::Centre, colors::kNone), "¹ I certificati di idoneità all'attività sportiva agonistica sono rilasciati dai medici specialisti in Medicina dello Sport."),
};

struct Built {
    std::vector<Item> items;
    LayoutDef layout;
};

const LayoutDef& build(const char* name, std::vector<Item> head, std::span<const Item> body)
{
    auto* b = new Built{std::move(head), {}}; // kept for the whole run
    b->items.insert(b->items.end(), body.begin(), body.end());
    b->layout = LayoutDef{name, Orientation::Portrait, QMarginsF(0, 0, 0, 0), b->items};
    return b->layout;
}
} // namespace

const LayoutDef& certificate(CertificateKind kind, bool preview)
{
    static const LayoutDef* table[4][2] = {
        {&build("Certificato Sportivo Non Agonistico", letterhead(kHigh), kNonAgonistico),
         &build("Certificato Sportivo Non Agonistico", letterhead(kHigher), kNonAgonistico)},
        {&build("Certificato Sportivo Agonistico", letterhead(kLow), kAgonistico),
         &build("Certificato Sportivo Agonistico", letterhead(kLow, 650.08, 105.83), kAgonistico)},
        {&build("Certificato Sportivo Agonistico Disabili", letterhead(kLow), kDisabili),
         &build("Certificato Sportivo Agonistico Disabili", letterhead(kLow), kDisabili)},
        {&build("Certificato Non Idoneita Sportiva Agonistica", letterhead(kLow), kNonIdoneita),
         &build("Certificato Non Idoneita Sportiva Agonistica", letterhead(kLow), kNonIdoneita)},
    };
    return *table[int(kind)][preview ? 1 : 0];
}

} // namespace vornel::layouts
