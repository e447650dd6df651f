#include "TempDir.h"

#include "FileBytes.h"

#include <random>
#include <stdexcept>

TempDir::TempDir()
    : m_root(std::filesystem::current_path() /
             ("veltrane-test-" + std::to_string(std::random_device()()))) {
    if (!std::filesystem::create_directory(m_root)) {
        throw std::runtime_error("cannot make a scratch folder");
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

std::string TempDir::path(const std::string& name) const {
    const std::u8string utf8 = (m_root / FileBytes::native(name)).u8string();
    return {utf8.begin(), utf8.end()};
}

std::string TempDir::makeFile(const std::string& name, std::size_t size, unsigned seed) const {
    std::string file = path(name);
    FileBytes::write(file, FileBytes::pattern(size, seed));
    return file;
}
