#pragma once

#include "SourceFacts.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The whole run's figures as the walk reaches its pieces and steps over their blocks: bytes done
// of the total, and data moved and still to move; for every host that shows the whole run. Holes
// count as bytes done but never as data, so a sparse join neither shows a false rate nor promises
// hours. Reads no clock: times are the seconds since the run began.
class RunTally {
public:
    static constexpr std::uint64_t kBlockSize = 0x100000;

    // The ticked pieces as the check found them, in list order.
    explicit RunTally(std::vector<SourceFacts> pieces = {});

    // The walk reaches the next piece: the one before it, if it opened, is whole.
    void reachPiece();
    // The piece reached opened with `length` bytes.
    void beginPiece(std::uint64_t length);
    // The step of the bar ending at block `position` begins: the blocks before it are done.
    // A step over more than one block passes blocks without data, which move no bytes.
    void stepTo(std::uint32_t position);
    // A stop lets the step being copied finish.
    void finishStep();
    // The piece being copied is whole, though the run may not be.
    void finishPiece();
    // The last piece is whole, and so is the run.
    void finishRun();

    // The piece reached, from 1; 0 before the first.
    std::size_t piece() const { return m_reached; }
    std::size_t pieces() const { return m_pieces.size(); }
    std::uint64_t done() const;
    std::uint64_t total() const { return m_total; }
    // Of the total; 100 only once the run is complete.
    unsigned percent() const;
    // Data bytes moved: holes left out.
    std::uint64_t moved() const;
    // Bytes of the whole pieces that were holes and so were not written.
    std::uint64_t holes() const { return m_holesBefore; }
    // Data bytes a second.
    double rate(double seconds) const;
    // Once a rate can be trusted: the data still to move at that rate.
    std::optional<double> secondsLeft(double seconds) const;

private:
    void endStep();

    std::vector<SourceFacts> m_pieces;
    std::size_t m_reached = 0;
    // Lengths as the check found them, corrected by each piece's length once opened.
    std::uint64_t m_total = 0;
    std::uint64_t m_dataTotal = 0;
    std::uint64_t m_doneBefore = 0;
    std::uint64_t m_movedBefore = 0;
    std::uint64_t m_holesBefore = 0;
    bool m_complete = false;

    // The piece being copied, if it opened.
    bool m_open = false;
    std::uint64_t m_length = 0;
    std::uint64_t m_data = 0;
    std::uint32_t m_blocksDone = 0;
    // Blocks of the steps begun so far, and whether the last of those steps holds data.
    std::uint32_t m_blocksBegun = 0;
    bool m_stepHasData = false;
    std::uint64_t m_moved = 0;
};
