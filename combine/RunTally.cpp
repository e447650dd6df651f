#include "RunTally.h"

#include <algorithm>
#include <utility>

namespace {

// A rate taken over less time than this says more of the caches than of the disks.
constexpr double kSettledSeconds = 1.0;

} // namespace

RunTally::RunTally(std::vector<SourceFacts> pieces) : m_pieces(std::move(pieces)) {
    for (const SourceFacts& piece : m_pieces) {
        m_total += piece.length;
        m_dataTotal += piece.dataBytes;
    }
}

void RunTally::reachPiece() {
    finishPiece();
    ++m_reached;
}

void RunTally::beginPiece(std::uint64_t length) {
    const SourceFacts planned =
        m_reached > 0 && m_reached <= m_pieces.size() ? m_pieces[m_reached - 1] : SourceFacts{};
    // A piece that changed since the check is taken as all data: better a time left too long
    // than holes claimed that are not there.
    m_data = length == planned.length ? std::min(planned.dataBytes, length) : length;
    m_total = m_total - planned.length + length;
    m_dataTotal = m_dataTotal - planned.dataBytes + m_data;
    m_open = true;
    m_length = length;
    m_blocksDone = 0;
    m_blocksBegun = 0;
    m_stepHasData = false;
    m_moved = 0;
}

void RunTally::stepTo(std::uint32_t position) {
    endStep();
    // Only blocks with data are stepped over one at a time.
    m_stepHasData = position + 1 - m_blocksBegun == 1;
    m_blocksBegun = position + 1;
    m_blocksDone = position;
}

void RunTally::finishStep() {
    endStep();
    m_blocksDone = m_blocksBegun;
}

void RunTally::finishPiece() {
    if (!m_open) {
        return;
    }
    m_doneBefore += m_length;
    m_movedBefore += m_data;
    m_holesBefore += m_length - m_data;
    m_open = false;
}

void RunTally::finishRun() {
    finishPiece();
    m_complete = true;
}

std::uint64_t RunTally::done() const {
    const std::uint64_t current =
        m_open ? std::min(m_length, std::uint64_t{m_blocksDone} * kBlockSize) : 0;
    return m_doneBefore + current;
}

unsigned RunTally::percent() const {
    if (m_complete) {
        return 100;
    }
    return static_cast<unsigned>(
        std::min<std::uint64_t>(done() * 100 / std::max<std::uint64_t>(m_total, 1), 99));
}

std::uint64_t RunTally::moved() const {
    // A block with data counts whole, though part of it may be a hole.
    return m_movedBefore + (m_open ? std::min(m_moved, m_data) : 0);
}

double RunTally::rate(double seconds) const {
    return seconds > 0 ? static_cast<double>(moved()) / seconds : 0;
}

std::optional<double> RunTally::secondsLeft(double seconds) const {
    const std::uint64_t moved = this->moved();
    if (seconds < kSettledSeconds || moved == 0) {
        return std::nullopt;
    }
    return static_cast<double>(m_dataTotal - std::min(m_dataTotal, moved)) / rate(seconds);
}

void RunTally::endStep() {
    if (m_stepHasData) {
        m_moved += kBlockSize;
        m_stepHasData = false;
    }
}
