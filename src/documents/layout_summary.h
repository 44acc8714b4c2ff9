#pragma once
#include "documents/report.h"

// "Riepilogo dati": the list printout of every list window. A4 landscape,
// 10 mm margins; a title bar, the list lines in a monospaced memo that runs
// over as many pages as it needs, and a closing bar after the last line.
namespace vornel::layouts {

const report::LayoutDef& summary();
// The height of one list line: a list of n lines is n times this high.
inline constexpr double kSummaryLinePitch = 12.822;

} // namespace vornel::layouts
