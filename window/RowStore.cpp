#include "RowStore.h"

void RowStore::append(std::string path) {
    const std::lock_guard lock(m_mutex);
    m_rows.push_back({std::move(path), false});
}

void RowStore::setChecked(int row, bool checked) {
    const std::lock_guard lock(m_mutex);
    if (holds(row)) {
        m_rows[static_cast<std::size_t>(row)].checked = checked;
    }
}

void RowStore::reorder(const std::vector<int>& order) {
    const std::lock_guard lock(m_mutex);
    std::vector<Row> rows;
    rows.reserve(order.size());
    for (const int row : order) {
        if (holds(row)) {
            rows.push_back(m_rows[static_cast<std::size_t>(row)]);
        }
    }
    m_rows = std::move(rows);
}

int RowStore::count() const {
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(m_rows.size());
}

bool RowStore::isChecked(int row) const {
    const std::lock_guard lock(m_mutex);
    return holds(row) && m_rows[static_cast<std::size_t>(row)].checked;
}

std::string RowStore::path(int row) const {
    const std::lock_guard lock(m_mutex);
    return holds(row) ? m_rows[static_cast<std::size_t>(row)].path : std::string();
}

std::vector<RowStore::Row> RowStore::snapshot() const {
    const std::lock_guard lock(m_mutex);
    return m_rows;
}

bool RowStore::holds(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < m_rows.size();
}
