#pragma once

#include "ListedRow.h"

#include <mutex>
#include <string>
#include <vector>

// The list of sources as the window's thread last left it, readable from a run's worker
// without a round trip to that thread. The window changes it as it changes its list, so each
// read sees the list as it stands at that moment. A row the store does not hold reads as an
// unticked row with no path.
class RowStore {
public:
    // Paths in UTF-8, the file system's encoding on every system.
    using Row = ListedRow;

    // Appends an unticked row.
    void append(std::string path);
    void setChecked(int row, bool checked);
    // The rows as `order` names them from the top (see RowEdits); those it leaves out are gone.
    void reorder(const std::vector<int>& order);
    int count() const;
    bool isChecked(int row) const;
    std::string path(int row) const;
    // Every row, read under one lock, so no change falls between two rows.
    std::vector<Row> snapshot() const;

private:
    bool holds(int row) const;

    mutable std::mutex m_mutex;
    std::vector<Row> m_rows;
};
