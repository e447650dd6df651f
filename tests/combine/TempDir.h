#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// A scratch folder on the same disk as the build, removed with everything in it.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    TempDir(TempDir&&) = delete;
    TempDir& operator=(TempDir&&) = delete;
    ~TempDir();

    std::string path(const std::string& name) const;
    // Writes `size` bytes of a pattern that differs per seed and per position.
    std::string makeFile(const std::string& name, std::size_t size, unsigned seed) const;

private:
    std::filesystem::path m_root;
};
