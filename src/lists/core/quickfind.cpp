#include "lists/core/quickfind.h"

#include "storage/text.h"

namespace vornel::quickfind {

namespace {
template <class LineAt>
Outcome findIn(qsizetype count, const LineAt& lineAt, int selected, const QString& typed, const QString& remembered)
{
    Outcome out;
    out.remembered = remembered;
    if (count <= 0) {
        out.emptyList = true;
        return out;
    }
    if (selected < 0 || selected >= count)
        selected = 0;
    out.selected = selected;

    const QString text = lowerAscii(typed);
    auto matches = [&](qsizetype i) { return !text.isEmpty() && containsFold(lineAt(i), text); };

    qsizetype start = selected;
    if (text != remembered) {
        start = 0;
        if (matches(0)) {
            out.selected = 0;
            out.remembered = text;
            return out;
        }
    }
    // Walk on from the start line, wrapping, until the start line itself
    // has been tested last.
    qsizetype i = start;
    do {
        i = (i + 1) % count;
        if (matches(i)) {
            out.selected = int(i);
            break;
        }
    } while (i != start);
    out.remembered = text;
    return out;
}

} // namespace

Outcome find(qsizetype count, const std::function<QString(qsizetype)>& lineAt, int selected,
             const QString& typed, const QString& remembered)
{
    return findIn(count, lineAt, selected, typed, remembered);
}

// The lines are read in place: a press walks a long list without copying a line.
Outcome find(const QStringList& lines, int selected, const QString& typed, const QString& remembered)
{
    return findIn(lines.size(), [&lines](qsizetype i) -> const QString& { return lines.at(i); }, selected, typed,
                  remembered);
}

} // namespace vornel::quickfind
