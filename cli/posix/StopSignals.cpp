#include "StopSignals.h"

#include <array>
#include <cstdlib>
#include <pthread.h>
#include <utility>

namespace {

constexpr std::array<int, 3> kStopSignals{SIGINT, SIGTERM, SIGHUP};

sigset_t watchedSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int number : kStopSignals) {
        struct sigaction current {};
        if (sigaction(number, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            sigaddset(&signals, number);
        }
    }
    return signals;
}

int firstOf(const sigset_t& signals) {
    for (const int number : kStopSignals) {
        if (sigismember(&signals, number) == 1) {
            return number;
        }
    }
    return 0;
}

// Ends the program as the signal's default action does, so that its parent sees which one.
[[noreturn]] void endBy(int number) {
    std::signal(number, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, number);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(number);
    std::_Exit(128 + number);
}

} // namespace

StopSignals::StopSignals(std::function<void(int)> stop)
    : m_stop(std::move(stop)), m_signals(watchedSignals()) {
    if (firstOf(m_signals) == 0) {
        return;
    }
    // Blocked in every thread, they wait for sigwait, where any code may run.
    pthread_sigmask(SIG_BLOCK, &m_signals, nullptr);
    m_watcher = std::thread([this] { watch(); });
}

StopSignals::~StopSignals() {
    if (!m_watcher.joinable()) {
        return;
    }
    m_ending = true;
    // One of the signals it waits for, sent to it alone, wakes it to end.
    pthread_kill(m_watcher.native_handle(), firstOf(m_signals));
    m_watcher.join();
}

void StopSignals::watch() {
    bool stopping = false;
    int number = 0;
    while (sigwait(&m_signals, &number) == 0 && !m_ending) {
        if (stopping) {
            endBy(number);
        }
        stopping = true;
        m_stop(number);
    }
}
