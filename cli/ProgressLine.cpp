#include "ProgressLine.h"

#include "Catalog.h"
#include "Console.h"
#include "TerminalText.h"
#include "TextFill.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

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

std::string humanBytes(std::uint64_t bytes) {
    return humanBytes(static_cast<double>(bytes));
}

// "0:42", "1:02:03".
std::string clockTime(double seconds) {
    const auto whole = static_cast<unsigned long long>(std::llround(std::max(seconds, 0.0)));
    std::array<char, 32> text{};
    if (whole >= 3600) {
        std::snprintf(text.data(), text.size(), "%llu:%02llu:%02llu", whole / 3600, whole / 60 % 60,
                      whole % 60);
    } else {
        std::snprintf(text.data(), text.size(), "%llu:%02llu", whole / 60, whole % 60);
    }
    return text.data();
}

} // namespace

void ProgressLine::plan(std::vector<SourceFacts> pieces) {
    m_tally = RunTally(std::move(pieces));
    m_planned = true;
    m_start = Clock::now();
}

void ProgressLine::reachPiece(std::string name) {
    m_tally.reachPiece();
    m_name = std::move(name);
}

void ProgressLine::begin(std::uint64_t length) {
    m_tally.beginPiece(length);
    if (!m_drawn || Clock::now() - m_lastDraw >= kRedrawInterval) {
        draw();
    }
}

void ProgressLine::update(std::uint32_t position) {
    m_tally.stepTo(position);
    if (Clock::now() - m_lastDraw >= kRedrawInterval) {
        draw();
    }
}

void ProgressLine::clear() {
    if (m_planned && m_drawn) {
        Console::write(m_terminal, "\r\033[K");
        std::fflush(m_terminal);
    }
}

void ProgressLine::redraw() {
    if (m_planned && m_drawn) {
        draw();
    }
}

void ProgressLine::finish(Outcome outcome) {
    if (!m_planned) {
        return;
    }
    if (outcome == Outcome::Complete) {
        m_tally.finishRun();
        // Written once, it may wrap on a narrow terminal rather than lose its end.
        writeLine(summary(m_tally, seconds()));
    } else if (outcome == Outcome::Stopped) {
        m_tally.finishStep();
        draw(Catalog::Translated("stopped"));
    } else {
        if (outcome == Outcome::PieceFailed) {
            m_tally.finishPiece();
        }
        draw(Catalog::Translated("failed"));
    }
    Console::write(m_terminal, "\n");
    m_planned = false;
}

std::string ProgressLine::figures(const RunTally& tally, double seconds, const char* ending) {
    std::string tail = ending != nullptr ? ending : humanBytes(tally.rate(seconds)) + "/s";
    if (const auto left = tally.secondsLeft(seconds); left && ending == nullptr) {
        tail.append("  ").append(
            TextFill::Fill(Catalog::Translated("%s left"), {clockTime(*left)}));
    }
    std::array<char, 64> share{};
    std::snprintf(share.data(), share.size(), "  %3u%%  ", tally.percent());
    return share.data() + humanBytes(tally.done()) + " / " + humanBytes(tally.total()) + "  " +
           tail;
}

std::string ProgressLine::summary(const RunTally& tally, double seconds) {
    const std::string bytes = humanBytes(tally.done());
    const std::string time = clockTime(seconds);
    const std::string rate = humanBytes(tally.rate(seconds));
    std::string line = tally.piece() == 1
                           ? TextFill::Fill(Catalog::Translated("joined 1 piece: %s in %s, %s/s"),
                                            {bytes, time, rate})
                           : TextFill::Fill(Catalog::Translated("joined %s pieces: %s in %s, %s/s"),
                                            {std::to_string(tally.piece()), bytes, time, rate});
    if (tally.holes() > 0) {
        line +=
            TextFill::Fill(Catalog::Translated("; %s kept as holes"), {humanBytes(tally.holes())});
    }
    return line;
}

std::string ProgressLine::fitted(std::string_view counter, std::string_view name,
                                 std::string_view figures, std::size_t columns) {
    const std::size_t used = displayWidth(counter) + displayWidth(figures);
    const std::size_t room = columns - std::min(columns, used);
    return leadingColumns(std::string(counter) + middleShortened(name, std::max(room, kLeastName)) +
                              std::string(figures),
                          columns);
}

double ProgressLine::seconds() const {
    return std::chrono::duration<double>(Clock::now() - m_start).count();
}

std::size_t ProgressLine::columns() const {
    return std::max<std::size_t>(terminalColumns(m_terminal), 2) - 1;
}

void ProgressLine::draw(const char* ending) {
    m_lastDraw = Clock::now();
    m_drawn = true;
    const std::string counter =
        std::to_string(m_tally.piece()) + "/" + std::to_string(m_tally.pieces()) + " ";
    writeLine(fitted(counter, m_name, figures(m_tally, seconds(), ending), columns()));
}

void ProgressLine::writeLine(const std::string& line) {
    // Back to the start of the line, then clear what a longer earlier drawing left.
    Console::write(m_terminal, "\r" + line + "\033[K");
    std::fflush(m_terminal);
}
