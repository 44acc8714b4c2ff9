#pragma once
#include <QString>

#include <stdexcept>

// The reversible scrambling of the stored access password.
namespace Crypt {

class DecryptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Two upper-case hexadecimal digits per character (its low 8 bits).
QString Encrypt(const QString& plain);
// Pairs of hexadecimal digits back to characters; a final odd digit is
// ignored. Throws DecryptError when a pair is not a hexadecimal number.
QString Decrypt(const QString& stored);

} // namespace Crypt
