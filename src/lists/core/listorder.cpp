#include "lists/core/listorder.h"

#include "storage/text.h"

#include <algorithm>
#include <array>
#include <vector>

namespace vornel {

namespace {
// The first 24 folded characters of a line packed into bytes, so most
// comparisons of a large sort look at a small contiguous key instead of the
// lines themselves. A character above 254 ends the key (255, then 0xFF to
// the end), which keeps the key order consistent with the full comparison:
// lines whose keys are equal are compared in full.
using Key = std::array<quint64, 3>;
Key keyOf(const QString& line)
{
    Key key{};
    const qsizetype n = line.size();
    for (int i = 0; i < 24; ++i) {
        quint64 byte = 0;
        if (i < n) {
            const char16_t c = foldChar(line.at(i)).unicode();
            if (c >= 255) {
                for (int k = i; k < 24; ++k)
                    key[size_t(k / 8)] |= quint64(k == i ? 255 : 0xFF) << (8 * (7 - k % 8));
                return key;
            }
            byte = c;
        }
        key[size_t(i / 8)] |= byte << (8 * (7 - i % 8));
    }
    return key;
}
} // namespace

void sortFold(QStringList& lines)
{
    struct Entry {
        Key key;
        qsizetype index;
    };
    std::vector<Entry> entries(size_t(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i)
        entries[size_t(i)] = {keyOf(lines.at(i)), i};
    std::stable_sort(entries.begin(), entries.end(), [&lines](const Entry& a, const Entry& b) {
        if (a.key != b.key)
            return a.key < b.key;
        return compareFold(lines.at(a.index), lines.at(b.index)) < 0;
    });
    QStringList sorted;
    sorted.reserve(lines.size());
    for (const Entry& e : entries)
        sorted.append(std::move(lines[e.index]));
    lines = std::move(sorted);
}

} // namespace vornel
