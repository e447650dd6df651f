#pragma once

#include "CombineEngine.h"
#include "FileFaults.h"
#include "RecordingHost.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <string>

// A fresh engine, window stand-in and scratch folder per test.
class EngineFixture : public ::testing::Test {
protected:
    static constexpr std::size_t kMiB = CombineEngine::kBlockSize;

    EngineFixture();
    // Faults armed by a test end with it.
    ~EngineFixture() override { FileFaults::disarmAll(); }

    // Starts a run and waits for its end notice.
    void runToEnd();
    std::string target() const { return m_dir.path("target.bin"); }
    std::string targetBytes() const;

    TempDir m_dir;
    RecordingHost m_host;
    CombineEngine m_engine{m_host};
};
