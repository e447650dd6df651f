#pragma once

#include "ProgressBadge.h"

#include <mutex>
#include <vector>

// Stands in for the program's button outside the window: keeps what it was asked to show.
class RecordingBadge final : public ProgressBadge {
public:
    struct Shown {
        State state;
        double done;
        bool operator==(const Shown&) const = default;
    };

    void show(State state, double done) override {
        const std::lock_guard lock(m_mutex);
        m_shown.push_back({state, done});
    }
    std::vector<Shown> shown() const {
        const std::lock_guard lock(m_mutex);
        return m_shown;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Shown> m_shown;
};
