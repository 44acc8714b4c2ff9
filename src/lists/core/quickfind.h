#pragma once
#include <QString>
#include <QStringList>

#include <functional>

// The quick find of every list window: find the next line holding a text,
// wrapping from the last line to the first.
namespace vornel::quickfind {

struct Outcome {
    bool emptyList = false; // nothing to search: the window reports it
    int selected = -1;      // the line to select (-1 only for an empty list)
    QString remembered;     // the text to remember for the next search
};

// 'typed' is the search text as typed; 'selected' the selected line (-1 for
// none); 'remembered' the text of the previous search. A new text is sought
// from the first line, which is tested first; the same text again from the
// line after the selected one. Matching lower-cases A-Z only; an empty text
// never matches. When nothing matches the selection stays where it was
// (the first line when there was none).
Outcome find(qsizetype count, const std::function<QString(qsizetype)>& lineAt, int selected,
             const QString& typed, const QString& remembered);
Outcome find(const QStringList& lines, int selected, const QString& typed, const QString& remembered);

} // namespace vornel::quickfind
