#include "ProgressLine.h"

#include "Catalog.h"
#include "Console.h"
#include "TerminalText.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::uint64_t kBlockSize = 0x100000;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
// A name keeps at least this many columns while the figures fit beside it.
constexpr std::size_t kLeastName = 8;

// "860 MiB", "2.0 GiB": three figures at most, binary units.
std::string humanBytes(double bytes) {
    constexpr std::array<const char*, 5> kUnits{"B", "KiB", "MiB", "GiB", "TiB"};
    std::size_t unit = 0;
    while (bytes >= 1024 && unit + 1 < kUnits.size()) {
        bytes /= 1024;
        ++unit;
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), bytes < 100 && unit > 0 ? "%.1f %s" : "%.0f %s", bytes,
                  kUnits[unit]);
    return text.data();
}

} // namespace

void ProgressLine::begin(std::string name, std::uint64_t length, std::uint32_t blocks) {
    finish(Outcome::Complete);
    m_open = true;
    m_name = std::move(name);
    m_length = length;
    m_blocks = blocks;
    m_blocksBegun = 0;
    m_stepHasData = false;
    m_moved = 0;
    setBlocksDone(0);
    m_start = Clock::now();
    draw();
}

void ProgressLine::update(std::uint32_t position) {
    endStep();
    // Only blocks with data are stepped over one at a time.
    m_stepHasData = position + 1 - m_blocksBegun == 1;
    m_blocksBegun = position + 1;
    setBlocksDone(position);
    if (Clock::now() - m_lastDraw >= kRedrawInterval) {
        draw();
    }
}

void ProgressLine::finish(Outcome outcome) {
    if (!m_open) {
        return;
    }
    if (outcome == Outcome::Complete) {
        endStep();
        m_moved += m_length - std::min(m_length, std::uint64_t{m_blocks} * kBlockSize);
        setBlocksDone(m_blocks);
        m_done = m_length;
        draw();
    } else if (outcome == Outcome::Stopped) {
        // A stop lets the step being copied finish.
        endStep();
        setBlocksDone(m_blocksBegun);
        draw(Catalog::Translated("stopped"));
    } else {
        draw(Catalog::Translated("failed"));
    }
    Console::write(m_terminal, "\n");
    m_open = false;
}

void ProgressLine::endStep() {
    if (m_stepHasData) {
        m_moved += kBlockSize;
        m_stepHasData = false;
    }
}

void ProgressLine::setBlocksDone(std::uint32_t blocks) {
    m_blocksDone = blocks;
    m_done = std::min(m_length, std::uint64_t{blocks} * kBlockSize);
}

void ProgressLine::draw(const char* ending) {
    m_lastDraw = Clock::now();
    const double seconds = std::chrono::duration<double>(m_lastDraw - m_start).count();
    const bool whole = ending == nullptr && m_blocksDone == m_blocks && m_done == m_length;
    const std::uint64_t share =
        std::uint64_t{m_blocksDone} * 100 / std::max<std::uint32_t>(m_blocks, 1);
    // Only a complete source shows 100 %.
    const std::uint64_t percent = whole ? 100 : std::min<std::uint64_t>(share, 99);
    const double rate = seconds > 0 ? static_cast<double>(m_moved) / seconds : 0;
    std::array<char, 96> figures{};
    std::snprintf(figures.data(), figures.size(), "  %3u%%  %s / %s  %s",
                  static_cast<unsigned>(percent), humanBytes(static_cast<double>(m_done)).c_str(),
                  humanBytes(static_cast<double>(m_length)).c_str(),
                  ending != nullptr ? ending : (humanBytes(rate) + "/s").c_str());
    // The last column stays free: a terminal that wraps there would scroll a line each redraw.
    // Where the name and the figures cannot share the line, the figures lose their end.
    const std::size_t columns = std::max<std::size_t>(terminalColumns(m_terminal), 2) - 1;
    const std::size_t room = columns - std::min(columns, displayWidth(figures.data()));
    const std::string line = leadingColumns(
        middleShortened(m_name, std::max(room, kLeastName)) + figures.data(), columns);
    // Back to the start of the line, then clear what a longer earlier drawing left.
    Console::write(m_terminal, "\r" + line + "\033[K");
    std::fflush(m_terminal);
}
