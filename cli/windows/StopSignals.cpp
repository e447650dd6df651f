#include "StopSignals.h"

#include "StopGate.h"

#include <atomic>
#include <csignal>
#include <utility>
#include <windows.h>

namespace {

// The console calls its handlers on a thread of its own and does not wait for one in flight
// when it is unregistered: the gate does. One watcher lives at a time.
StopGate g_gate;
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
    if (g_events.fetch_add(1) > 0 || !g_gate.pass(signalFor(event))) {
        return FALSE; // the default handler ends the process
    }
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
    g_gate.open([this](int number) { m_stop(number); });
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignals::~StopSignals() {
    g_ended = true;
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    g_gate.close();
}
