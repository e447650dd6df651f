#pragma once

#include "CombineEngine.h"
#include "FileFaults.h"
#include "RecordingHost.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <string>

// A fresh engine, window stand-in and scratch folder per test.
class EngineFixture : public ::testing::Test {
public:
    EngineFixture(const EngineFixture&) = delete;
    EngineFixture& operator=(const EngineFixture&) = delete;
    EngineFixture(EngineFixture&&) = delete;
    EngineFixture& operator=(EngineFixture&&) = delete;
    // Faults armed by a test end with it.
    ~EngineFixture() override { FileFaults::disarmAll(); }

protected:
    static constexpr std::size_t kMiB = CombineEngine::kBlockSize;

    EngineFixture();

    // Starts a run and waits for its end notice.
    void runToEnd();
    std::string target() const { return m_dir.path("target.bin"); }
    std::string targetBytes() const;

    TempDir m_dir;
    RecordingHost m_host;
    CombineEngine m_engine{m_host};
};
