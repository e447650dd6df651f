#pragma once

#include <algorithm>

// The files of a drop in the order a file manager shows them: by name, then by full path, each
// compared by the toolkit's own rule (numbers by value, case ignored), which returns a negative
// number, zero or a positive number.
namespace DropOrder {
template <typename Files, typename NameOf, typename PathOf, typename Compare>
void Sort(Files& files, NameOf nameOf, PathOf pathOf, Compare compare) {
    std::stable_sort(files.begin(), files.end(), [&](const auto& a, const auto& b) {
        const int byName = compare(nameOf(a), nameOf(b));
        return byName != 0 ? byName < 0 : compare(pathOf(a), pathOf(b)) < 0;
    });
}
} // namespace DropOrder
