#pragma once

#include <cstdint>
#include <limits>

// What a file's volume allows a join to write there. Where the system cannot tell, nothing is
// limited, so that a check never refuses on a guess.
struct VolumeFacts {
    static constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();

    // Which file system; 0 is unknown and matches no other.
    std::uint64_t id = 0;
    // Free bytes this user may fill.
    std::uint64_t freeBytes = kUnlimited;
    // A copy between two files of this file system may share their extents and write nothing.
    bool sharesExtents = false;
    std::uint64_t largestFile = kUnlimited;
};
