#include "LatestPosition.h"

bool LatestPosition::offer(std::uint32_t position) {
    m_latest = position;
    return !m_waiting.exchange(true);
}

std::optional<std::uint32_t> LatestPosition::take() {
    // Cleared before the position is read: one offered meanwhile asks for an update of its own.
    if (!m_waiting.exchange(false)) {
        return std::nullopt;
    }
    return m_latest.load();
}

bool LatestPosition::waiting() const {
    return m_waiting;
}
