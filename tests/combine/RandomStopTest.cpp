#include "EngineFixture.h"
#include "FileBytes.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

constexpr std::uint64_t kMiB = CombineEngine::kBlockSize;
// Fixed, so that a failure comes back on the next run; printed with every failure.
constexpr unsigned kSeed = 20261207;
constexpr int kRounds = 12;
constexpr auto kTimeBudget = std::chrono::seconds(20);

using Random = std::mt19937;

std::uint64_t below(Random& random, std::uint64_t bound) {
    return bound == 0 ? 0 : std::uniform_int_distribution<std::uint64_t>(0, bound - 1)(random);
}

// Up to three whole blocks and a tail; each block holds one piece of data or is all hole.
std::string makeRandomSparse(const std::string& path, Random& random) {
    const std::uint64_t length = below(random, 4) * kMiB + below(random, 2) * below(random, kMiB);
    std::ofstream(FileBytes::native(path), std::ios::binary).close();
    std::filesystem::resize_file(FileBytes::native(path), length);
    std::fstream out(FileBytes::native(path), std::ios::binary | std::ios::in | std::ios::out);
    for (std::uint64_t start = 0; start < length; start += kMiB) {
        if (below(random, 3) == 0) {
            continue;
        }
        const std::uint64_t at = start + below(random, std::min(kMiB, length - start));
        const std::uint64_t size = std::min<std::uint64_t>(1 + below(random, 20000), length - at);
        out.seekp(static_cast<std::streamoff>(at));
        out << FileBytes::pattern(size, static_cast<unsigned>(random()));
    }
    return path;
}

// What a plain block-by-block copy leaves: every source whole, until the block that begins as
// the `stopAt`-th of the run (from 1; 0 for none) is written, where the walk ends.
std::string blockCopyModel(const std::vector<const std::string*>& sources, std::uint64_t stopAt) {
    std::string target;
    std::uint64_t begun = 0;
    for (const std::string* source : sources) {
        const std::string& bytes = *source;
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

class RandomStopTest : public EngineFixture, public ::testing::WithParamInterface<bool> {};

} // namespace

TEST_P(RandomStopTest, StopsOverRandomSparseLayoutsLandAsABlockCopyWould) {
    SCOPED_TRACE("seed " + std::to_string(kSeed));
    Random random(kSeed);
    const auto deadline = std::chrono::steady_clock::now() + kTimeBudget;
    for (int round = 0; round < kRounds && std::chrono::steady_clock::now() < deadline; ++round) {
        std::vector<std::string> files;
        std::vector<std::string> contents;
        for (int file = 0; file < 3; ++file) {
            files.push_back(makeRandomSparse(m_dir.path("source" + std::to_string(file)), random));
            contents.push_back(FileBytes::read(files.back()));
        }
        RecordingHost host;
        std::vector<const std::string*> checked;
        std::uint64_t blocks = 0;
        for (std::uint64_t row = 0, rows = 1 + below(random, 5); row < rows; ++row) {
            const std::uint64_t file = below(random, files.size());
            const bool tick = below(random, 5) != 0;
            host.addRow(files[file], tick);
            if (tick) {
                checked.push_back(&contents[file]);
                blocks += contents[file].size() / kMiB;
            }
        }
        const std::uint64_t stopAt = below(random, blocks + 2);
        const std::string target = m_dir.path("target" + std::to_string(round));
        host.setTarget(target);
        {
            CombineEngine engine(host);
            engine.SetPlainCopy(GetParam());
            engine.SetStopAtBlock(stopAt);
            engine.OnStart();
            host.waitForNotices();
        }

        const std::string expected = blockCopyModel(checked, stopAt);
        const std::string written = FileBytes::read(target);
        ASSERT_EQ(written.size(), expected.size()) << "round " << round << ", stop " << stopAt;
        const auto differ = std::mismatch(written.begin(), written.end(), expected.begin());
        EXPECT_EQ(differ.first - written.begin(), std::ssize(written)) << "round " << round;
        EXPECT_TRUE(host.messages().empty()) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, RandomStopTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Plain" : "Kernel"; });
