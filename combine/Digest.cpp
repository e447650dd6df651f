#include "Digest.h"

#include <algorithm>
#include <array>
#include <vector>

void Digest::updateZeros(std::uint64_t count) {
    static const std::vector<char> zeros(std::size_t{1} << 20);
    while (count > 0) {
        const std::size_t part = std::min<std::uint64_t>(count, zeros.size());
        update(std::span(zeros).first(part));
        count -= part;
    }
}

std::size_t Digest::hexLength(Algorithm algorithm) {
    switch (algorithm) {
    case Algorithm::Sha256:
        return 64;
    case Algorithm::Sha512:
        return 128;
    case Algorithm::Sha1:
        return 40;
    case Algorithm::Md5:
        return 32;
    case Algorithm::Crc32:
        break;
    }
    return 8;
}

std::string Digest::CrcHex(std::uint32_t crc) {
    const std::array<unsigned char, 4> value{
        static_cast<unsigned char>(crc >> 24), static_cast<unsigned char>(crc >> 16),
        static_cast<unsigned char>(crc >> 8), static_cast<unsigned char>(crc)};
    return Hex(value);
}

std::string Digest::Hex(std::span<const unsigned char> value) {
    constexpr std::array<char, 16> kDigits{'0', '1', '2', '3', '4', '5', '6', '7',
                                           '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string hex;
    hex.reserve(value.size() * 2);
    for (const unsigned char byte : value) {
        hex.push_back(kDigits.at(byte >> 4));
        hex.push_back(kDigits.at(byte & 0xF));
    }
    return hex;
}
