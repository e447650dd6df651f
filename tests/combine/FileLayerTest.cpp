#include "EngineFixture.h"
#include "EngineTexts.h"
#include "FileBytes.h"

#include <cerrno>

using Call = FileFaults::Call;

namespace {

struct FaultCase {
    const char* name;
    bool plainCopy;
    FileFaults::Fault fault;
    // The message that ends the run; none when every byte must arrive all the same.
    const char* message;
};

class FileFaultTest : public EngineFixture, public ::testing::WithParamInterface<FaultCase> {};

} // namespace

TEST_P(FileFaultTest, RunEndsWithTheRightBytesOrTheRightMessage) {
    const FaultCase& fault = GetParam();
    const std::string source = m_dir.makeFile("source", 2 * kMiB + 100, 1);
    const std::string after = m_dir.makeFile("after", 10, 2);
    m_host.addRow(source);
    m_host.addRow(after);
    m_engine.SetPlainCopy(fault.plainCopy);
    FileFaults::arm(fault.fault);

    runToEnd();

    if (fault.message == nullptr) {
        EXPECT_EQ(targetBytes(), FileBytes::read(source) + FileBytes::read(after));
    }
    EXPECT_EQ(m_host.messages(), fault.message == nullptr
                                     ? std::vector<std::string>{}
                                     : std::vector<std::string>{fault.message});
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FileFaultTest,
    ::testing::Values(
        FaultCase{"KernelCopyAcrossDevices", false, {Call::KernelCopy, EXDEV}, nullptr},
        FaultCase{"KernelCopyRefused", false, {Call::KernelCopy, EINVAL}, nullptr},
        FaultCase{"KernelCopyFailsMidway", false, {Call::KernelCopy, EIO, 0, 1}, nullptr},
        FaultCase{"KernelCopyMovesNothingFirst", false, {Call::KernelCopy, 0, 0}, nullptr},
        FaultCase{"KernelCopyShort", false, {Call::KernelCopy, 0, 1000}, nullptr},
        FaultCase{"ReadShort", true, {Call::Read, 0, 1000}, nullptr},
        FaultCase{"ReadFails", true, {Call::Read, EIO}, EngineTexts::kReadSourceFailed},
        FaultCase{"WriteFails", true, {Call::Write, EIO, 0, 1}, EngineTexts::kWriteTargetFailed},
        FaultCase{"WriteMovesNothing", true, {Call::Write, 0, 0}, EngineTexts::kWriteTargetFailed},
        FaultCase{"FlushFails", true, {Call::Flush, EIO}, EngineTexts::kWriteTargetFailed},
        // The two sources close first.
        FaultCase{
            "TargetCloseFails", true, {Call::Close, EIO, 0, 2}, EngineTexts::kWriteTargetFailed}),
    [](const auto& info) { return std::string(info.param.name); });
