#pragma once

#include "EngineInterface.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class CombineEngine;

// Stands in for the window on a console: the rows and the target come from the command
// line, messages and the notice go to standard error, progress optionally to standard output.
class ConsoleHost final : public EngineInterface {
public:
    struct Row {
        std::string path;
        bool checked = true;
    };

    ConsoleHost(std::string target, std::vector<Row> rows);

    void setTrace(bool trace) { m_trace = trace; }
    // Raises the engine's stop flag as the n-th whole block of the run (from 1) begins.
    void stopAtBlock(CombineEngine& engine, std::uint64_t block);
    // Blocks until the run's end notice has been shown.
    void waitForNotice();
    bool noticeShown();
    bool showedMessage() const { return m_showedMessage; }

    std::string targetBoxText() override { return m_target; }
    int rowCount() override { return static_cast<int>(m_rows.size()); }
    bool isRowChecked(int row) override;
    std::string rowPath(int row) override;
    void setProgressRange(std::uint32_t lower, std::uint32_t upper) override;
    void setProgressPosition(std::uint32_t position) override;
    void showWindowMessage(const std::string& text) override;
    void showApplicationNotice(const std::string& text) override;

private:
    std::string m_target;
    std::vector<Row> m_rows;
    bool m_trace = false;
    CombineEngine* m_stopEngine = nullptr;
    std::uint64_t m_stopBlock = 0;
    std::uint64_t m_blocksStarted = 0;
    bool m_showedMessage = false;
    std::mutex m_mutex;
    std::condition_variable m_noticeShown;
    bool m_noticeDone = false;
};
