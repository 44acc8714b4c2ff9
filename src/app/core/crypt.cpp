#include "app/core/crypt.h"

namespace Crypt {

namespace {
constexpr quint16 kStartKey = 9063;
constexpr quint32 kMul = 61447;
constexpr quint32 kAdd = 30517;

quint16 nextKey(quint16 key, quint8 cipher)
{
    return quint16(((quint32(cipher) + key) * kMul + kAdd) & 0xFFFF);
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}
} // namespace

QString Encrypt(const QString& plain)
{
    static const char digits[] = "0123456789ABCDEF";
    QString out;
    out.reserve(plain.size() * 2);
    quint16 key = kStartKey;
    for (QChar ch : plain) {
        const quint8 c = quint8((ch.unicode() & 0xFF) ^ (key >> 8));
        out += QLatin1Char(digits[c >> 4]);
        out += QLatin1Char(digits[c & 0xF]);
        key = nextKey(key, c);
    }
    return out;
}

QString Decrypt(const QString& stored)
{
    QString out;
    quint16 key = kStartKey;
    for (qsizetype i = 0; i + 1 < stored.size(); i += 2) {
        const int hi = hexValue(stored[i]), lo = hexValue(stored[i + 1]);
        if (hi < 0 || lo < 0)
            throw DecryptError("stored password is not hexadecimal");
        const quint8 c = quint8(hi * 16 + lo);
        out += QChar(char16_t(c ^ (key >> 8)));
        key = nextKey(key, c);
    }
    return out;
}

} // namespace Crypt
