#pragma once

#include "RunTally.h"
#include "SourceFacts.h"

#include <atomic>
#include <cstdint>
#include <vector>

// The whole run's share done, for what shows it outside the window: the run's tally, fed by the
// worker alone as the walk goes, and its share published for the window's thread.
class RunProgress {
public:
    // A new run over the pieces the check found.
    void planned(const std::vector<SourceFacts>& pieces);
    // The walk reaches the next ticked row.
    void sourceReached();
    // The source reached opened with `length` bytes.
    void sourceBegins(std::uint64_t length);
    // The run copies the current source's block `block`, counted from 0.
    void blockReached(std::uint32_t block);
    // The complete target is read back: the share stays whole, whatever blocks the check reaches.
    void checkBegins();
    // From 0 to 1; from any thread.
    double done() const { return m_done; }

private:
    void publish();

    RunTally m_tally;
    // Whether the target is being read back; the worker's alone.
    bool m_checking = false;
    std::atomic<double> m_done{0};
};
