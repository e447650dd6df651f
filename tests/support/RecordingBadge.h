#pragma once

#include "ProgressBadge.h"

#include <mutex>
#include <vector>

// Stands in for the program's button outside the window: keeps what it was asked to show.
class RecordingBadge final : public ProgressBadge {
public:
    void show(State state, double done) override {
        const std::lock_guard lock(m_mutex);
        if (m_states.empty() || m_states.back() != state) {
            m_states.push_back(state);
        }
        // A share that goes back spoils the last one for good.
        m_last = state == State::Hidden ? m_last : done < m_last ? -1 : done;
    }
    // Each state shown, once however often it came in a row.
    std::vector<State> states() const {
        const std::lock_guard lock(m_mutex);
        return m_states;
    }
    // The last share shown while not hidden; -1 once a share went back.
    double lastShare() const {
        const std::lock_guard lock(m_mutex);
        return m_last;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<State> m_states;
    double m_last = 0;
};
