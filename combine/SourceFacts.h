#pragma once

#include <cstdint>
#include <string>

// What the check learns of a ticked source, kept for the run's totals.
struct SourceFacts {
    std::string path;
    bool opened = false;
    std::uint64_t length = 0;
    // The length less its holes.
    std::uint64_t dataBytes = 0;
};
