#include "patients/core/patientlines.h"

namespace vornel::lists {

namespace {
#define VORNEL_PATIENT_COLUMNS                                                                                  \
    column("txtPaziente", 26), caption("  Tel. "), column("txtRecapito", 15), caption("  CF: "),               \
        column("txtCodFisc", 16), caption("  Tessera n. "), column("txtTessera", 25), caption("  ")
constexpr Piece kPaziente[] = {VORNEL_PATIENT_COLUMNS, whole("txtNote")};
constexpr Piece kRicontatta[] = {VORNEL_PATIENT_COLUMNS, whole("txtQuestioni")};
#undef VORNEL_PATIENT_COLUMNS
} // namespace

const LineLayout kPazienteLine{kPaziente};
const LineLayout kRicontattaLine{kRicontatta};

} // namespace vornel::lists
