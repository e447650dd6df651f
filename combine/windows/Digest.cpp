#include "Digest.h"

#include <algorithm>
#include <new>
#include <vector>
#include <zlib.h>
// bcrypt.h needs the types windows.h defines.
// clang-format off
#include <windows.h>
#include <bcrypt.h>
// clang-format on

// The system's CNG hashes; CRC-32 is not among them, so zlib's serves.
struct Digest::State {
    BCRYPT_ALG_HANDLE provider = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    uLong crc = 0;

    State(const State&) = delete;
    State& operator=(const State&) = delete;
    State(State&&) = delete;
    State& operator=(State&&) = delete;
    explicit State(Algorithm algorithm) {
        const wchar_t* name = nullptr;
        switch (algorithm) {
        case Algorithm::Sha256:
            name = BCRYPT_SHA256_ALGORITHM;
            break;
        case Algorithm::Sha512:
            name = BCRYPT_SHA512_ALGORITHM;
            break;
        case Algorithm::Sha1:
            name = BCRYPT_SHA1_ALGORITHM;
            break;
        case Algorithm::Md5:
            name = BCRYPT_MD5_ALGORITHM;
            break;
        case Algorithm::Crc32:
            crc = ::crc32_z(0, nullptr, 0);
            return;
        }
        if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&provider, name, nullptr, 0)) ||
            !BCRYPT_SUCCESS(::BCryptCreateHash(provider, &hash, nullptr, 0, nullptr, 0, 0))) {
            throw std::bad_alloc();
        }
    }
    ~State() {
        if (hash != nullptr) {
            ::BCryptDestroyHash(hash);
        }
        if (provider != nullptr) {
            ::BCryptCloseAlgorithmProvider(provider, 0);
        }
    }
};

Digest::Digest(Algorithm algorithm)
    : m_algorithm(algorithm), m_state(std::make_unique<State>(algorithm)) {}
Digest::Digest(Digest&&) noexcept = default;
Digest& Digest::operator=(Digest&&) noexcept = default;
Digest::~Digest() = default;

void Digest::update(std::span<const char> bytes) {
    if (m_state->hash == nullptr) {
        m_state->crc =
            ::crc32_z(m_state->crc, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
        return;
    }
    // CNG takes at most 4 GiB less a byte at a time.
    constexpr std::size_t kMost = 0x40000000;
    while (!bytes.empty()) {
        const std::size_t part = std::min(bytes.size(), kMost);
        ::BCryptHashData(m_state->hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                         static_cast<ULONG>(part), 0);
        bytes = bytes.subspan(part);
    }
}

std::string Digest::finish() {
    if (m_state->hash == nullptr) {
        return CrcHex(static_cast<std::uint32_t>(m_state->crc));
    }
    std::vector<unsigned char> value(hexLength(m_algorithm) / 2);
    ::BCryptFinishHash(m_state->hash, value.data(), static_cast<ULONG>(value.size()), 0);
    return Hex(value);
}
