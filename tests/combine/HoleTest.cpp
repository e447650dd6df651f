#include "EngineFixture.h"
#include "FileBytes.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

struct Piece {
    std::uint64_t offset;
    std::size_t size;
};

struct SparseCase {
    const char* name;
    std::uint64_t length;
    std::vector<Piece> data;
};

constexpr std::uint64_t kMiB = CombineEngine::kBlockSize;
constexpr std::uint64_t kGiB = kMiB << 10;

// Pattern bytes at each piece, a hole everywhere else.
std::string makeSparse(const std::string& path, const SparseCase& layout) {
    std::ofstream(path, std::ios::binary).close();
    std::filesystem::resize_file(path, layout.length);
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    for (const Piece& piece : layout.data) {
        out.seekp(static_cast<std::streamoff>(piece.offset));
        out << FileBytes::pattern(piece.size, static_cast<unsigned>(piece.offset));
    }
    return path;
}

std::uint64_t allocated(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_blocks) * 512 : 0;
}

std::string bytesAt(const std::string& path, std::uint64_t offset, std::size_t size) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::string bytes(size, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    return bytes;
}

class HoleFixture : public EngineFixture {
protected:
    void SetUp() override {
        if (allocated(makeSparse(m_dir.path("probe"), {"", kMiB, {}})) > 0) {
            GTEST_SKIP() << "this file system keeps no holes";
        }
    }
    // Room the target may take beyond its sources: a few file-system blocks per piece.
    static std::uint64_t slack(std::size_t pieces) { return (pieces + 1) * 3 * 4096; }
};

class HoleTest : public HoleFixture,
                 public ::testing::WithParamInterface<std::tuple<bool, SparseCase>> {
protected:
    HoleTest() { m_engine.SetPlainCopy(std::get<0>(GetParam())); }
};

class HoleRunTest : public HoleFixture, public ::testing::WithParamInterface<bool> {
protected:
    HoleRunTest() { m_engine.SetPlainCopy(GetParam()); }
};

} // namespace

TEST_P(HoleTest, SparseSourceLandsByteExactWithoutTakingMoreRoom) {
    const SparseCase& layout = std::get<1>(GetParam());
    const std::string source = makeSparse(m_dir.path("source"), layout);
    const std::string next = m_dir.makeFile("next", 10, 2);
    m_host.addRow(source);
    m_host.addRow(next);

    runToEnd();

    EXPECT_EQ(targetBytes(), FileBytes::read(source) + FileBytes::read(next));
    EXPECT_LE(allocated(target()), allocated(source) + allocated(next) + slack(layout.data.size()));
    EXPECT_TRUE(m_host.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, HoleTest,
    ::testing::Combine(
        ::testing::Bool(),
        ::testing::Values(
            SparseCase{"DataInTheMiddle", 5 * kMiB, {{2 * kMiB + 100, 300000}}},
            SparseCase{"AcrossABlockEdge", 3 * kMiB, {{kMiB - 1000, 5000}, {2 * kMiB + 9, 1}}},
            SparseCase{"TailInAHole", 3 * kMiB + 500, {{0, kMiB}}},
            SparseCase{"DataAtTheVeryEnd", 4 * kMiB + 77, {{4 * kMiB + 70, 7}}},
            SparseCase{"OneBigHole", 6 * kMiB + 3, {}})),
    [](const auto& info) {
        return std::string(std::get<1>(info.param).name) +
               (std::get<0>(info.param) ? "Plain" : "Kernel");
    });

TEST_P(HoleRunTest, SourcesPastFourGiBKeepTheirOffsetsAndHoles) {
    const SparseCase layout{"", 2 * kGiB + 3, {{0, 10}, {2 * kGiB - 1000, 1003}}};
    const std::string a = makeSparse(m_dir.path("a"), layout);
    const std::string b = makeSparse(m_dir.path("b"), layout);
    m_host.addRow(a);
    m_host.addRow(b);
    m_host.addRow(a);

    runToEnd();

    ASSERT_EQ(std::filesystem::file_size(target()), 3 * layout.length);
    for (std::uint64_t start = 0; start < 3 * layout.length; start += layout.length) {
        for (const Piece& piece : layout.data) {
            EXPECT_EQ(bytesAt(target(), start + piece.offset, piece.size),
                      bytesAt(a, piece.offset, piece.size));
        }
    }
    EXPECT_LE(allocated(target()), 3 * allocated(a) + slack(6));
    const auto planned = m_host.planned();
    ASSERT_EQ(planned.size(), 3U) << "the run's totals count every ticked row, repeats too";
    for (const SourceFacts& piece : planned) {
        EXPECT_EQ(piece.length, layout.length);
        EXPECT_LE(piece.dataBytes, allocated(a)) << "holes are not data to move";
    }
}

TEST_P(HoleRunTest, RunOfHoleBlocksIsOneStepAndAStopThereEndsAfterIt) {
    const std::string source =
        makeSparse(m_dir.path("source"), {"", 64 * kGiB + 5, {{0, 10}, {40 * kGiB, 10}}});
    m_host.addRow(source);
    m_host.onPosition = [&](std::uint32_t block) {
        if (block == 40 * 1024 - 1) {
            m_engine.OnStop();
        }
    };

    runToEnd();

    EXPECT_EQ(m_host.events(), (std::vector<std::string>{"rows", "read 0", "range 0 65536", "pos 0",
                                                         "pos 40959", "notice: combine end"}));
    EXPECT_EQ(std::filesystem::file_size(target()), 40 * kGiB);
    EXPECT_EQ(bytesAt(target(), 0, 10), bytesAt(source, 0, 10));
}

TEST_P(HoleRunTest, WholeHoleOfSixtyFourGiBCostsAHandfulOfCalls) {
    const std::string source = makeSparse(m_dir.path("source"), {"", 64 * kGiB, {}});
    m_host.addRow(source);

    runToEnd();

    EXPECT_EQ(m_host.events(), (std::vector<std::string>{"rows", "read 0", "range 0 65536",
                                                         "pos 65535", "notice: combine end"}));
    EXPECT_EQ(std::filesystem::file_size(target()), 64 * kGiB);
    EXPECT_EQ(allocated(target()), 0U);
}

TEST_P(HoleRunTest, ShrunkSourceKeepsItsOpenedLengthAsAHole) {
    const std::string source = m_dir.makeFile("source", 3 * kMiB + 100, 1);
    const std::string kept = FileBytes::read(source).substr(0, kMiB + 10);
    m_host.addRow(source);
    m_host.onRange = [&](std::uint32_t) { std::filesystem::resize_file(source, kMiB + 10); };

    runToEnd();

    EXPECT_EQ(targetBytes(), kept + std::string(2 * kMiB + 90, '\0'));
    EXPECT_EQ(m_host.messages(), std::vector<std::string>{"读取源文件失败"});
    EXPECT_LE(allocated(target()), allocated(source) + slack(1));
}

INSTANTIATE_TEST_SUITE_P(Modes, HoleRunTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Plain" : "Kernel"; });
