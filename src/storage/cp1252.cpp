#include "storage/cp1252.h"

#include <array>

namespace vornel::cp1252 {

namespace {
// 0x80..0x9F. The five bytes Windows leaves undefined map to the C1 control
// of the same code, as Windows' own conversion does, so they round-trip.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<char16_t, 256> makeTable()
{
    std::array<char16_t, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = char16_t(i);
    for (int i = 0; i < 32; ++i)
        t[0x80 + i] = kHigh[i];
    return t;
}
constexpr std::array<char16_t, 256> kTable = makeTable();
} // namespace

QChar decodeByte(unsigned char b)
{
    return QChar(kTable[b]);
}

int encodeChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u)
            return 0x80 + i;
    return -1;
}

bool canEncode(QChar c)
{
    return encodeChar(c) >= 0;
}

QString decode(const char* data, qsizetype len)
{
    QString s(len, Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < len; ++i)
        out[i] = QChar(kTable[static_cast<unsigned char>(data[i])]);
    return s;
}

QByteArray encode(QStringView s)
{
    QByteArray b;
    b.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const int e = encodeChar(s[i]);
        b.append(e < 0 ? '?' : char(e));
        // A character outside the basic plane is one character: one '?'.
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i;
    }
    return b;
}

} // namespace vornel::cp1252
