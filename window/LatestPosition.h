#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

// Hands a worker's bar positions to the window's thread without making the worker wait: only
// the latest position is kept, and an update needs posting only when none is on its way.
class LatestPosition {
public:
    // From any thread. True when the caller has to post an update that ends in take().
    bool offer(std::uint32_t position);
    // On the window's thread: the position offered last, unless it was taken already.
    std::optional<std::uint32_t> take();
    bool waiting() const;

private:
    std::atomic<std::uint32_t> m_latest{0};
    // Set from the first offer until the take that follows it.
    std::atomic<bool> m_waiting{false};
};
