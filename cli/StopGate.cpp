#include "StopGate.h"

#include <utility>

void StopGate::open(std::function<void(int)> stop) {
    const std::lock_guard lock(m_mutex);
    m_stop = std::move(stop);
}

bool StopGate::pass(int number) {
    const std::lock_guard lock(m_mutex);
    if (!m_stop) {
        return false;
    }
    m_stop(number);
    return true;
}

void StopGate::close() {
    const std::lock_guard lock(m_mutex);
    m_stop = nullptr;
}
