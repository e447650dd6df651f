#include "ConsoleHost.h"

#include "CombineEngine.h"

#include <cstdio>
#include <utility>

ConsoleHost::ConsoleHost(std::string target, std::vector<Row> rows)
    : m_target(std::move(target)), m_rows(std::move(rows)) {}

void ConsoleHost::stopAtBlock(CombineEngine& engine, std::uint64_t block) {
    m_stopEngine = &engine;
    m_stopBlock = block;
}

void ConsoleHost::waitForNotice() {
    std::unique_lock lock(m_mutex);
    m_noticeShown.wait(lock, [this] { return m_noticeDone; });
}

bool ConsoleHost::noticeShown() {
    const std::lock_guard lock(m_mutex);
    return m_noticeDone;
}

bool ConsoleHost::isRowChecked(int row) {
    return m_rows.at(static_cast<std::size_t>(row)).checked;
}

std::string ConsoleHost::rowPath(int row) {
    return m_rows.at(static_cast<std::size_t>(row)).path;
}

void ConsoleHost::setProgressRange(std::uint32_t lower, std::uint32_t upper) {
    if (m_trace) {
        std::printf("range %u %u\n", lower, upper);
    }
}

void ConsoleHost::setProgressPosition(std::uint32_t position) {
    if (m_trace) {
        std::printf("pos %u\n", position);
    }
    if (m_stopEngine != nullptr && ++m_blocksStarted == m_stopBlock) {
        m_stopEngine->OnStop();
    }
}

void ConsoleHost::showWindowMessage(const std::string& text) {
    m_showedMessage = true;
    std::fprintf(stderr, "message: %s\n", text.c_str());
}

void ConsoleHost::showApplicationNotice(const std::string& text) {
    std::fprintf(stderr, "notice: %s\n", text.c_str());
    std::fflush(stdout);
    const std::lock_guard lock(m_mutex);
    m_noticeDone = true;
    m_noticeShown.notify_all();
}
