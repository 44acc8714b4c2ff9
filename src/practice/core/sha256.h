#pragma once
#include <QByteArray>

#include <memory>

namespace vornel::backup {

// SHA-256 over a stream of blocks. Uses the system's crypto library when the
// build found it (several times faster), Qt's own otherwise.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void reset();
    void add(const char* data, qint64 size);
    // The digest as 64 lower-case hexadecimal digits; resets the hash.
    QByteArray hex();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace vornel::backup
