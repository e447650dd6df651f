#include "RecordingHost.h"

#include <utility>

void RecordingHost::setTarget(std::string target) {
    const std::lock_guard lock(m_mutex);
    m_target = std::move(target);
}

void RecordingHost::addRow(std::string path, bool checked) {
    const std::lock_guard lock(m_mutex);
    m_rows.push_back({std::move(path), checked});
}

void RecordingHost::setRowChecked(int row, bool checked) {
    const std::lock_guard lock(m_mutex);
    m_rows.at(static_cast<std::size_t>(row)).checked = checked;
}

std::vector<std::string> RecordingHost::events() const {
    const std::lock_guard lock(m_mutex);
    return m_events;
}

std::vector<std::string> RecordingHost::messages() const {
    std::vector<std::string> messages;
    for (const std::string& event : events()) {
        if (event.starts_with("message: ")) {
            messages.push_back(event.substr(9));
        }
    }
    return messages;
}

void RecordingHost::waitForNotices(int count) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_notices >= count; });
}

std::string RecordingHost::targetBoxText() {
    const std::lock_guard lock(m_mutex);
    return m_target;
}

int RecordingHost::rowCount() {
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(m_rows.size());
}

bool RecordingHost::isRowChecked(int row) {
    const std::lock_guard lock(m_mutex);
    return m_rows.at(static_cast<std::size_t>(row)).checked;
}

std::string RecordingHost::rowPath(int row) {
    const std::lock_guard lock(m_mutex);
    m_events.push_back("read " + std::to_string(row));
    return m_rows.at(static_cast<std::size_t>(row)).path;
}

void RecordingHost::setProgressRange(std::uint32_t lower, std::uint32_t upper) {
    record("range " + std::to_string(lower) + " " + std::to_string(upper));
    if (onRange) {
        onRange(upper);
    }
}

void RecordingHost::setProgressPosition(std::uint32_t position) {
    record("pos " + std::to_string(position));
    if (onPosition) {
        onPosition(position);
    }
}

void RecordingHost::showWindowMessage(const std::string& text) {
    record("message: " + text);
}

void RecordingHost::showApplicationNotice(const std::string& text) {
    const std::lock_guard lock(m_mutex);
    m_events.push_back("notice: " + text);
    ++m_notices;
    m_changed.notify_all();
}

void RecordingHost::record(std::string event) {
    const std::lock_guard lock(m_mutex);
    m_events.push_back(std::move(event));
}
