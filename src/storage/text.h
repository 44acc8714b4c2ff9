#pragma once
#include <QString>
#include <QStringView>

// Text rules shared by the whole program. Trimming removes codes up to 32
// only; case folding touches A-Z / a-z only, so accented letters keep their
// case in every comparison, search and sort.
namespace vornel {

QString trimmed(QStringView s);
// The same trimming as a view into 's', copying nothing.
QStringView trimmedView(QStringView s);
QString upperAscii(QStringView s);
QString lowerAscii(QStringView s);

inline QChar foldChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') ? QChar(char16_t(u - 32)) : c;
}

// Case-insensitive (A-Z only) comparison: <0, 0, >0.
int compareFold(QStringView a, QStringView b);
bool equalsFold(QStringView a, QStringView b);
// Position of needle in hay from 'from', case-insensitive on A-Z only; -1 when absent.
qsizetype indexOfFold(QStringView hay, QStringView needle, qsizetype from = 0);
inline bool containsFold(QStringView hay, QStringView needle) { return indexOfFold(hay, needle) >= 0; }

} // namespace vornel
