#include "ConsoleHost.h"

#include "CombineEngine.h"

#include <cstdio>
#include <filesystem>

void ConsoleHost::showProgressOn(std::FILE* terminal) {
    m_progress = std::make_unique<ProgressLine>(terminal);
}

void ConsoleHost::stopAtBlock(CombineEngine& engine, std::uint64_t block) {
    engine.SetStopAtBlock(block);
    m_stopBlock = block;
}

std::string ConsoleHost::rowPath(int row) {
    // The walk goes on to the next row only once the last source is done.
    if (m_progress) {
        m_progress->finish(ProgressLine::Outcome::Complete);
    }
    m_source = LineHost::rowPath(row);
    return m_source;
}

void ConsoleHost::setProgressRange(std::uint32_t lower, std::uint32_t upper) {
    LineHost::setProgressRange(lower, upper);
    m_sourceBlocksStarted = 0;
    if (m_progress) {
        // Paths are UTF-8 on every system; the path type would take them for the local code page.
        const std::filesystem::path file(std::u8string(m_source.begin(), m_source.end()));
        std::error_code unknown;
        const auto length = std::filesystem::file_size(file, unknown);
        m_progress->begin(file, unknown ? 0 : length, upper);
    }
}

void ConsoleHost::setProgressPosition(std::uint32_t position) {
    LineHost::setProgressPosition(position);
    if (m_progress) {
        m_progress->update(position);
    }
    // One step of the bar may pass a whole run of blocks without data: each of them counts.
    m_blocksStarted += position + 1 - m_sourceBlocksStarted;
    m_sourceBlocksStarted = position + 1;
}

void ConsoleHost::showWindowMessage(const RunMessage& message) {
    if (m_progress) {
        m_progress->finish(ProgressLine::Outcome::Failed);
    }
    LineHost::showWindowMessage(message);
}

void ConsoleHost::showApplicationNotice(const std::string& text) {
    if (m_progress) {
        // A stopped run leaves its last source where the stop found it.
        const bool stopped = m_stopBlock != 0 && m_blocksStarted >= m_stopBlock;
        m_progress->finish(stopped ? ProgressLine::Outcome::Stopped
                                   : ProgressLine::Outcome::Complete);
    }
    // The trace on standard output is complete before anyone waiting for the end goes on.
    std::fflush(stdout);
    LineHost::showApplicationNotice(text);
}

void ConsoleHost::writeProgressLine(const std::string& line) {
    if (m_trace) {
        std::printf("%s\n", line.c_str());
    }
}

void ConsoleHost::writeMessageLine(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

std::string ConsoleHost::messageLine(const RunMessage& message) {
    return "veltrane-join: " + (message.path.empty() ? "" : message.path + ": ") + message.text() +
           (message.error ? ": " + message.error.message() : "");
}
