#pragma once

#include <functional>
#include <string>

// Where both windows cut a path too wide for its column: in the middle, so that its start and
// its file name stay in sight ("/home/…/disk-s01.vmdk"). Whole folders go first, from the one
// before the file name back; a name too long even so loses characters from its middle. Only
// what is drawn is cut: the row keeps its whole path.
namespace MiddleCut {
// How wide the toolkit draws a text, in the unit of the width given.
using Measure = std::function<int(const std::u16string&)>;

inline constexpr char16_t kEllipsis = u'\u2026';

std::u16string Cut(const std::u16string& path, int width, const Measure& widthOf);
} // namespace MiddleCut
