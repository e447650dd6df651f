#pragma once

#include "RunTally.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// One line for the whole run on a terminal, redrawn in place at most ten times a second and
// never wider than the terminal: the piece being copied and its name, the run's share, the
// bytes done of the total, the rate of the data moved and the time left. A summary takes its
// place at the end of a complete run.
class ProgressLine {
public:
    // How the run ended: complete; stopped after the step being copied; failed in it; or
    // failed in a piece that did not end the walk (one that would not open, ended short or grew),
    // the last piece whole.
    enum class Outcome { Complete, Stopped, Failed, PieceFailed };

    explicit ProgressLine(std::FILE* terminal) : m_terminal(terminal) {}

    // The run is about to write its first byte, into `pieces` as the check found them.
    void plan(std::vector<SourceFacts> pieces);
    // The walk reaches the next piece. `name` is shown as it stands: quote it first.
    void reachPiece(std::string name);
    // The piece reached opened with `length` bytes.
    void begin(std::uint64_t length);
    // The step of the bar ending at block `position` begins.
    void update(std::uint32_t position);
    // Takes the line off the terminal for a message, or puts it back below one.
    void clear();
    void redraw();
    // Ends the run's line, if there is one.
    void finish(Outcome outcome);

    // The parts of the line, built apart from the terminal and its clock. `ending` takes the
    // place of the rate and the time left when given.
    static std::string figures(const RunTally& tally, double seconds, const char* ending = nullptr);
    static std::string summary(const RunTally& tally, double seconds);
    // `counter`, `name` cut in the middle and `figures` within `columns`; where even a short name
    // leaves the figures no room, they lose their end.
    static std::string fitted(std::string_view counter, std::string_view name,
                              std::string_view figures, std::size_t columns);

private:
    using Clock = std::chrono::steady_clock;

    double seconds() const;
    // The columns a line may take: the last stays free, since a terminal that wraps there
    // would scroll a line each redraw.
    std::size_t columns() const;
    void draw(const char* ending = nullptr);
    void writeLine(const std::string& line);

    std::FILE* m_terminal;
    bool m_planned = false;
    bool m_drawn = false;
    RunTally m_tally;
    std::string m_name;
    Clock::time_point m_start;
    Clock::time_point m_lastDraw;
};
