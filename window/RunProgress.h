#pragma once

#include "SourceFacts.h"

#include <atomic>
#include <cstdint>
#include <vector>

// How far a whole run has gone, for what shows it outside the window: the lengths of the sources
// the run planned, then the block the run copies in each source it opens. Fed by the worker
// alone; the share done may be read from any thread.
class RunProgress {
public:
    // A new run over these pieces; those it could not open count for nothing.
    void planned(const std::vector<SourceFacts>& pieces);
    // A source has been opened: the one before it counts as done, whatever it wrote.
    void sourceBegins(std::uint64_t length);
    // The run copies the current source's block `block`, counted from 0.
    void blockReached(std::uint32_t block);
    // From 0 to 1.
    double done() const { return m_done; }

private:
    void publish();

    std::uint64_t m_planned = 0;
    std::uint64_t m_before = 0;
    std::uint64_t m_length = 0;
    std::uint64_t m_within = 0;
    std::atomic<double> m_done{0};
};
