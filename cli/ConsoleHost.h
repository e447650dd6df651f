#pragma once

#include "LineHost.h"
#include "ProgressLine.h"

#include <cstdint>
#include <memory>
#include <string>

class CombineEngine;

// The window on a console: messages, naming the file they concern, and the notice go to
// standard error; the bar's lines to standard output when traced; a progress line per source
// to the terminal when one is given.
class ConsoleHost final : public LineHost {
public:
    void setTrace(bool trace) { m_trace = trace; }
    void showProgressOn(std::FILE* terminal);
    // Has the engine stop as the n-th whole block of the run (from 1) begins.
    void stopAtBlock(CombineEngine& engine, std::uint64_t block);

    std::string rowPath(int row) override;
    void setProgressRange(std::uint32_t lower, std::uint32_t upper) override;
    void setProgressPosition(std::uint32_t position) override;
    void showWindowMessage(const RunMessage& message) override;
    void showApplicationNotice(const std::string& text) override;

private:
    void writeProgressLine(const std::string& line) override;
    void writeMessageLine(const std::string& line) override;
    std::string messageLine(const RunMessage& message) override;

    bool m_trace = false;
    std::unique_ptr<ProgressLine> m_progress;
    std::string m_source;
    std::uint64_t m_stopBlock = 0;
    std::uint64_t m_blocksStarted = 0;
    std::uint64_t m_sourceBlocksStarted = 0;
};
