#pragma once

#include "LineHost.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

// A window stand-in that records every call the engine makes, in order, as text lines: "rows"
// for each read of every row at once, "read N" for each row path read. Hooks run on the caller's
// thread in the middle of a call, to act at a precise moment of a run.
class RecordingHost final : public LineHost {
public:
    std::vector<std::string> events() const;
    std::vector<std::string> messages() const;
    std::vector<RunMessage> runMessages() const;
    // The system's reason of each message.
    std::vector<std::error_code> reasons() const;
    // The pieces the latest run planned, as the engine told them.
    std::vector<SourceFacts> planned() const;
    // Places an event of the test's own among the engine's calls.
    void note(std::string event) { record(std::move(event)); }

    std::function<void()> onRowsListed;
    std::function<void(int)> onRowRead;
    std::function<void(std::uint32_t)> onRange;
    std::function<void(std::uint32_t)> onPosition;
    std::function<void()> onWorkerEnded;
    std::function<void()> onCheckingTarget;

    std::vector<ListedRow> listedRows() override;
    std::string rowPath(int row) override;
    void runPlanned(const std::vector<SourceFacts>& pieces) override;
    void checkingTarget(std::uint64_t length) override;
    void setProgressRange(std::uint32_t lower, std::uint32_t upper) override;
    void setProgressPosition(std::uint32_t position) override;
    void showWindowMessage(const RunMessage& message) override;
    void workerEnded() override;

private:
    void writeProgressLine(const std::string& line) override { record(line); }
    void writeMessageLine(const std::string& line) override { record(line); }
    void record(std::string event);

    mutable std::mutex m_mutex;
    std::vector<std::string> m_events;
    std::vector<RunMessage> m_runMessages;
    std::vector<SourceFacts> m_planned;
};
