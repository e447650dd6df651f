#include "ProgressLine.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::uint64_t kBlockSize = 0x100000;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

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

void ProgressLine::begin(const std::filesystem::path& file, std::uint64_t length,
                         std::uint32_t blocks) {
    finish(Outcome::Complete);
    m_open = true;
    const std::u8string name = file.filename().u8string();
    m_name.assign(name.begin(), name.end());
    m_length = length;
    m_blocks = blocks;
    m_blocksDone = 0;
    m_done = 0;
    m_start = Clock::now();
    draw();
}

void ProgressLine::update(std::uint32_t position) {
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
        m_blocksDone = m_blocks;
        m_done = m_length;
    } else if (outcome == Outcome::Stopped) {
        // A stop still lets the block being copied finish.
        setBlocksDone(std::min(m_blocksDone + 1, m_blocks));
    }
    draw();
    std::fputc('\n', m_terminal);
    m_open = false;
}

void ProgressLine::setBlocksDone(std::uint32_t blocks) {
    m_blocksDone = blocks;
    m_done = std::min(m_length, std::uint64_t{blocks} * kBlockSize);
}

void ProgressLine::draw() {
    m_lastDraw = Clock::now();
    const double seconds = std::chrono::duration<double>(m_lastDraw - m_start).count();
    const bool whole = m_blocksDone == m_blocks && m_done == m_length;
    const std::uint64_t percent =
        whole ? 100 : std::uint64_t{m_blocksDone} * 100 / std::max<std::uint32_t>(m_blocks, 1);
    const double rate = seconds > 0 ? static_cast<double>(m_done) / seconds : 0;
    // Back to the start of the line, then clear what a longer earlier drawing left.
    std::fprintf(m_terminal, "\r%s  %3u%%  %s / %s  %s/s\033[K", m_name.c_str(),
                 static_cast<unsigned>(percent), humanBytes(static_cast<double>(m_done)).c_str(),
                 humanBytes(static_cast<double>(m_length)).c_str(), humanBytes(rate).c_str());
    std::fflush(m_terminal);
}
