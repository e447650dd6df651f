#include "CombineEngine.h"
#include "CommandLine.h"
#include "ConsoleHost.h"
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
    // The walk went on past a piece that failed: the last one is whole, the run is not.
    const std::string pieceFailed = drawn([](ProgressLine& line) {
        line.plan({{"gone", false, 0, 0}, {"g", true, 100, 100}});
        line.reachPiece("gone");
        line.reachPiece("g");
        line.begin(100);
        line.finish(ProgressLine::Outcome::PieceFailed);
    });
    EXPECT_EQ(pieceFailed.find("2/2 g   99%  100 B / 100 B  failed"), 0U) << pieceFailed;
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
