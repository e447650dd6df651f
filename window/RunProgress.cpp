#include "RunProgress.h"

#include <algorithm>

void RunProgress::planned(const std::vector<SourceFacts>& pieces) {
    m_tally = RunTally(pieces);
    m_checking = false;
    publish();
}

void RunProgress::sourceReached() {
    m_tally.reachPiece();
    publish();
}

void RunProgress::sourceBegins(std::uint64_t length) {
    m_tally.beginPiece(length);
    publish();
}

void RunProgress::blockReached(std::uint32_t block) {
    if (m_checking) {
        return;
    }
    m_tally.stepTo(block);
    publish();
}

void RunProgress::checkBegins() {
    m_checking = true;
    m_done = 1.0;
}

void RunProgress::publish() {
    const std::uint64_t total = m_tally.total();
    m_done = total == 0
                 ? 0.0
                 : std::min(1.0, static_cast<double>(m_tally.done()) / static_cast<double>(total));
}
