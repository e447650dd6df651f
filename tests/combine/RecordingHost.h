#pragma once

#include "EngineInterface.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// A window stand-in that records every call the engine makes, in order, as text lines
// ("range 0 3", "pos 1", "message: ...", "notice: ..."). Hooks run on the caller's thread
// in the middle of a call, to act at a precise moment of a run.
class RecordingHost final : public EngineInterface {
public:
    struct Row {
        std::string path;
        bool checked = true;
    };

    void setTarget(std::string target);
    void addRow(std::string path, bool checked = true);
    void setRowChecked(int row, bool checked);

    std::vector<std::string> events() const;
    std::vector<std::string> messages() const;
    // Waits until `count` end notices have been shown in all.
    void waitForNotices(int count = 1);

    std::function<void(std::uint32_t)> onRange;
    std::function<void(std::uint32_t)> onPosition;

    std::string targetBoxText() override;
    int rowCount() override;
    bool isRowChecked(int row) override;
    std::string rowPath(int row) override;
    void setProgressRange(std::uint32_t lower, std::uint32_t upper) override;
    void setProgressPosition(std::uint32_t position) override;
    void showWindowMessage(const std::string& text) override;
    void showApplicationNotice(const std::string& text) override;

private:
    void record(std::string event);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_target;
    std::vector<Row> m_rows;
    std::vector<std::string> m_events;
    int m_notices = 0;
};
