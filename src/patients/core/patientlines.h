#pragma once
#include "lists/core/recordlines.h"

// The list lines of the patient search and of the recontact summary.
namespace vornel::lists {

// Name 26, "  Tel. ", preferred telephone 15, "  CF: ", tax code 16,
// "  Tessera n. ", health card 25, two blanks, then the notes whole.
extern const LineLayout kPazienteLine;
// The same, ending with the pending questions instead of the notes.
extern const LineLayout kRicontattaLine;

} // namespace vornel::lists
