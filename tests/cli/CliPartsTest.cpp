#include "CombineEngine.h"
#include "CommandLine.h"
#include "ConsoleHost.h"
#include "FileFaults.h"
#include "ProgressLine.h"
#include "ShellQuote.h"
#include "StopGate.h"
#include "TerminalText.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// The targets and rows a command line gives, "-" before an unchecked row, or its error.
std::string readOf(std::vector<std::string> words) {
    words.insert(words.begin(), "veltrane-join");
    std::vector<char*> argv;
    argv.reserve(words.size());
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    const CommandLine line = CommandLine::parse(static_cast<int>(argv.size()), argv.data());
    if (!line.error.empty()) {
        return "error: " + line.error;
    }
    std::string read = line.options.target;
    for (const auto& row : line.options.rows) {
        read.append(row.checked ? " " : " -").append(row.path);
    }
    read.append(line.options.force ? " force" : "").append(line.options.quiet ? " quiet" : "");
    if (line.options.stopAtBlock != 0) {
        read.append(" ").append(std::to_string(line.options.stopAtBlock));
    }
    return read;
}

std::string drawn(void (*run)(ProgressLine&)) {
    std::FILE* terminal = std::tmpfile();
    ProgressLine line(terminal);
    run(line);
    std::string text(256, '\0');
    std::rewind(terminal);
    text.resize(std::fread(text.data(), 1, text.size(), terminal));
    std::fclose(terminal);
    return text.substr(text.rfind('\r') + 1);
}

constexpr std::uint64_t kMiB = RunTally::kBlockSize;
const std::vector<SourceFacts> kSparseThenDense{{"a", true, 65536 * kMiB, kMiB},
                                                {"b", true, 8 * kMiB, 8 * kMiB}};
// 64 GiB of hole ending in a MiB of data, then 8 MiB of data of which 3 are copied.
const char* const kSparseThenDenseCalls = "r b65536 s65534 s65535 r b8 s0 s1 s2 s3";

// The host's calls in order: "r" the next piece reached, "b12" it opened with 12 MiB, "s5" a
// step to block 5.
RunTally played(std::vector<SourceFacts> pieces, const std::string& calls) {
    RunTally tally(std::move(pieces));
    std::istringstream words(calls);
    for (std::string word; words >> word;) {
        const std::uint64_t value = word.size() > 1 ? std::stoull(word.substr(1)) : 0;
        word[0] == 'r'   ? tally.reachPiece()
        : word[0] == 'b' ? tally.beginPiece(value * kMiB)
                         : tally.stepTo(static_cast<std::uint32_t>(value));
    }
    return tally;
}

} // namespace

TEST(CommandLineTest, ReadsGnuOrderAndNamesEachFault) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"t", "a", "--quiet"}, "t a quiet"},
        {{"-qf", "t", "a"}, "t a force quiet"},
        {{"--unchecked", "t", "a"}, "error: '--unchecked' applies to a SOURCE, not to TARGET 't'"},
        {{"t", "--unchecked", "a", "b", "-f"}, "t -a b force"},
        {{"--stop-at-block=3", "t", "a"}, "t a 3"},
        {{"--stop", "4", "t", "a"}, "t a 4"},
        {{"t", "--", "--quiet", "-f"}, "t --quiet -f"},
        {{"--", "-t", "a"}, "-t a"},
        {{"t", "-", "a"}, "t - a"},
        {{"t", "a", "--stop-at-block", "-1"}, "error: invalid number of blocks: '-1'"},
        {{"--force=yes", "t", "a"}, "error: option '--force' doesn't allow an argument"},
        {{"-fz", "t", "a"}, "error: invalid option -- 'z'"},
        {{"t", "a", "--unchecked", "--", "b"}, "t a -b"},
        // Each line is read afresh, though the one before ended inside a group of options.
        {{"-zf", "t", "a"}, "error: invalid option -- 'z'"},
        {{"t", "a"}, "t a"},
    };
    for (const auto& [words, read] : cases) {
        EXPECT_EQ(readOf(words), read) << words.front();
    }
}

