#include "FileRows.h"

std::string FileRows::IndexText(int row) {
    return std::to_string(row);
}

std::vector<FileRows::Tick> FileRows::SpaceTicks(int focusedRow, bool focusedChecked,
                                                 const std::vector<int>& selectedRows) {
    const bool state = !focusedChecked;
    std::vector<Tick> ticks{{focusedRow, state}};
    for (const int row : selectedRows) {
        if (row != focusedRow) {
            ticks.push_back({row, state});
        }
    }
    return ticks;
}

std::vector<int> FileRows::RowsToScrollTo(int first, int end) {
    if (first >= end) {
        return {};
    }
    return {end - 1, first};
}
