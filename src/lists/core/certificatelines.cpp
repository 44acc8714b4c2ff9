#include "lists/core/certificatelines.h"

namespace vornel::lists {

namespace {
constexpr Piece kCertificato[] = {
    column("txtPaziente", 30), caption("  Data nascita: "), column("txtDataNasc", 10),
    caption("  Data ECG: "),   column("txtDataECG", 10),    caption("  Data emissione: "),
    column("txtData", 10),     caption("  Medico: "),       whole("txtMedico"),
};
constexpr Piece kNonIdoneita[] = {
    column("txtPaziente", 30), caption("  Nascita: "), column("txtDataNasc", 10),
    caption("  Sport: "),      column("txtSportRichiesto", 30), caption("  Data: "),
    column("txtData", 10),     caption("  Motivo: "),  whole("txtSportApprovato"),
};
constexpr Piece kAgonistica[] = {
    column("txtPaziente", 30), caption("  Data nascita: "), column("txtDataNasc", 10),
    caption("  Sport: "),      column("txtSportRichiesto", 45), caption("  Emissione: "),
    column("txtData", 10),     caption("  Scad. "),          whole("txtDataScade"),
};
} // namespace

const LineLayout kCertificatoLine{kCertificato};
const LineLayout kNonIdoneitaLine{kNonIdoneita};
const LineLayout kAgonisticaLine{kAgonistica};

} // namespace vornel::lists
