#include "tools/core/listorder.h"

#include "storage/text.h"

#include <algorithm>

namespace vornel {

void sortFold(QStringList& lines)
{
    std::stable_sort(lines.begin(), lines.end(),
                     [](const QString& a, const QString& b) { return compareFold(a, b) < 0; });
}

} // namespace vornel
