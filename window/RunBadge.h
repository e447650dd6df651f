#pragma once

#include "ProgressBadge.h"
#include "RunOutcome.h"

#include <chrono>

// What the program's button shows of a run, on the window's thread: nothing until the run has
// a source, then its whole share done, paused once Stop is pressed, an error when the run failed
// and full when it was complete while the end notice is up, and nothing again once it is closed.
// Moves are passed on a few times a second at most; a change of state at once.
class RunBadge {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration kInterval = std::chrono::milliseconds(250);

    explicit RunBadge(ProgressBadge& badge) : m_badge(badge) {}

    void runStarted();
    void moved(double done, Clock::time_point now = Clock::now());
    // `done`: the run's share at that moment, which the last move may not have shown.
    void stopAsked(double done);
    void runEnded(RunOutcome outcome, double done);
    void noticeClosed();

private:
    using State = ProgressBadge::State;

    void show(State state, double done, Clock::time_point now);

    ProgressBadge& m_badge;
    bool m_running = false;
    bool m_stopped = false;
    State m_state = State::Hidden;
    double m_latest = 0;
    double m_shownDone = 0;
    Clock::time_point m_shownAt;
};
