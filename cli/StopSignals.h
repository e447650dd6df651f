#pragma once

#include <functional>

#ifndef _WIN32
#include <atomic>
#include <csignal>
#include <thread>
#endif

// While it lives, the first SIGINT, SIGTERM or SIGHUP (on Windows, Ctrl+C, Ctrl+Break or the
// console closing) calls `stop` with the signal's number, on a thread of its own, never inside
// a signal handler. A second one ends the program at once, as the signal itself would. A signal
// the program was started with ignored (nohup) stays ignored. Make it before any other thread:
// threads made later leave these signals to it.
class StopSignals {
public:
    explicit StopSignals(std::function<void(int)> stop);
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    StopSignals(StopSignals&&) = delete;
    StopSignals& operator=(StopSignals&&) = delete;
    ~StopSignals();

private:
    std::function<void(int)> m_stop;
#ifndef _WIN32
    void watch();

    std::atomic<bool> m_ending{false};
    sigset_t m_signals{};
    std::thread m_watcher;
#endif
};
