#include "CombineEngine.h"
#include "ConsoleHost.h"
#include "FileFaults.h"
#include "ProgressLine.h"
#include "RunTally.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::uint64_t kMiB = RunTally::kBlockSize;
constexpr std::uint64_t kGiB = 1024 * kMiB;

struct TallyCase {
    const char* what;
    std::vector<SourceFacts> pieces;
    std::function<void(RunTally&)> drive;
    double seconds;
    std::size_t piece;
    std::uint64_t done;
    std::uint64_t total;
    unsigned percent;
    std::uint64_t moved;
    std::uint64_t holes;
    std::optional<double> left;
};

// 64 GiB of hole with its last MiB of data, then 8 MiB of data of which 3 are copied.
void sparseThenDense(RunTally& tally) {
    tally.reachPiece();
    tally.beginPiece(64 * kGiB);
    tally.stepTo(65534);
    tally.stepTo(65535);
    tally.reachPiece();
    tally.beginPiece(8 * kMiB);
    for (std::uint32_t block = 0; block <= 3; ++block) {
        tally.stepTo(block);
    }
}

const std::vector<SourceFacts> kSparseThenDense{{"a", true, 64 * kGiB, kMiB},
                                                {"b", true, 8 * kMiB, 8 * kMiB}};

std::vector<TallyCase> tallyCases() {
    return {
        {"holes are done bytes, never data to move", kSparseThenDense, sparseThenDense, 2, 2,
         64 * kGiB + 3 * kMiB, 64 * kGiB + 8 * kMiB, 99, 4 * kMiB, 64 * kGiB - kMiB, 2.5},
        {"too soon for a rate", kSparseThenDense, sparseThenDense, 0.5, 2, 64 * kGiB + 3 * kMiB,
         64 * kGiB + 8 * kMiB, 99, 4 * kMiB, 64 * kGiB - kMiB, std::nullopt},
        {"nothing moved yet", kSparseThenDense,
         [](RunTally& tally) {
             tally.reachPiece();
             tally.beginPiece(64 * kGiB);
         },
         5, 1, 0, 64 * kGiB + 8 * kMiB, 0, 0, 0, std::nullopt},
        {"a piece changed since the check is all data",
         {{"c", true, 10 * kMiB, kMiB}},
         [](RunTally& tally) {
             tally.reachPiece();
             tally.beginPiece(12 * kMiB);
             tally.stepTo(0);
             tally.stepTo(5);
         },
         1,
         1,
         5 * kMiB,
         12 * kMiB,
         41,
         kMiB,
         0,
         11},
        {"a complete run keeps the holes of its pieces",
         {{"a", true, 3 * kMiB + 5, 5}, {"empty", true, 0, 0}},
         [](RunTally& tally) {
             tally.reachPiece();
             tally.beginPiece(3 * kMiB + 5);
             tally.stepTo(2);
             tally.reachPiece();
             tally.beginPiece(0);
             tally.finishRun();
         },
         1,
         2,
         3 * kMiB + 5,
         3 * kMiB + 5,
         100,
         5,
         3 * kMiB,
         0},
        {"a stop finishes the step being copied",
         {{"s", true, 2 * kMiB, 2 * kMiB}},
         [](RunTally& tally) {
             tally.reachPiece();
             tally.beginPiece(2 * kMiB);
             tally.stepTo(0);
             tally.stepTo(1);
             tally.finishStep();
         },
         1,
         1,
         2 * kMiB,
         2 * kMiB,
         99,
         2 * kMiB,
         0,
         0},
        {"a piece that did not open keeps its place",
         {{"gone", false, 0, 0}, {"b", true, 4 * kMiB, 4 * kMiB}},
         [](RunTally& tally) {
             tally.reachPiece();
             tally.reachPiece();
             tally.beginPiece(4 * kMiB);
             tally.stepTo(0);
             tally.stepTo(1);
         },
         1,
         2,
         kMiB,
         4 * kMiB,
         25,
         kMiB,
         0,
         3},
    };
}

} // namespace

TEST(RunTallyTest, CountsTheWholeRunAndTheTimeLeftFromDataOnly) {
    for (const TallyCase& c : tallyCases()) {
        RunTally tally(c.pieces);
        c.drive(tally);
        EXPECT_EQ(tally.piece(), c.piece) << c.what;
        EXPECT_EQ(tally.done(), c.done) << c.what;
        EXPECT_EQ(tally.total(), c.total) << c.what;
        EXPECT_EQ(tally.percent(), c.percent) << c.what;
        EXPECT_EQ(tally.moved(), c.moved) << c.what;
        EXPECT_EQ(tally.holes(), c.holes) << c.what;
        EXPECT_EQ(tally.secondsLeft(c.seconds), c.left) << c.what;
    }
}

