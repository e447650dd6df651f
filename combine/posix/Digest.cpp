#include "Digest.h"

#include <array>
#include <new>
#include <openssl/evp.h>
#include <zlib.h>

// OpenSSL picks the processor's SHA instructions where it has them.
struct Digest::State {
    EVP_MD_CTX* context = nullptr;
    uLong crc = 0;

    State(const State&) = delete;
    State& operator=(const State&) = delete;
    State(State&&) = delete;
    State& operator=(State&&) = delete;
    explicit State(Algorithm algorithm) {
        const EVP_MD* kind = nullptr;
        switch (algorithm) {
        case Algorithm::Sha256:
            kind = EVP_sha256();
            break;
        case Algorithm::Sha512:
            kind = EVP_sha512();
            break;
        case Algorithm::Sha1:
            kind = EVP_sha1();
            break;
        case Algorithm::Md5:
            kind = EVP_md5();
            break;
        case Algorithm::Crc32:
            crc = ::crc32_z(0, nullptr, 0);
            return;
        }
        context = EVP_MD_CTX_new();
        if (context == nullptr || EVP_DigestInit_ex(context, kind, nullptr) != 1) {
            throw std::bad_alloc();
        }
    }
    ~State() { EVP_MD_CTX_free(context); }
};

Digest::Digest(Algorithm algorithm)
    : m_algorithm(algorithm), m_state(std::make_unique<State>(algorithm)) {}
Digest::Digest(Digest&&) noexcept = default;
Digest& Digest::operator=(Digest&&) noexcept = default;
Digest::~Digest() = default;

void Digest::update(std::span<const char> bytes) {
    if (m_state->context == nullptr) {
        m_state->crc =
            ::crc32_z(m_state->crc, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
    } else {
        EVP_DigestUpdate(m_state->context, bytes.data(), bytes.size());
    }
}

std::string Digest::finish() {
    if (m_state->context == nullptr) {
        return CrcHex(static_cast<std::uint32_t>(m_state->crc));
    }
    std::array<unsigned char, EVP_MAX_MD_SIZE> value{};
    unsigned int size = 0;
    EVP_DigestFinal_ex(m_state->context, value.data(), &size);
    return Hex(std::span(value).first(size));
}
