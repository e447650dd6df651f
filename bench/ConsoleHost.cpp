#include "ConsoleHost.h"

#include "CombineEngine.h"

#include <cstdio>

void ConsoleHost::stopAtBlock(CombineEngine& engine, std::uint64_t block) {
    m_stopEngine = &engine;
    m_stopBlock = block;
}

void ConsoleHost::setProgressPosition(std::uint32_t position) {
    LineHost::setProgressPosition(position);
    if (m_stopEngine != nullptr && ++m_blocksStarted == m_stopBlock) {
        m_stopEngine->OnStop();
    }
}

void ConsoleHost::showApplicationNotice(const std::string& text) {
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
