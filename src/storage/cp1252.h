#pragma once
#include <QByteArray>
#include <QString>

// Windows-1252, the single-byte code page of the archives, the settings and
// the exported files. Every byte decodes to one character and encodes back to
// the same byte; a character the code page lacks encodes as '?'.
namespace vornel::cp1252 {

QChar decodeByte(unsigned char b);
// The byte for c, or -1 when Windows-1252 has no form for it.
int encodeChar(QChar c);
bool canEncode(QChar c);

QString decode(const char* data, qsizetype len);
inline QString decode(const QByteArray& b) { return decode(b.constData(), b.size()); }
QByteArray encode(QStringView s);

} // namespace vornel::cp1252