TEST(ProgressLineTest, FiguresAndSummaryOfTheRun) {
    RunTally sparse(kSparseThenDense);
    sparseThenDense(sparse);
    EXPECT_EQ(ProgressLine::figures(sparse, 2),
              "   99%  64.0 GiB / 64.0 GiB  2.0 MiB/s  0:03 left");
    EXPECT_EQ(ProgressLine::figures(sparse, 2, "stopped"), "   99%  64.0 GiB / 64.0 GiB  stopped");
    RunTally holes(tallyCases()[4].pieces);
    tallyCases()[4].drive(holes);
    EXPECT_EQ(ProgressLine::summary(holes, 1),
              "joined 2 pieces: 3.0 MiB in 0:01, 5 B/s; 3.0 MiB kept as holes");
    RunTally dense({{"d", true, kGiB, kGiB}});
    dense.reachPiece();
    dense.beginPiece(kGiB);
    dense.finishRun();
    EXPECT_EQ(ProgressLine::summary(dense, 3725), "joined 1 piece: 1.0 GiB in 1:02:05, 281 KiB/s");
}

TEST(ProgressLineTest, NameIsCutInTheMiddleToFitTheTerminal) {
    const std::string figures = "  42%  1.2 GiB / 3.0 GiB  120 MiB/s";
    const std::string name = "'a long name that would wrap.img'";
    const std::vector<std::tuple<std::string, std::size_t, std::string>> cases{
        {name, 79, "3/40 'a long name that would wrap.img'" + figures},
        {name, 60, "3/40 'a long ...wrap.img'" + figures},
        // The name keeps a few columns; the figures lose their end.
        {name, 45, "3/40 'a...mg'  42%  1.2 GiB / 3.0 GiB  120 Mi"},
        {name, 12, "3/40 'a...mg"},
        {"分卷分卷分卷.img", 50, "3/40 分....img" + figures},
        {"分卷分卷分卷.img", 49, "3/40 分...img" + figures},
    };
    for (const auto& [cut, columns, line] : cases) {
        EXPECT_EQ(ProgressLine::fitted("3/40 ", cut, figures, columns), line) << columns;
    }
}

// Each block's write waits a while, so that the run lasts long enough to tell its time left.
TEST(ConsoleHostTest, OneLineForTheWholeRunTellsTheTimeLeftThenSumsUp) {
    constexpr int kPieces = 3;
    constexpr int kBlocksEach = 10;
    const std::string target = ::testing::TempDir() + "whole-run-target";
    std::remove(target.c_str());
    ConsoleHost host;
    host.setTarget(target);
    for (int piece = 0; piece < kPieces; ++piece) {
        const std::string source = ::testing::TempDir() + "whole-run-" + std::to_string(piece);
        std::ofstream(source, std::ios::binary) << std::string(kBlocksEach * kMiB, 'x');
        host.addRow(source);
    }
    for (int block = 0; block < kPieces * kBlocksEach; ++block) {
        FileFaults::arm({FileFaults::Call::Write, 0, SIZE_MAX, 0,
                         [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }});
    }
    std::FILE* terminal = std::tmpfile();
    host.showProgressOn(terminal);
    {
        CombineEngine engine(host);
        engine.SetPlainCopy(true);
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(engine.OnStart());
        host.waitForNotices();
    }
    FileFaults::disarmAll();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "notice: combine end\n");
    std::string drawn(16384, '\0');
    std::rewind(terminal);
    drawn.resize(std::fread(drawn.data(), 1, drawn.size(), terminal));
    std::fclose(terminal);
    // Drawings over one another, each within the 80 columns a file is given, then the summary.
    EXPECT_EQ(drawn.find('\n'), drawn.size() - 1) << drawn;
    EXPECT_TRUE(std::regex_search(drawn, std::regex(R"(\r3/3 whole-run-2  .*\d:\d\d left)")))
        << drawn;
    EXPECT_TRUE(std::regex_search(
        drawn, std::regex(R"(\rjoined 3 pieces: 30\.0 MiB in 0:0\d, [0-9.]+ MiB/s\x1b\[K\n$)")))
        << drawn;
    for (std::size_t at = drawn.find('\r'); at != std::string::npos;) {
        const std::size_t next = drawn.find('\r', at + 1);
        EXPECT_LE(drawn.find("\x1b[K", at) - at - 1, 79U) << drawn.substr(at, next - at);
        at = next;
    }
}
