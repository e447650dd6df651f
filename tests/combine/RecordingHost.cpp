#include "RecordingHost.h"

#include <utility>

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

std::vector<RunMessage> RecordingHost::runMessages() const {
    const std::lock_guard lock(m_mutex);
    return m_runMessages;
}

std::vector<std::error_code> RecordingHost::reasons() const {
    std::vector<std::error_code> reasons;
    for (const RunMessage& message : runMessages()) {
        reasons.push_back(message.error);
    }
    return reasons;
}

std::vector<SourceFacts> RecordingHost::planned() const {
    const std::lock_guard lock(m_mutex);
    return m_planned;
}

std::vector<ListedRow> RecordingHost::listedRows() {
    record("rows");
    if (onRowsListed) {
        onRowsListed();
    }
    return LineHost::listedRows();
}

std::string RecordingHost::rowPath(int row) {
    record("read " + std::to_string(row));
    if (onRowRead) {
        onRowRead(row);
    }
    return LineHost::rowPath(row);
}

void RecordingHost::runPlanned(const std::vector<SourceFacts>& pieces) {
    const std::lock_guard lock(m_mutex);
    m_planned = pieces;
}

void RecordingHost::checkingTarget(std::uint64_t length) {
    record("check " + std::to_string(length));
    if (onCheckingTarget) {
        onCheckingTarget();
    }
}

void RecordingHost::setProgressRange(std::uint32_t lower, std::uint32_t upper) {
    LineHost::setProgressRange(lower, upper);
    if (onRange) {
        onRange(upper);
    }
}

void RecordingHost::setProgressPosition(std::uint32_t position) {
    LineHost::setProgressPosition(position);
    if (onPosition) {
        onPosition(position);
    }
}

void RecordingHost::showWindowMessage(const RunMessage& message) {
    {
        const std::lock_guard lock(m_mutex);
        m_runMessages.push_back(message);
    }
    LineHost::showWindowMessage(message);
}

void RecordingHost::workerEnded() {
    if (onWorkerEnded) {
        onWorkerEnded();
    }
}

void RecordingHost::record(std::string event) {
    const std::lock_guard lock(m_mutex);
    m_events.push_back(std::move(event));
}
