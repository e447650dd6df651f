#pragma once

#include "LineHost.h"

#include <cstdint>

class CombineEngine;

// The window on a console: messages and the notice go to standard error, the bar's lines
// to standard output when traced.
class ConsoleHost final : public LineHost {
public:
    void setTrace(bool trace) { m_trace = trace; }
    // Raises the engine's stop flag as the n-th whole block of the run (from 1) begins.
    void stopAtBlock(CombineEngine& engine, std::uint64_t block);

    void setProgressPosition(std::uint32_t position) override;
    void showApplicationNotice(const std::string& text) override;

private:
    void writeProgressLine(const std::string& line) override;
    void writeMessageLine(const std::string& line) override;

    bool m_trace = false;
    CombineEngine* m_stopEngine = nullptr;
    std::uint64_t m_stopBlock = 0;
    std::uint64_t m_blocksStarted = 0;
};
