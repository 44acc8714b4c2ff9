#pragma once
#include <QStringList>

namespace vornel {

// Sorts list lines ascending, ignoring the case of A-Z only; other
// characters compare by their code. Equal lines keep their order.
void sortFold(QStringList& lines);

} // namespace vornel
