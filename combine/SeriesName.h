#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One way to read a file name as a piece of a numbered series: a counter of fixed width, or
// split's letters, which widen as they roll over (xyz, then xzaaaa).
struct SeriesName {
    // The name without its counter, and the counter's kind: equal for pieces of one series.
    std::string key;
    std::uint64_t ordinal = 0;
    // A counter written with a leading zero, or letters: only these make a series.
    bool padded = false;
    // Digits of a counter; 0 for letters.
    std::size_t width = 0;

    // Every reading of `name`, the rightmost counter last.
    static std::vector<SeriesName> Readings(std::string_view name);
    // How this series writes the counter `number`.
    std::string Counter(std::uint64_t number) const;
};
