#pragma once
#include "documents/report.h"

// "Scheda informativa": the printout of a patient card. A4 portrait, 10 mm
// margins; the logo and an orange title bar, 24 rows of a teal title memo
// and its value memo one centimetre apart, and an orange closing bar.
namespace vornel::layouts {

const report::LayoutDef& scheda();

// Names of the title and value memos of row n (1 to 24): "titCampo01" ...
QString schedaTitleMemo(int row);
QString schedaValueMemo(int row);

} // namespace vornel::layouts
