#include "FileFaults.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

std::mutex g_mutex;
std::vector<FileFaults::Fault> g_armed;
std::atomic<bool> g_anyArmed{false};
std::optional<VolumeFacts> g_volume;

} // namespace

void FileFaults::arm(const Fault& fault) {
    const std::scoped_lock lock(g_mutex);
    g_armed.push_back(fault);
    g_anyArmed = true;
}

void FileFaults::disarmAll() {
    const std::scoped_lock lock(g_mutex);
    g_armed.clear();
    g_volume.reset();
    g_anyArmed = false;
}

std::optional<FileFaults::Fault> FileFaults::take(Call call) {
    if (!g_anyArmed) {
        return std::nullopt;
    }
    std::unique_lock lock(g_mutex);
    const auto found = std::find_if(g_armed.begin(), g_armed.end(),
                                    [call](const Fault& fault) { return fault.call == call; });
    if (found == g_armed.end()) {
        return std::nullopt;
    }
    if (found->skip > 0) {
        --found->skip;
        return std::nullopt;
    }
    const Fault fault = *found;
    g_armed.erase(found);
    g_anyArmed = !g_armed.empty();
    lock.unlock();
    if (fault.struck) {
        fault.struck();
    }
    return fault;
}

void FileFaults::fakeVolume(const VolumeFacts& facts) {
    const std::scoped_lock lock(g_mutex);
    g_volume = facts;
}

std::optional<VolumeFacts> FileFaults::fakedVolume() {
    const std::scoped_lock lock(g_mutex);
    return g_volume;
}
