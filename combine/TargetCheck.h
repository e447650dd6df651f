#pragma once

#include "Digest.h"

#include <atomic>
#include <string>
#include <system_error>
#include <vector>

class EngineInterface;

// Reads a finished target back from the disk, not from the system's cache, into digests: the
// bytes the disk holds are the ones checked. Holes are taken as zeros without reading. The bar
// follows it as it follows a source; a stop ends it between chunks.
class TargetCheck {
public:
    enum class Result { Read, Stopped, Failed };

    static constexpr std::size_t kChunk = std::size_t{8} << 20;

    TargetCheck(EngineInterface& host, const std::atomic<int>& stop) : m_host(host), m_stop(stop) {}

    Result read(const std::string& path, std::vector<Digest>& digests);
    // Why the target could not be read back.
    std::error_code error() const { return m_error; }

private:
    EngineInterface& m_host;
    const std::atomic<int>& m_stop;
    std::error_code m_error;
};
