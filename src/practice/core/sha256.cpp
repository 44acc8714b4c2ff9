#include "practice/core/sha256.h"

#ifdef VORNEL_HAVE_LIBCRYPTO
#include <openssl/evp.h>
#else
#include <QCryptographicHash>
#endif

namespace vornel::backup {

#ifdef VORNEL_HAVE_LIBCRYPTO
struct Sha256::State {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    ~State() { EVP_MD_CTX_free(ctx); }
};

Sha256::Sha256() : m_state(std::make_unique<State>()) { reset(); }
Sha256::~Sha256() = default;

void Sha256::reset()
{
    EVP_DigestInit_ex(m_state->ctx, EVP_sha256(), nullptr);
}

void Sha256::add(const char* data, qint64 size)
{
    EVP_DigestUpdate(m_state->ctx, data, size_t(size));
}

QByteArray Sha256::hex()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_state->ctx, digest, &length);
    reset();
    return QByteArray(reinterpret_cast<const char*>(digest), int(length)).toHex();
}
#else
struct Sha256::State {
    QCryptographicHash hash{QCryptographicHash::Sha256};
};

Sha256::Sha256() : m_state(std::make_unique<State>()) {}
Sha256::~Sha256() = default;

void Sha256::reset()
{
    m_state->hash.reset();
}

void Sha256::add(const char* data, qint64 size)
{
    m_state->hash.addData(QByteArrayView(data, size));
}

QByteArray Sha256::hex()
{
    const QByteArray h = m_state->hash.result().toHex();
    reset();
    return h;
}
#endif

} // namespace vornel::backup
