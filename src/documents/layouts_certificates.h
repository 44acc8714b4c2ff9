#pragma once
#include "documents/report.h"

// The four certificate sheets: A4 portrait, zero margins, coordinates from the
// sheet's corner. Each print window and each preview window holds its own
// copy of its kind's layout; the preview copies differ only by a few offsets
// of the letterhead.
namespace vornel::layouts {

enum class CertificateKind { NonAgonistico, Agonistico, Disabili, NonIdoneita };

// The layout printed by the kind's print window (preview = false) or shown
// by its preview window (preview = true).
const report::LayoutDef& certificate(CertificateKind kind, bool preview);

} // namespace vornel::layouts
