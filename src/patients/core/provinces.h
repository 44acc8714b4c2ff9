#pragma once
#include <QStringList>

namespace vornel {

// The 112 two-letter codes offered by every province box, in list order
// (the Italian province abbreviations and EE for abroad).
QStringList provinceCodes();

} // namespace vornel
