#include "RunProgress.h"

#include "CombineEngine.h"

#include <algorithm>

void RunProgress::planned(const std::vector<SourceFacts>& pieces) {
    m_planned = 0;
    for (const SourceFacts& piece : pieces) {
        m_planned += piece.opened ? piece.length : 0;
    }
    m_before = 0;
    m_length = 0;
    m_within = 0;
    publish();
}

void RunProgress::sourceBegins(std::uint64_t length) {
    m_before += m_length;
    m_length = length;
    m_within = 0;
    publish();
}

void RunProgress::blockReached(std::uint32_t block) {
    m_within = std::min<std::uint64_t>(std::uint64_t{block} * CombineEngine::kBlockSize, m_length);
    publish();
}

void RunProgress::publish() {
    // Rows ticked during the run may bring more than was planned: the whole grows with them.
    const std::uint64_t whole = std::max(m_planned, m_before + m_length);
    m_done =
        whole == 0
            ? 0.0
            : std::min(1.0, static_cast<double>(m_before + m_within) / static_cast<double>(whole));
}
