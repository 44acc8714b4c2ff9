#pragma once
#include <QByteArray>
#include <QString>

#include <array>

// Windows-1252, the single-byte code page of the archives, the settings and
// the exported files. Every byte decodes to one character and encodes back to
// the same byte; a character the code page lacks encodes as '?'.
namespace vornel::cp1252 {

namespace detail {
// 0x80..0x9F. The five bytes Windows leaves undefined map to the C1 control
// of the same code, as Windows' own conversion does, so they round-trip.
inline constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
constexpr std::array<char16_t, 256> makeTable()
{
    std::array<char16_t, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[std::size_t(i)] = char16_t(i);
    for (int i = 0; i < 32; ++i)
        t[std::size_t(0x80 + i)] = kHigh[i];
    return t;
}
} // namespace detail

// The character of each byte.
inline constexpr std::array<char16_t, 256> kDecodeTable = detail::makeTable();
inline QChar decodeByte(unsigned char b)
{
    return QChar(kDecodeTable[b]);
}
// The byte for c, or -1 when Windows-1252 has no form for it.
int encodeChar(QChar c);
bool canEncode(QChar c);

QString decode(const char* data, qsizetype len);
inline QString decode(const QByteArray& b) { return decode(b.constData(), b.size()); }
QByteArray encode(QStringView s);

} // namespace vornel::cp1252
