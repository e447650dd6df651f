#include "DiskFile.h"
#include "EngineFixture.h"
#include "EngineTexts.h"
#include "FileBytes.h"
#ifndef _WIN32
#include "SmallTmpfs.h"
#endif

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

enum class CopyMode { Kernel, Plain };

std::string modeName(CopyMode mode) {
    return mode == CopyMode::Kernel ? "Kernel" : "Plain";
}

std::vector<std::string> progressFor(std::size_t blocks) {
    std::vector<std::string> events{"range 0 " + std::to_string(blocks)};
    for (std::size_t b = 0; b < blocks; ++b) {
        events.push_back("pos " + std::to_string(b));
    }
    return events;
}

class BlockCopyTest : public EngineFixture, public ::testing::WithParamInterface<CopyMode> {
protected:
    BlockCopyTest() { m_engine.SetPlainCopy(GetParam() == CopyMode::Plain); }
};

class BlockSizeTest : public EngineFixture,
                      public ::testing::WithParamInterface<std::tuple<CopyMode, std::size_t>> {
protected:
    BlockSizeTest() { m_engine.SetPlainCopy(std::get<0>(GetParam()) == CopyMode::Plain); }
};

} // namespace

TEST_P(BlockSizeTest, SourceLandsWholeAndProgressCountsWholeBlocks) {
    const std::size_t size = std::get<1>(GetParam());
    const std::string source = m_dir.makeFile("source", size, 1);
    const std::string next = m_dir.makeFile("next", 10, 2);
    m_host.addRow(source);
    m_host.addRow(next);

    runToEnd();

    EXPECT_EQ(targetBytes(), FileBytes::read(source) + FileBytes::read(next));
    // Ticked rows are read once before the walk, to keep the target from being one of them.
    std::vector<std::string> expected{"rows", "read 0"};
    const auto progress = progressFor(size / kMiB);
    expected.insert(expected.end(), progress.begin(), progress.end());
    expected.insert(expected.end(), {"read 1", "range 0 0", "notice: combine end"});
    EXPECT_EQ(m_host.events(), expected);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, BlockSizeTest,
                         ::testing::Combine(::testing::Values(CopyMode::Kernel, CopyMode::Plain),
                                            ::testing::Values(0, 1, (1 << 20) - 1, 1 << 20,
                                                              (1 << 20) + 1, (3 << 20) + 4321)),
                         [](const auto& info) {
                             return modeName(std::get<0>(info.param)) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST_P(BlockCopyTest, ShrunkSourceKeepsItsOpenedLengthInZerosAndSaysSoAfterItsSpan) {
    const std::string source = m_dir.makeFile("source", 2 * kMiB + 100, 1);
    const std::string original = FileBytes::read(source);
    const std::string next = m_dir.makeFile("next", 10, 2);
    m_host.addRow(source);
    m_host.addRow(next);
    m_host.onRange = [&](std::uint32_t blocks) {
        if (blocks == 2) {
            std::filesystem::resize_file(source, kMiB + 10);
        }
    };

    runToEnd();

    const std::string expected =
        original.substr(0, kMiB + 10) + std::string(kMiB + 90, '\0') + FileBytes::read(next);
    EXPECT_EQ(targetBytes(), expected);
    const std::vector<std::string> events = m_host.events();
    EXPECT_EQ(std::vector(events.end() - 5, events.end()),
              (std::vector<std::string>{"pos 1", "message: 读取源文件失败", "read 1", "range 0 0",
                                        "notice: combine end"}));
    EXPECT_EQ(m_host.messages().size(), 1U);
}

TEST_P(BlockCopyTest, GrownSourceCopiesItsOpenedLengthAndSaysSoAfterItsSpan) {
    const std::string source = m_dir.makeFile("source", kMiB + 7, 1);
    const std::string original = FileBytes::read(source);
    const std::string next = m_dir.makeFile("next", 10, 2);
    m_host.addRow(source);
    m_host.addRow(next);
    m_host.onRange = [&](std::uint32_t blocks) {
        if (blocks == 1) {
            FileBytes::write(source, original + "grown");
        }
    };

    runToEnd();

    EXPECT_EQ(targetBytes(), original + FileBytes::read(next));
    EXPECT_EQ(m_host.messages(), std::vector<std::string>{EngineTexts::kSourceGrew});
    EXPECT_EQ(m_host.lastOutcome(), RunOutcome::Failed);
}

TEST_P(BlockCopyTest, StopDuringBlockFinishesItAndEndsTheWalk) {
    const std::string source = m_dir.makeFile("source", 3 * kMiB + 5, 1);
    m_host.addRow(source);
    m_host.addRow(m_dir.makeFile("next", 10, 2));
    m_host.onPosition = [&](std::uint32_t block) {
        if (block == 1) {
            m_engine.OnStop();
        }
    };

    runToEnd();

    EXPECT_EQ(targetBytes(), FileBytes::read(source).substr(0, 2 * kMiB));
    EXPECT_EQ(m_host.events(), (std::vector<std::string>{"rows", "read 0", "range 0 3", "pos 0",
                                                         "pos 1", "notice: combine end"}));
}

#ifndef _WIN32
// Only a tmpfs holds a file this long without taking its room.
TEST_P(BlockCopyTest, SourceBeyondFourPiBKeepsItsBlockCountAndFillsTheBar) {
    // Only tmpfs among the usual file systems holds a sparse file this long.
    const SmallTmpfs tmpfs(m_dir.path("tmpfs"));
    if (!tmpfs.mounted()) {
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    }
    const std::string source = m_dir.path("tmpfs/huge");
    FileBytes::write(source, "");
    const std::uint64_t length = (1ULL << 52) + kMiB + 5;
    std::filesystem::resize_file(source, length);
    DiskFile file;
    ASSERT_TRUE(file.holdTarget(target()));
    std::uint64_t offset = 0;

    m_engine.OnStop();
    const auto step = m_engine.AppendSourceFile(source, offset, file);

    EXPECT_EQ(step, CombineEngine::RunStep::Continue);
    EXPECT_EQ(offset, length);
    EXPECT_EQ(m_host.events(), (std::vector<std::string>{"range 0 4294967295", "pos 0"}));
    EXPECT_TRUE(file.close());
    EXPECT_EQ(targetBytes(), std::string(kMiB, '\0'));
}
#endif

TEST_P(BlockCopyTest, SourceBeyondFourGiBWithStopSetWritesOneBlockAndAdvancesFully) {
    const std::string source = m_dir.path("sparse");
    FileBytes::write(source, FileBytes::pattern(kMiB + 3, 1));
    const std::uint64_t length = (5ULL << 30) + 7;
    std::filesystem::resize_file(source, length);
    DiskFile file;
    ASSERT_TRUE(file.holdTarget(target()));
    std::uint64_t offset = 3ULL << 30;

    m_engine.OnStop();
    const auto step = m_engine.AppendSourceFile(source, offset, file);

    EXPECT_EQ(step, CombineEngine::RunStep::Continue);
    EXPECT_EQ(offset, (3ULL << 30) + length);
    EXPECT_EQ(m_host.events(), (std::vector<std::string>{"range 0 5120", "pos 0"}));
    ASSERT_TRUE(file.close());
    EXPECT_EQ(std::filesystem::file_size(target()), (3ULL << 30) + kMiB);
    std::ifstream in(target(), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(3ULL << 30));
    std::string block(kMiB, '\0');
    in.read(block.data(), static_cast<std::streamsize>(kMiB));
    EXPECT_EQ(block, FileBytes::pattern(kMiB + 3, 1).substr(0, kMiB));
}

TEST_P(BlockCopyTest, EachSourceIsPlacedAtItsOwnOffset) {
    DiskFile file;
    ASSERT_TRUE(file.holdTarget(target()));
    ASSERT_TRUE(file.writeAt(0, std::string(20, 'x')));
    const std::string source = m_dir.makeFile("source", 5, 1);
    std::uint64_t offset = 3;

    EXPECT_EQ(m_engine.AppendSourceFile(source, offset, file), CombineEngine::RunStep::Continue);

    EXPECT_EQ(offset, 8U);
    ASSERT_TRUE(file.close());
    EXPECT_EQ(targetBytes(), "xxx" + FileBytes::read(source) + std::string(12, 'x'));
}

INSTANTIATE_TEST_SUITE_P(Modes, BlockCopyTest, ::testing::Values(CopyMode::Kernel, CopyMode::Plain),
                         [](const auto& info) { return modeName(info.param); });
