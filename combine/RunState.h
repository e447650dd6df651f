#pragma once

#include "RunOutcome.h"

// Where an engine's runs stand, for the engine and its hosts alike.
struct RunState {
    enum class Phase {
        // No worker is left.
        Idle,
        // A run holds the target or walks the rows: a Start is refused.
        Busy,
        // The walk is over and the end notice is on its way or up.
        Ending,
        // The worker's last call: it needs its host no more.
        Leaving,
    };

    Phase phase = Phase::Idle;
    // How the latest run ended; known from Ending on.
    RunOutcome outcome = RunOutcome::Complete;

    // The host must keep answering: a window may not close.
    bool needsHost() const { return phase == Phase::Busy || phase == Phase::Ending; }
    // A run reads the rows by their place: the list may not be rearranged under it.
    bool readsRows() const { return phase == Phase::Busy; }
    bool liveWorker() const { return phase != Phase::Idle; }
};
