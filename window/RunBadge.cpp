#include "RunBadge.h"

void RunBadge::runStarted() {
    m_running = true;
    m_stopped = false;
    m_latest = 0;
}

void RunBadge::moved(double done, Clock::time_point now) {
    if (!m_running) {
        return;
    }
    m_latest = done;
    const State state = m_stopped ? State::Paused : State::Normal;
    if (state != m_state || (done != m_shownDone && now - m_shownAt >= kInterval)) {
        show(state, done, now);
    }
}

void RunBadge::stopAsked(double done) {
    m_stopped = m_running;
    m_latest = m_running ? done : m_latest;
    if (m_stopped && m_state != State::Hidden) {
        show(State::Paused, m_latest, Clock::now());
    }
}

void RunBadge::runEnded(RunOutcome outcome, double done) {
    const bool shown = m_running && m_state != State::Hidden;
    m_running = false;
    if (!shown) {
        return;
    }
    m_latest = done;
    switch (outcome) {
    case RunOutcome::Complete:
    case RunOutcome::Checked:
    case RunOutcome::NotChecked:
        show(State::Normal, 1.0, Clock::now());
        break;
    case RunOutcome::Stopped:
        show(State::Paused, m_latest, Clock::now());
        break;
    case RunOutcome::Failed:
    case RunOutcome::Mismatch:
        show(State::Error, m_latest, Clock::now());
        break;
    case RunOutcome::Unchanged:
        show(State::Hidden, 0, Clock::now());
        break;
    }
}

void RunBadge::noticeClosed() {
    if (!m_running && m_state != State::Hidden) {
        show(State::Hidden, 0, Clock::now());
    }
}

void RunBadge::show(State state, double done, Clock::time_point now) {
    m_state = state;
    m_shownDone = done;
    m_shownAt = now;
    m_badge.show(state, done);
}
