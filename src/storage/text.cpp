#include "storage/text.h"

namespace vornel {

QStringView trimmedView(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() <= 32)
        ++b;
    while (e > b && s[e - 1].unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}

QString trimmed(QStringView s)
{
    return trimmedView(s).toString();
}

QString upperAscii(QStringView s)
{
    QString r = s.toString();
    for (QChar& c : r)
        if (c.unicode() >= u'a' && c.unicode() <= u'z')
            c = QChar(char16_t(c.unicode() - 32));
    return r;
}

QString lowerAscii(QStringView s)
{
    QString r = s.toString();
    for (QChar& c : r)
        if (c.unicode() >= u'A' && c.unicode() <= u'Z')
            c = QChar(char16_t(c.unicode() + 32));
    return r;
}

int compareFold(QStringView a, QStringView b)
{
    const qsizetype n = qMin(a.size(), b.size());
    const char16_t* p = a.utf16();
    const char16_t* q = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == q[i])
            continue; // the common case in a sorted list: equal characters need no folding
        const char16_t x = foldChar(QChar(p[i])).unicode(), y = foldChar(QChar(q[i])).unicode();
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool equalsFold(QStringView a, QStringView b)
{
    return a.size() == b.size() && compareFold(a, b) == 0;
}

qsizetype indexOfFold(QStringView hay, QStringView needle, qsizetype from)
{
    if (from < 0)
        from = 0;
    if (needle.isEmpty())
        return from <= hay.size() ? from : -1;
    // The last place a match can start; none when the needle is longer than
    // what is left of the text.
    const qsizetype last = hay.size() - needle.size();
    if (last < from)
        return -1;
    const char16_t* h = hay.utf16();
    const char16_t* n = needle.utf16();
    const qsizetype m = needle.size();
    // Candidates are found by the first character in either case.
    const char16_t first = foldChar(QChar(n[0])).unicode();
    const char16_t other = (first >= u'A' && first <= u'Z') ? char16_t(first + 32) : first;
    // The next place of each form of the first character (the library's
    // search for one character is vectorised).
    const QStringView within = hay.left(last + 1);
    qsizetype nextFirst = within.indexOf(QChar(first), from);
    qsizetype nextOther = other == first ? -1 : within.indexOf(QChar(other), from);
    while (nextFirst >= 0 || nextOther >= 0) {
        const qsizetype i = nextFirst < 0 ? nextOther : (nextOther < 0 ? nextFirst : qMin(nextFirst, nextOther));
        qsizetype j = 1;
        while (j < m && foldChar(QChar(h[i + j])) == foldChar(QChar(n[j])))
            ++j;
        if (j == m)
            return i;
        if (i == nextFirst)
            nextFirst = within.indexOf(QChar(first), i + 1);
        else
            nextOther = within.indexOf(QChar(other), i + 1);
    }
    return -1;
}

} // namespace vornel
