#include "storage/text.h"

namespace vornel {

QString trimmed(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() <= 32)
        ++b;
    while (e > b && s[e - 1].unicode() <= 32)
        --e;
    return s.mid(b, e - b).toString();
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
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = foldChar(a[i]).unicode(), y = foldChar(b[i]).unicode();
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
    const qsizetype last = hay.size() - needle.size();
    for (qsizetype i = from; i <= last; ++i) {
        qsizetype j = 0;
        while (j < needle.size() && foldChar(hay[i + j]) == foldChar(needle[j]))
            ++j;
        if (j == needle.size())
            return i;
    }
    return -1;
}

} // namespace vornel
