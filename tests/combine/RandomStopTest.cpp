#include "EngineFixture.h"
#include "FileBytes.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

// Fixed, so that a failure comes back on the next run; printed with every failure.
constexpr unsigned kSeed = 20261207;

class RandomStopTest : public EngineFixture, public ::testing::WithParamInterface<bool> {
protected:
    std::uint64_t below(std::uint64_t bound) { return bound == 0 ? 0 : m_random() % bound; }

    // Up to three whole blocks and a tail; each block holds one piece of data or is all hole.
    std::string makeRandomSparse(const std::string& path) {
        const std::uint64_t length = below(4) * kMiB + below(2) * below(kMiB);
        std::ofstream(FileBytes::native(path), std::ios::binary).close();
        std::filesystem::resize_file(FileBytes::native(path), length);
        std::fstream out(FileBytes::native(path), std::ios::binary | std::ios::in | std::ios::out);
        for (std::uint64_t start = 0; start < length; start += kMiB) {
            const std::uint64_t at = start + below(std::min<std::uint64_t>(kMiB, length - start));
            out.seekp(static_cast<std::streamoff>(at));
            out << FileBytes::pattern(below(3) == 0 ? 0 : std::min(1 + below(20000), length - at),
                                      static_cast<unsigned>(m_random()));
        }
        return FileBytes::read(path);
    }

    std::mt19937_64 m_random{kSeed};
};

// What a plain block-by-block copy leaves: every source whole, until the block that begins as
// the `stopAt`-th of the run (from 1; 0 for none) is written, where the walk ends.
std::string blockCopyModel(const std::vector<const std::string*>& sources, std::uint64_t stopAt) {
    std::string target;
    std::uint64_t begun = 0;
    for (const std::string* bytes : sources) {
        const std::size_t whole = bytes->size() - bytes->size() % FileBytes::kMiB;
        for (std::size_t at = 0; at < whole; at += FileBytes::kMiB) {
            target += bytes->substr(at, FileBytes::kMiB);
            if (++begun == stopAt) {
                return target;
            }
        }
        target += bytes->substr(whole);
    }
    return target;
}

} // namespace

TEST_P(RandomStopTest, StopsOverRandomSparseLayoutsLandAsABlockCopyWould) {
    SCOPED_TRACE("seed " + std::to_string(kSeed));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int round = 0; round < 12 && std::chrono::steady_clock::now() < deadline; ++round) {
        std::vector<std::string> contents(3);
        for (std::size_t file = 0; file < contents.size(); ++file) {
            contents[file] = makeRandomSparse(m_dir.path("source" + std::to_string(file)));
        }
        RecordingHost host;
        std::vector<const std::string*> checked;
        std::uint64_t blocks = 0;
        for (std::uint64_t row = 0, rows = 1 + below(5); row < rows; ++row) {
            const std::uint64_t file = below(contents.size());
            const bool tick = below(5) != 0;
            host.addRow(m_dir.path("source" + std::to_string(file)), tick);
            checked.insert(checked.end(), tick ? 1 : 0, &contents[file]);
            blocks += tick ? contents[file].size() / kMiB : 0;
        }
        const std::uint64_t stopAt = below(blocks + 2);
        host.setTarget(m_dir.path("target" + std::to_string(round)));
        {
            CombineEngine engine(host);
            engine.SetPlainCopy(GetParam());
            engine.SetStopAtBlock(stopAt);
            engine.OnStart();
            host.waitForNotices();
        }

        const std::string written = FileBytes::read(m_dir.path("target" + std::to_string(round)));
        EXPECT_TRUE(written == blockCopyModel(checked, stopAt)) << "round " << round;
        EXPECT_TRUE(host.messages().empty()) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, RandomStopTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Plain" : "Kernel"; });
