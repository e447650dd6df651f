#pragma once

#include "EngineInterface.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Stands in for the window where there is none: the target and the rows are given up front
// and each call of the engine becomes one line of text: "range 0 3" and "pos 1" for the bar,
// "message: ..." and "notice: ..." for the boxes. The rows may change from any thread while
// a run reads them.
class LineHost : public EngineInterface {
public:
    void setTarget(std::string target);
    void addRow(std::string path, bool checked = true);
    void setRowChecked(int row, bool checked);
    // Whether a run goes on when the check before it finds something; it does unless told.
    void setJoinAnyway(bool join);
    bool joinsAnyway() const;

    // Waits until `count` end notices have been shown in all.
    void waitForNotices(int count = 1);
    // Whether a message was shown, a warning about a malformed side file left out.
    bool showedMessage() const;
    // The digests of the targets' checks, in the order computed.
    std::vector<TargetDigest> digests() const;
    // How the latest run ended, once its notice was shown.
    RunOutcome lastOutcome() const;

    std::string targetBoxText() override;
    std::vector<ListedRow> listedRows() override;
    int rowCount();
    bool isRowChecked(int row) override;
    std::string rowPath(int row) override;
    void setProgressRange(std::uint32_t lower, std::uint32_t upper) override;
    void setProgressPosition(std::uint32_t position) override;
    void showWindowMessage(const RunMessage& message) override;
    // A line "finding: ..." for each, then the answer setJoinAnyway() gave.
    bool askToJoinAnyway(const std::vector<JoinFinding>& findings) override;
    void targetDigested(const TargetDigest& digest) override;
    void showApplicationNotice(const std::string& text, RunOutcome outcome) override;

protected:
    // The bar's lines, and the boxes' lines, each in the order of the engine's calls.
    virtual void writeProgressLine(const std::string& line) = 0;
    virtual void writeMessageLine(const std::string& line) = 0;
    // "notice: " and the text; a host may keep it to itself.
    virtual void writeNoticeLine(const std::string& line) { writeMessageLine(line); }
    // "message: " and the text, unless a host says more.
    virtual std::string messageLine(const RunMessage& message) {
        return std::string("message: ") + message.text();
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_noticeShown;
    std::string m_target;
    std::vector<ListedRow> m_rows;
    std::vector<TargetDigest> m_digests;
    int m_notices = 0;
    bool m_showedMessage = false;
    bool m_joinAnyway = true;
    RunOutcome m_lastOutcome = RunOutcome::Complete;
};
