#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

// One line per source on a terminal, redrawn in place at most ten times a second and never
// wider than the terminal: the source's name, the share of its blocks begun, the bytes done of
// its length and the rate of the bytes actually moved.
class ProgressLine {
public:
    // How a source's copy ended: whole, stopped after the step being copied, or failed in it.
    enum class Outcome { Complete, Stopped, Failed };

    explicit ProgressLine(std::FILE* terminal) : m_terminal(terminal) {}

    // `name` is shown as it stands: quote it first.
    void begin(std::string name, std::uint64_t length, std::uint32_t blocks);
    // The step of the bar ending at block `position` begins: the blocks before it are done.
    // A step over more than one block passes blocks without data, which move no bytes.
    void update(std::uint32_t position);
    // Ends the open line, if any.
    void finish(Outcome outcome);

private:
    using Clock = std::chrono::steady_clock;

    void endStep();
    void setBlocksDone(std::uint32_t blocks);
    void draw(const char* ending = nullptr);

    std::FILE* m_terminal;
    bool m_open = false;
    std::string m_name;
    std::uint64_t m_length = 0;
    std::uint32_t m_blocks = 0;
    std::uint32_t m_blocksDone = 0;
    // Blocks of the steps begun so far, and whether the last of those steps holds data.
    std::uint32_t m_blocksBegun = 0;
    bool m_stepHasData = false;
    std::uint64_t m_done = 0;
    std::uint64_t m_moved = 0;
    Clock::time_point m_start;
    Clock::time_point m_lastDraw;
};
