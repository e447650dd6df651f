#pragma once

#include <functional>
#include <mutex>

// Lets calls of a stop through from a thread the program does not own, such as the one a
// Windows console calls its handlers on, until closed: closing waits for a call in flight, and
// no call gets through after it, so what `stop` touches may end once close() returns.
class StopGate {
public:
    void open(std::function<void(int)> stop);
    // False, calling nothing, once closed or before opened.
    bool pass(int number);
    void close();

private:
    std::mutex m_mutex;
    std::function<void(int)> m_stop;
};
