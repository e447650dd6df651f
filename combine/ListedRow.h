#pragma once

#include <string>

// One row of the window's list as a run reads it: its path in the file system's encoding, and
// whether its box is ticked.
struct ListedRow {
    std::string path;
    bool checked = false;

    bool operator==(const ListedRow&) const = default;
};
