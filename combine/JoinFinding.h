#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

// Something about a join, found before the target is emptied, that the user should know.
struct JoinFinding {
    enum class Kind {
        CannotOpen,
        SeriesGap,
        SeriesDuplicate,
        SeriesOrder,
        SeriesNeighbourLeftOut,
        SeriesUnequalSize,
        FormatVolumes,
        DescriptorWithOthers,
        NothingTicked,
        NoSpace,
        TooLarge
    };
    Kind kind = Kind::CannotOpen;
    // The files concerned, as the rows name them; the target's for the last three kinds.
    std::vector<std::string> paths{};
    // CannotOpen: the system's reason.
    std::error_code error{};
    // The missing counters ("004, 005"), or the format's name.
    std::string detail{};
    // NoSpace and TooLarge, in bytes.
    std::uint64_t needed = 0;
    std::uint64_t available = 0;
};
