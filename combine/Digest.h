#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

// One running checksum of a file's bytes, computed by the system's well-kept libraries: the
// build picks them, this face stays the same on every system.
class Digest {
public:
    enum class Algorithm { Sha256, Sha512, Sha1, Md5, Crc32 };

    explicit Digest(Algorithm algorithm);
    Digest(const Digest&) = delete;
    Digest& operator=(const Digest&) = delete;
    Digest(Digest&& other) noexcept;
    Digest& operator=(Digest&& other) noexcept;
    ~Digest();

    Algorithm algorithm() const { return m_algorithm; }
    void update(std::span<const char> bytes);
    // `count` zero bytes, as a hole reads.
    void updateZeros(std::uint64_t count);
    // The digest of everything given, in lowercase hexadecimal; ends the digest's use.
    std::string finish();

    // The hexadecimal length of the algorithm's digests.
    static std::size_t hexLength(Algorithm algorithm);

private:
    struct State;

    // The digest's bytes as the tools print them.
    static std::string Hex(std::span<const unsigned char> value);
    // A CRC-32 as SFV files give it, most significant byte first.
    static std::string CrcHex(std::uint32_t crc);

    Algorithm m_algorithm;
    std::unique_ptr<State> m_state;
};
