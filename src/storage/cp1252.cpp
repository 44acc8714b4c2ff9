#include "storage/cp1252.h"

#include <array>

namespace vornel::cp1252 {

namespace {
const auto& kHigh = detail::kHigh;
const auto& kTable = kDecodeTable;
} // namespace

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
