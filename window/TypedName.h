#pragma once

#include <filesystem>

// The add-file dialog's rule for a name typed without an extension: it is taken as it stands
// when a file of that very name exists (the pieces split(1) makes: xaa, xab, ...); otherwise
// the default extension is appended.
namespace TypedName {
inline constexpr const char* kDefaultSuffix = "vmdk";

std::filesystem::path WithDefaultSuffix(const std::filesystem::path& path);
} // namespace TypedName
