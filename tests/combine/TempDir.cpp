#include "TempDir.h"

#include "FileBytes.h"

#include <cstdlib>
#include <stdexcept>

TempDir::TempDir() {
    std::string name = (std::filesystem::current_path() / "veltrane-test-XXXXXX").string();
    if (::mkdtemp(name.data()) == nullptr) {
        throw std::runtime_error("cannot make a scratch folder");
    }
    m_root = name;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

std::string TempDir::path(const std::string& name) const {
    return (m_root / name).string();
}

std::string TempDir::makeFile(const std::string& name, std::size_t size, unsigned seed) const {
    std::string file = path(name);
    FileBytes::write(file, FileBytes::pattern(size, seed));
    return file;
}
