#pragma once

#include "TextMark.h"

#include <cstddef>
#include <string_view>

// The maker's two addresses and the texts their labels hold before the links take them over.
namespace WindowLinks {
inline constexpr std::string_view kHomeUrl = "http://www.orvik.example";
inline constexpr std::string_view kSoftSiteUrl = "http://dl.orvik.example";
inline constexpr const char* kHomeText = Translatable("官网: www.orvik.example");
inline constexpr const char* kSoftSiteText = Translatable("软件站: dl.orvik.example");
// Byte capacities of a link label's title and address, terminator included.
inline constexpr std::size_t kTitleCapacity = 32;
inline constexpr std::size_t kUrlCapacity = 1024;
// Each address is its label's title too.
static_assert(kHomeUrl.size() < kTitleCapacity && kSoftSiteUrl.size() < kTitleCapacity);

struct Rgb {
    int red;
    int green;
    int blue;
};
// A link is blue, and red while the pointer is over it.
inline constexpr Rgb kLinkColour{0, 0, 255};
inline constexpr Rgb kHoverColour{255, 0, 0};
} // namespace WindowLinks
