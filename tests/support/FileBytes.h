#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// Whole-file reads and writes for checking what a run left on disk.
namespace FileBytes {
inline constexpr std::size_t kMiB = std::size_t{1} << 20;

// A path given in UTF-8 as the system's library takes it, however long.
std::filesystem::path native(const std::string& path);
// `size` bytes that differ per seed and per position.
std::string pattern(std::size_t size, unsigned seed);
std::string read(const std::string& path);
void write(const std::string& path, const std::string& bytes);
} // namespace FileBytes
