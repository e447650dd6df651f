#pragma once

#include "LineHost.h"
#include "ProgressLine.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class CombineEngine;

// The window on a console: messages, naming the file they concern and the system's reason, and
// the notice go to standard error; the bar's lines to standard output when traced; one progress
// line for the whole run to the terminal when one is given.
class ConsoleHost final : public LineHost {
public:
    void setTrace(bool trace) { m_trace = trace; }
    // Errors only: no notice.
    void setQuiet(bool quiet) { m_quiet = quiet; }
    void showProgressOn(std::FILE* terminal);
    // Stops the run for the signal `number`; from any thread. A signal that comes before the
    // run starts, whose stop the start clears, stops it all the same before the target is
    // emptied.
    void stopForSignal(CombineEngine& engine, int number);

    // Known once the run has ended: whether a stop cut it short or ended it before the target
    // was emptied, and by which signal (0: none, or a stop that came once nothing was left to
    // write).
    bool stopped() const { return m_stopped; }
    // Whether the check before the run found something and the run ended there.
    bool declined() const { return m_declined; }
    int stoppedBySignal() const { return m_stoppedBy; }
    // The system's reason the trace could not be written to standard output; 0 if it could.
    int traceError() const { return m_traceError; }

    std::vector<ListedRow> listedRows() override;
    void runPlanned(const std::vector<SourceFacts>& pieces) override;
    std::string rowPath(int row) override;
    void setSourceLength(std::uint64_t length) override;
    void setProgressRange(std::uint32_t lower, std::uint32_t upper) override;
    void setProgressPosition(std::uint32_t position) override;
    void showWindowMessage(const RunMessage& message) override;
    // Each finding on its own line; the run goes on only when told to join anyway.
    bool askToJoinAnyway(const std::vector<JoinFinding>& findings) override;
    void showApplicationNotice(const std::string& text, RunOutcome outcome) override;

private:
    void noteTraceResult(bool written);
    ProgressLine::Outcome progressOutcome(RunOutcome outcome) const;
    void writeProgressLine(const std::string& line) override;
    void writeMessageLine(const std::string& line) override;
    void writeNoticeLine(const std::string& line) override;
    std::string messageLine(const RunMessage& message) override;

    bool m_trace = false;
    bool m_quiet = false;
    std::unique_ptr<ProgressLine> m_progress;
    std::uint64_t m_sourceLength = 0;
    // Whether a failure ended the run's walk, in the piece being copied or after the last.
    bool m_walkEnded = false;
    std::atomic<int> m_stopSignal{0};
    std::atomic<CombineEngine*> m_stoppedEngine{nullptr};
    std::atomic<bool> m_stopped{false};
    std::atomic<bool> m_declined{false};
    std::atomic<int> m_stoppedBy{0};
    std::atomic<int> m_traceError{0};
};