TEST(ShellQuoteTest, QuotesAsCoreutilsAndEscapesWhatCouldSteerTheLine) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"a-b/分卷_1.vmdk", "a-b/分卷_1.vmdk"},
        {"missing one", "'missing one'"},
        {"it's", "\"it's\""},
        {"it's$", R"('it'\''s$')"},
        {"*.vmdk", "'*.vmdk'"},
        {"a[1]?", "'a[1]?'"},
        {"~x", "'~x'"},
        {"x~#", "x~#"},
        {"{", "'{'"},
        {"a\nb", R"('a'$'\n''b')"},
        {"\x1b[31m", R"($'\033''[31m')"},
        {"it's\t", R"('it'\''s'$'\t')"},
        // A C1 control, a byte that begins nothing.
        {"\xc2\x9b"
         "1\xff",
         R"($'\302\233''1'$'\377')"},
        // Right-to-left override, zero width space, byte order mark, isolate, soft hyphen.
        {"a\u202eb", R"('a'$'\342\200\256''b')"},
        {"\u200b\ufeff", R"($'\342\200\213\357\273\277')"},
        {"\u2066\u00ad", R"($'\342\201\246\302\255')"},
        {"\u061c\U000e0041", R"($'\330\234\363\240\201\201')"},
        // Line and paragraph separators.
        {"\u2028\u2029", R"($'\342\200\250\342\200\251')"},
        // An encoded surrogate, overlong forms, a code point past U+10FFFF, a cut sequence.
        {"\xed\xa0\x80", R"($'\355\240\200')"},
        {"\xe0\x80\xaf\xf0\x8f\xbf\xbf", R"($'\340\200\257\360\217\277\277')"},
        {"\xf4\x90\x80\x80\xe4\xb8", R"($'\364\220\200\200\344\270')"},
        {"\U0010fffd\U0001d173", "'\U0010fffd'$'\\360\\235\\205\\263'"},
    };
    for (const auto& [name, quoted] : cases) {
        EXPECT_EQ(shellQuoted(name), quoted) << quoted;
    }
    EXPECT_EQ(shellQuoted("plain", true), "'plain'");
    EXPECT_EQ(shellQuoted("", true), "''");
}

TEST(TerminalTextTest, ShortensInTheMiddleByColumns) {
    EXPECT_EQ(displayWidth("分卷 2"), 6U);
    EXPECT_EQ(middleShortened("disk-s001.vmdk", 14), "disk-s001.vmdk");
    EXPECT_EQ(middleShortened("disk-s001.vmdk", 9), "dis...mdk");
    EXPECT_EQ(middleShortened("分卷分卷分卷.img", 10), "分....img");
    EXPECT_EQ(leadingColumns("分卷 2", 3), "分");
}

TEST(ProgressLineTest, EndsWithASummaryOrSaysHowTheRunEnded) {
    // A 64 GiB hole passed in one step moves nothing and is kept.
    const std::string hole = drawn([](ProgressLine& line) {
        line.plan({{"hole", true, 64ULL << 30, 0}});
        line.reachPiece("hole");
        line.begin(64ULL << 30);
        line.update(65535);
        line.finish(ProgressLine::Outcome::Complete);
    });
    EXPECT_EQ(hole.find("joined 1 piece: 64.0 GiB in 0:00, 0 B/s; 64.0 GiB kept as holes"), 0U)
        << hole;
    const std::string stopped = drawn([](ProgressLine& line) {
        line.plan({{"s", true, 2ULL << 20, 2ULL << 20}});
        line.reachPiece("s");
        line.begin(2ULL << 20);
        line.update(0);
        line.update(1);
        line.finish(ProgressLine::Outcome::Stopped);
    });
    EXPECT_EQ(stopped.find("1/1 s   99%  2.0 MiB / 2.0 MiB  stopped"), 0U) << stopped;
    const std::string failed = drawn([](ProgressLine& line) {
        line.plan({{"f", true, 100, 100}, {"g", true, 100, 100}});
        line.reachPiece("f");
        line.begin(100);
        line.finish(ProgressLine::Outcome::Failed);
    });
    EXPECT_EQ(failed.find("1/2 f    0%  0 B / 200 B  failed"), 0U) << failed;
}

TEST(RunTallyTest, CountsTheWholeRunAndTheTimeLeftFromDataOnly) {
    const std::vector<std::tuple<std::vector<SourceFacts>, std::string, double, std::string>> cases{
        {kSparseThenDense, kSparseThenDenseCalls, 2, "2: 65539 of 65544 MiB, 99%, 4 65535 2.5"},
        {kSparseThenDense, kSparseThenDenseCalls, 0.5, "2: 65539 of 65544 MiB, 99%, 4 65535 -1"},
        // Changed since the check: taken as all data.
        {{{"c", true, 10 * kMiB, kMiB}}, "r b12 s0 s5", 1, "1: 5 of 12 MiB, 41%, 1 0 11"},
        // A piece that did not open keeps its place in the count.
        {{{"gone", false, 0, 0}, {"b", true, 4 * kMiB, 4 * kMiB}},
         "r r b4 s0 s1",
         1,
         "2: 1 of 4 MiB, 25%, 1 0 3"},
    };
    for (const auto& [pieces, calls, seconds, figures] : cases) {
        const RunTally tally = played(pieces, calls);
        // Piece, done, total, share; data moved and holes of whole pieces; time left, -1 for none.
        std::ostringstream text;
        text << tally.piece() << ": " << tally.done() / kMiB << " of " << tally.total() / kMiB
             << " MiB, " << tally.percent() << "%, " << tally.moved() / kMiB << " "
             << tally.holes() / kMiB << " " << tally.secondsLeft(seconds).value_or(-1);
        EXPECT_EQ(text.str(), figures) << calls;
    }
}

