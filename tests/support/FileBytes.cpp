#include "FileBytes.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace FileBytes {

std::string pattern(std::size_t size, unsigned seed) {
    std::minstd_rand generator(seed + 1);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator());
    }
    return bytes;
}

std::filesystem::path native(const std::string& path) {
    std::filesystem::path utf8(std::u8string(path.begin(), path.end()));
#ifdef _WIN32
    if (utf8.is_absolute()) {
        return LR"(\\?\)" + utf8.make_preferred().native();
    }
#endif
    return utf8;
}

std::string read(const std::string& path) {
    std::ifstream in(native(path), std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    // In one call: byte by byte, the gibibytes some tests compare take long in a debug build.
    std::string bytes(static_cast<std::size_t>(in.seekg(0, std::ios::end).tellg()), '\0');
    in.seekg(0).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void write(const std::string& path, const std::string& bytes) {
    std::ofstream out(native(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace FileBytes
