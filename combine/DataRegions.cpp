#include "DataRegions.h"

#include <algorithm>

DiskFile::Region DataRegions::within(std::uint64_t from, std::uint64_t to) {
    if (from >= m_current.end) {
        m_current = m_source.nextData(from);
    }
    const std::uint64_t start = std::min(std::max(from, m_current.start), to);
    return {start, std::max(start, std::min(m_current.end, to))};
}
