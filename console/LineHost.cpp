#include "LineHost.h"

#include "FindingText.h"
#include "ShellQuote.h"

#include <utility>

void LineHost::setTarget(std::string target) {
    const std::lock_guard lock(m_mutex);
    m_target = std::move(target);
}

void LineHost::addRow(std::string path, bool checked) {
    const std::lock_guard lock(m_mutex);
    m_rows.push_back({std::move(path), checked});
}

void LineHost::setJoinAnyway(bool join) {
    const std::lock_guard lock(m_mutex);
    m_joinAnyway = join;
}

void LineHost::setRowChecked(int row, bool checked) {
    const std::lock_guard lock(m_mutex);
    m_rows.at(static_cast<std::size_t>(row)).checked = checked;
}

void LineHost::waitForNotices(int count) {
    std::unique_lock lock(m_mutex);
    m_noticeShown.wait(lock, [&] { return m_notices >= count; });
}

bool LineHost::showedMessage() const {
    const std::lock_guard lock(m_mutex);
    return m_showedMessage;
}

std::string LineHost::targetBoxText() {
    const std::lock_guard lock(m_mutex);
    return m_target;
}

std::vector<ListedRow> LineHost::listedRows() {
    const std::lock_guard lock(m_mutex);
    return m_rows;
}

int LineHost::rowCount() {
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(m_rows.size());
}

bool LineHost::isRowChecked(int row) {
    const std::lock_guard lock(m_mutex);
    return m_rows.at(static_cast<std::size_t>(row)).checked;
}

std::string LineHost::rowPath(int row) {
    const std::lock_guard lock(m_mutex);
    return m_rows.at(static_cast<std::size_t>(row)).path;
}

bool LineHost::askToJoinAnyway(const std::vector<JoinFinding>& findings) {
    for (const JoinFinding& finding : findings) {
        writeMessageLine("finding: " +
                         FindingText(
                             finding, [](const std::string& name) { return shellQuoted(name); },
                             [](const char* text) { return std::string(text); }));
    }
    return joinsAnyway();
}

bool LineHost::joinsAnyway() const {
    const std::lock_guard lock(m_mutex);
    return m_joinAnyway;
}

void LineHost::setProgressRange(std::uint32_t lower, std::uint32_t upper) {
    writeProgressLine("range " + std::to_string(lower) + " " + std::to_string(upper));
}

void LineHost::setProgressPosition(std::uint32_t position) {
    writeProgressLine("pos " + std::to_string(position));
}

void LineHost::showWindowMessage(const RunMessage& message) {
    writeMessageLine(messageLine(message));
    const std::lock_guard lock(m_mutex);
    m_showedMessage = m_showedMessage || message.kind != RunMessage::Kind::SideFileMalformed;
}

void LineHost::targetDigested(const TargetDigest& digest) {
    const std::lock_guard lock(m_mutex);
    m_digests.push_back(digest);
}

std::vector<TargetDigest> LineHost::digests() const {
    const std::lock_guard lock(m_mutex);
    return m_digests;
}

RunOutcome LineHost::lastOutcome() const {
    const std::lock_guard lock(m_mutex);
    return m_lastOutcome;
}

void LineHost::showApplicationNotice(const std::string& text, RunOutcome outcome) {
    writeNoticeLine("notice: " + text);
    const std::lock_guard lock(m_mutex);
    m_lastOutcome = outcome;
    ++m_notices;
    m_noticeShown.notify_all();
}
