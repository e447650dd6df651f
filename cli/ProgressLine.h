#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

// One line per source on a terminal, redrawn in place at most ten times a second: the
// source's name, the share of its blocks begun, the bytes done of its length and the rate.
class ProgressLine {
public:
    // How a source's copy ended: whole, stopped after the block being copied, or failed in it.
    enum class Outcome { Complete, Stopped, Failed };

    explicit ProgressLine(std::FILE* terminal) : m_terminal(terminal) {}

    void begin(const std::filesystem::path& file, std::uint64_t length, std::uint32_t blocks);
    // Block `position` of the source is being copied: those before it are done.
    void update(std::uint32_t position);
    // Ends the open line, if any.
    void finish(Outcome outcome);

private:
    using Clock = std::chrono::steady_clock;

    void setBlocksDone(std::uint32_t blocks);
    void draw();

    std::FILE* m_terminal;
    bool m_open = false;
    std::string m_name;
    std::uint64_t m_length = 0;
    std::uint32_t m_blocks = 0;
    std::uint32_t m_blocksDone = 0;
    std::uint64_t m_done = 0;
    Clock::time_point m_start;
    Clock::time_point m_lastDraw;
};
