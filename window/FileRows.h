#pragma once

#include <string>
#include <vector>

// How both windows keep the list of sources: rows are only appended, each with the decimal
// position it was added at, unticked; Space flips the focused row's box and gives every
// selected row the same new state.
namespace FileRows {
std::string IndexText(int row);

struct Tick {
    int row;
    bool checked;
};

// The boxes one press of Space sets: the focused row's first, then each other selected row's.
std::vector<Tick> SpaceTicks(int focusedRow, bool focusedChecked,
                             const std::vector<int>& selectedRows);

// The rows to scroll into view, in turn, once rows [first, end) are appended: the last, then
// the first, so that the first new row shows with as many of the others as fit below it.
std::vector<int> RowsToScrollTo(int first, int end);
} // namespace FileRows
