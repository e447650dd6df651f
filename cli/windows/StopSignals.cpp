#include "StopSignals.h"

#include <atomic>
#include <csignal>
#include <utility>
#include <windows.h>

namespace {

// The console calls its handlers on a thread of its own; one watcher lives at a time.
std::function<void(int)>* g_stop = nullptr;
std::atomic<int> g_events{0};
std::atomic<bool> g_ended{false};

int signalFor(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
        return SIGINT;
    case CTRL_BREAK_EVENT:
        return SIGBREAK;
    default:
        return SIGTERM;
    }
}

BOOL WINAPI onConsoleEvent(DWORD event) {
    if (g_events.fetch_add(1) > 0) {
        return FALSE; // the default handler ends the process
    }
    (*g_stop)(signalFor(event));
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        // The console ends the process once this returns: let the run close its target first.
        for (int wait = 0; wait < 80 && !g_ended; ++wait) {
            Sleep(50);
        }
    }
    return TRUE;
}

} // namespace

StopSignals::StopSignals(std::function<void(int)> stop) : m_stop(std::move(stop)) {
    g_stop = &m_stop;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignals::~StopSignals() {
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    g_ended = true;
}
