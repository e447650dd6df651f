#pragma once

#include <filesystem>
#include <string>

// Paths arrive and leave as UTF-8, whatever the system's library takes.
namespace Utf8Path {
inline std::filesystem::path Native(const std::string& text) {
    return {std::u8string(text.begin(), text.end())};
}
inline std::string Text(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return {utf8.begin(), utf8.end()};
}
} // namespace Utf8Path
