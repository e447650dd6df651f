#include "EngineFixture.h"
#include "FileBytes.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

// Fixed, so that a failure comes back on the next run; printed with every failure.
constexpr unsigned kSeed = 20261207;
constexpr std::uint64_t kMiB = FileBytes::kMiB;

class RandomStopTest : public EngineFixture, public ::testing::WithParamInterface<bool> {
protected:
    std::uint64_t below(std::uint64_t bound) { return m_random() % bound; }

    // Up to three whole blocks and a tail; each block holds one piece of data or is all hole.
    std::string makeRandomSparse(const std::string& path) {
        const std::uint64_t length = below(4) * kMiB + below(2) * below(kMiB);
        std::ofstream(FileBytes::native(path), std::ios::binary).close();
        std::filesystem::resize_file(FileBytes::native(path), length);
        std::fstream out(FileBytes::native(path), std::ios::binary | std::ios::in | std::ios::out);
        for (std::uint64_t at = 0; at < length; at += kMiB) {
            const std::uint64_t piece = at + below(std::min(kMiB, length - at));
            out.seekp(static_cast<std::streamoff>(piece));
            out << FileBytes::pattern(below(3) == 0 ? 0 : std::min(1 + below(9000), length - piece),
                                      static_cast<unsigned>(m_random()));
        }
        return path;
    }

    std::mt19937_64 m_random{kSeed};
};

// What a plain block-by-block copy leaves: every source whole, until the block that begins as
// the `stopAt`-th of the run (from 1; 0 for none) is written, where the walk ends.
std::string blockCopyModel(const std::vector<std::string>& sources, std::uint64_t stopAt) {
    std::string target;
    std::uint64_t begun = 0;
    for (const std::string& bytes : sources) {
        const std::size_t whole = bytes.size() - bytes.size() % kMiB;
        for (std::size_t at = 0; at < whole; at += kMiB) {
            target += bytes.substr(at, kMiB);
            if (++begun == stopAt) {
                return target;
            }
        }
        target += bytes.substr(whole);
    }
    return target;
}

} // namespace

TEST_P(RandomStopTest, StopsOverRandomSparseLayoutsLandAsABlockCopyWould) {
    SCOPED_TRACE("seed " + std::to_string(kSeed));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int round = 0; round < 12 && std::chrono::steady_clock::now() < deadline; ++round) {
        RecordingHost host;
        std::vector<std::string> checked;
        for (std::uint64_t row = 0, rows = 1 + below(5); row < rows; ++row) {
            const std::string source = makeRandomSparse(m_dir.path(std::to_string(row)));
            const bool tick = below(5) != 0;
            host.addRow(source, tick);
            checked.insert(checked.end(), tick ? 1 : 0, FileBytes::read(source));
        }
        const std::uint64_t stopAt = below(17);
        host.setTarget(target());
        {
            CombineEngine engine(host);
            engine.SetPlainCopy(GetParam());
            engine.SetStopAtBlock(stopAt);
            engine.OnStart();
            host.waitForNotices();
        }

        EXPECT_TRUE(targetBytes() == blockCopyModel(checked, stopAt)) << round << ", " << stopAt;
        EXPECT_TRUE(host.messages().empty()) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, RandomStopTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Plain" : "Kernel"; });
