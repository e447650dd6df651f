#pragma once

// Where a run's progress shows outside the window, on the program's button: the taskbar's on
// Windows, the dock's or the panel's launcher on Linux.
class ProgressBadge {
public:
    enum class State { Hidden, Normal, Paused, Error };

    ProgressBadge() = default;
    ProgressBadge(const ProgressBadge&) = delete;
    ProgressBadge& operator=(const ProgressBadge&) = delete;
    ProgressBadge(ProgressBadge&&) = delete;
    ProgressBadge& operator=(ProgressBadge&&) = delete;
    virtual ~ProgressBadge() = default;

    // `done` from 0 to 1; it means nothing while Hidden.
    virtual void show(State state, double done) = 0;
};