TEST(ProgressLineTest, FiguresAndANameCutInTheMiddleToFitTheTerminal) {
    EXPECT_EQ(ProgressLine::figures(played(kSparseThenDense, kSparseThenDenseCalls), 2),
              "   99%  64.0 GiB / 64.0 GiB  2.0 MiB/s  0:03 left");
    const std::string figures = "  42%  1.2 GiB / 3.0 GiB  120 MiB/s";
    const std::string name = "'a long name that would wrap.img'";
    const std::vector<std::tuple<std::string, std::size_t, std::string>> cases{
        {name, 60, "3/40 'a long ...wrap.img'" + figures},
        // The name keeps a few columns; the figures lose their end.
        {name, 45, "3/40 'a...mg'  42%  1.2 GiB / 3.0 GiB  120 Mi"},
        {"分卷分卷分卷.img", 49, "3/40 分...img" + figures},
    };
    for (const auto& [cut, columns, line] : cases) {
        EXPECT_EQ(ProgressLine::fitted("3/40 ", cut, figures, columns), line) << columns;
    }
}

// Each block's write waits a while, so that the run lasts long enough to tell its time left.
TEST(ConsoleHostTest, OneLineForTheWholeRunTellsTheTimeLeftThenSumsUp) {
    const std::string source = ::testing::TempDir() + "whole-run-source";
    std::ofstream(source, std::ios::binary) << std::string(15 * kMiB, 'x');
    ConsoleHost host;
    host.setTarget(::testing::TempDir() + "whole-run-target");
    host.addRow(source);
    host.addRow(source);
    for (int block = 0; block < 30; ++block) {
        FileFaults::arm({FileFaults::Call::Write, 0, SIZE_MAX, 0,
                         [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }});
    }
    std::FILE* terminal = std::tmpfile();
    host.showProgressOn(terminal);
    CombineEngine engine(host);
    engine.SetPlainCopy(true);
    ASSERT_TRUE(engine.OnStart());
    host.waitForNotices();
    FileFaults::disarmAll();
    std::string drawn(16384, '\0');
    std::rewind(terminal);
    drawn.resize(std::fread(drawn.data(), 1, drawn.size(), terminal));
    std::fclose(terminal);
    // Drawings over one another, then the summary, the only line ended.
    EXPECT_TRUE(std::regex_search(
        drawn, std::regex(R"(\r2/2 whole-run-source  .*\d:\d\d left(.|\r)*\rjoined 2 pieces: )"
                          R"(30\.0 MiB in 0:0\d, [\d.]+ MiB/s\x1b\[K\n$)")))
        << drawn;
}

TEST(ConsoleHostTest, SignalBeforeTheRunStartsLeavesTheTargetUnchangedAndSaysSo) {
    const std::string target = ::testing::TempDir() + "console-host-target";
    const std::string source = ::testing::TempDir() + "console-host-source";
    for (const std::string& path : {target, source}) {
        std::ofstream(path, std::ios::binary) << "kept";
    }
    ConsoleHost host;
    host.setTarget(target);
    host.addRow(source);
    {
        CombineEngine engine(host);
        host.stopForSignal(engine, SIGINT);
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(engine.OnStart());
        host.waitForNotices();
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "veltrane-join: stopped: " + shellQuoted(target) +
                  " was not changed\nnotice: combine end\n");
    EXPECT_EQ(host.stoppedBySignal(), SIGINT);
    std::ifstream in(target, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "kept");
}

TEST(StopGateTest, ClosingWaitsForAStopInFlightAndLetsNoneThroughAfter) {
    StopGate gate;
    EXPECT_FALSE(gate.pass(SIGINT));
    std::promise<void> entered;
    std::promise<void> release;
    std::atomic<bool> stopReturned{false};
    gate.open([&](int) {
        entered.set_value();
        release.get_future().wait();
        stopReturned = true;
    });
    std::thread handler([&] { EXPECT_TRUE(gate.pass(SIGINT)); });
    entered.get_future().wait();
    auto closed = std::async(std::launch::async, [&] {
        gate.close();
        return stopReturned.load();
    });
    EXPECT_EQ(closed.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    release.set_value();
    EXPECT_TRUE(closed.get());
    handler.join();
    EXPECT_FALSE(gate.pass(SIGINT));
}
