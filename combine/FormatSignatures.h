#pragma once

#include <string_view>

// The self-contained formats whose files a join of slices would spoil, told by their first
// bytes.
namespace FormatSignatures {
struct Format {
    const char* name;
    std::string_view magic;
    // What reads such volumes instead; a translatable text.
    const char* reader;
};

// How many first bytes of a file the signatures need.
inline constexpr std::size_t kHeadBytes = 32;

// The format `head` begins with; null for none.
const Format* Recognised(std::string_view head);
const Format* Named(std::string_view name);
// A VMDK descriptor: text naming the extents of a disk, never a slice of one.
bool IsDescriptor(std::string_view head);
} // namespace FormatSignatures
