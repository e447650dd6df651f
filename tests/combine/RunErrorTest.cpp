#include "DiskFile.h"
#include "EngineFixture.h"
#include "EngineTexts.h"
#include "FileBytes.h"
#ifndef _WIN32
#include "SmallTmpfs.h"
#include "SoftLimit.h"
#endif

#include <cerrno>
#include <csignal>
#include <filesystem>

namespace fs = std::filesystem;
using Events = std::vector<std::string>;

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

class RunErrorTest : public EngineFixture, public ::testing::WithParamInterface<bool> {
protected:
    RunErrorTest() { m_engine.SetPlainCopy(GetParam()); }

    // Rows: a source of `size` bytes, then one the run must not reach.
    std::string addSourceAndFollower(std::size_t size) {
        std::string source = m_dir.makeFile("source", size, 1);
        m_host.addRow(source);
        m_host.addRow(m_dir.makeFile("after", 10, 2));
        return source;
    }
    Events endedWith(const char* text) const {
        return {"message: " + std::string(text), "notice: combine end"};
    }
    Events lastTwoEvents() const {
        Events events = m_host.events();
        events.erase(events.begin(),
                     events.end() - std::min<std::ptrdiff_t>(2, std::ssize(events)));
        return events;
    }
    bool walkReachedSecondRow() const {
        const Events events = m_host.events();
        return std::count(events.begin(), events.end(), "read 1") > 0;
    }
};

using StartErrorTest = EngineFixture;

struct FaultCase {
    const char* name;
    FileFaults::Fault fault;
    // The message that ends the run; none when every byte must arrive all the same.
    const char* message;
};

} // namespace

#ifndef _WIN32
// Resource limits and a small tmpfs are POSIX's means of making a run fail on purpose.
TEST_P(RunErrorTest, FileSizeLimitEndsTheRunWithAWriteError) {
    const std::string source = addSourceAndFollower(3 * kMiB);
    // As the programs do, so that the limit fails the write instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    {
        const SoftLimit limit(RLIMIT_FSIZE, kMiB + kMiB / 2);
        runToEnd();
    }

    EXPECT_EQ(lastTwoEvents(), endedWith(EngineTexts::kWriteTargetFailed));
    EXPECT_EQ(m_host.runMessages().back().error, std::errc::file_too_large);
    EXPECT_FALSE(walkReachedSecondRow());
    EXPECT_EQ(targetBytes(), FileBytes::read(source).substr(0, kMiB + kMiB / 2));
    EXPECT_EQ(g_busy, 0);
}

TEST_P(RunErrorTest, FullDiskEndsTheRunWithAWriteError) {
    const SmallTmpfs disk(m_dir.path("small"));
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a small tmpfs is not permitted here";
    }
    m_host.setTarget(m_dir.path("small/target"));
    addSourceAndFollower(3 * kMiB);

    runToEnd();

    EXPECT_EQ(lastTwoEvents(), endedWith(EngineTexts::kWriteTargetFailed));
    EXPECT_EQ(m_host.runMessages().back().error, std::errc::no_space_on_device);
    EXPECT_FALSE(walkReachedSecondRow());
}
#endif

TEST_P(RunErrorTest, SeekPastTheLargestOffsetIsAWriteError) {
    DiskFile file;
    ASSERT_TRUE(file.holdTarget(target()));
    std::uint64_t offset = ~0ULL - 10;

    const auto step = m_engine.AppendSourceFile(m_dir.makeFile("source", 5, 1), offset, file);

    EXPECT_EQ(step, CombineEngine::RunStep::EndRun);
    EXPECT_EQ(m_host.messages(), Events{EngineTexts::kWriteTargetFailed});
}

#ifndef _WIN32
TEST_P(RunErrorTest, BufferThatCannotBeAllocatedEndsTheRun) {
    if (kSanitized) {
        GTEST_SKIP() << "sanitizers reserve address space that an address-space limit breaks";
    }
    const std::string source = m_dir.makeFile("source", 100, 1);
    DiskFile file;
    ASSERT_TRUE(file.holdTarget(target()));
    std::uint64_t offset = 0;
    CombineEngine::RunStep step{};
    {
        const SoftLimit limit(RLIMIT_AS, 0);
        step = m_engine.AppendSourceFile(source, offset, file);
    }

    EXPECT_EQ(step, CombineEngine::RunStep::EndRun);
    EXPECT_EQ(m_host.messages(), Events{EngineTexts::kOutOfMemory});
    EXPECT_EQ(offset, 0U);
}

TEST_F(StartErrorTest, StartWithoutRoomForAWorkerSaysSoAndStaysIdle) {
    if (kSanitized) {
        GTEST_SKIP() << "sanitizers reserve address space that an address-space limit breaks";
    }
    const std::string source = m_dir.makeFile("source", 10, 1);
    m_host.addRow(source);
    {
        const SoftLimit limit(RLIMIT_AS, 0);
        EXPECT_FALSE(m_engine.OnStart());
    }

    EXPECT_EQ(m_host.events(), Events{"message: " + std::string(EngineTexts::kOutOfMemory)});
    EXPECT_EQ(g_busy, 0);
    EXPECT_FALSE(m_engine.State().liveWorker());
    EXPECT_FALSE(fs::exists(target()));

    runToEnd();
    EXPECT_EQ(targetBytes(), FileBytes::read(source));
}
#endif

TEST_P(RunErrorTest, InjectedFailuresEndWithTheRightBytesOrTheRightMessage) {
    using Call = FileFaults::Call;
    const std::vector<FaultCase> cases{
        {"kernel copy across devices", {Call::KernelCopy, EXDEV}, nullptr},
        {"kernel copy refused", {Call::KernelCopy, EINVAL}, nullptr},
        {"kernel copy of nothing first", {Call::KernelCopy, 0, 0}, nullptr},
        {"short kernel copy", {Call::KernelCopy, 0, 1000}, nullptr},
        {"read", {Call::Read, EIO}, EngineTexts::kReadSourceFailed},
        {"write", {Call::Write, EIO, 0, 1}, EngineTexts::kWriteTargetFailed},
        {"flush", {Call::Flush, EIO}, EngineTexts::kWriteTargetFailed}};
    const std::string source = addSourceAndFollower(2 * kMiB + 100);
    for (const FaultCase& fault : cases) {
        // A kernel copy that fails hands the bytes to read and write, where those faults strike.
        if (fault.message != nullptr) {
            FileFaults::arm({Call::KernelCopy, EXDEV});
        }
        FileFaults::arm(fault.fault);
        m_engine.OnStart();
        m_host.waitForNotices(static_cast<int>(&fault - cases.data()) + 1);
        FileFaults::disarmAll();
        if (fault.message == nullptr) {
            EXPECT_EQ(targetBytes(), FileBytes::read(source) + FileBytes::read(m_dir.path("after")))
                << fault.name;
        } else {
            EXPECT_EQ(lastTwoEvents(), endedWith(fault.message)) << fault.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, RunErrorTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Plain" : "Kernel"; });
