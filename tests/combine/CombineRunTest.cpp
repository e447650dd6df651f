#include "DiskFile.h"
#include "EngineFixture.h"
#include "EngineTexts.h"
#include "FileBytes.h"
#include "FileError.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#endif
#include <thread>
#include <tuple>
#include <unistd.h>

namespace fs = std::filesystem;
using Events = std::vector<std::string>;

namespace {

using CombineRunTest = EngineFixture;
using Kind = RunMessage::Kind;

} // namespace

TEST_F(CombineRunTest, CheckedRowsJoinInListOrderDuplicatesIncluded) {
    const std::string a = m_dir.makeFile("a", 1000, 1);
    const std::string b = m_dir.makeFile("b", 2000, 2);
    const std::string c = m_dir.makeFile("c", 3000, 3);
    m_host.addRow(a);
    m_host.addRow(b, false);
    m_host.addRow(a);
    m_host.addRow(c);

    runToEnd();

    const std::string bytesA = FileBytes::read(a);
    EXPECT_EQ(targetBytes(), bytesA + bytesA + FileBytes::read(c));
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(CombineRunTest, RowsAreListedOnceAndFindingsAskedAboutBeforeTheTargetIsEmptied) {
    FileBytes::write(target(), "old contents");
    const std::string a = m_dir.makeFile("a", 100, 1);
    m_host.addRow(m_dir.path("missing"));
    m_host.addRow(a);
    for (const bool join : {false, true}) {
        m_host.setJoinAnyway(join);
        m_engine.OnStart();
        m_host.waitForNotices(join ? 2 : 1);

        const Events events = m_host.events();
        EXPECT_EQ(std::ranges::count(events, "rows"), join ? 2 : 1);
        EXPECT_EQ(std::ranges::count_if(events,
                                        [](const std::string& event) {
                                            return event.starts_with("finding: ") &&
                                                   event.find("missing") != std::string::npos;
                                        }),
                  join ? 2 : 1);
        EXPECT_EQ(targetBytes(), join ? FileBytes::read(a) : "old contents");
        EXPECT_EQ(m_host.lastOutcome(), join ? RunOutcome::Failed : RunOutcome::Unchanged);
    }
}

TEST_F(CombineRunTest, NoCheckedRowEmptiesAnExistingTargetOnceTheUserAgrees) {
    FileBytes::write(target(), "old contents");
    m_host.addRow(m_dir.makeFile("a", 10, 1), false);

    runToEnd();

    EXPECT_EQ(targetBytes(), "");
    const Events events = m_host.events();
    ASSERT_EQ(events.size(), 3U);
    EXPECT_EQ(events[0], "rows");
    EXPECT_TRUE(events[1].starts_with("finding: no row is ticked")) << events[1];
    EXPECT_EQ(events[2], "notice: combine end");
}

#ifndef _WIN32
// FIFOs, sockets and /dev/null are POSIX's; Windows tests a device of its own.
TEST_F(CombineRunTest, SourcesThatCannotBeOpenedAreReportedAndSkipped) {
    const std::string a = m_dir.makeFile("a", 100, 1);
    const std::string c = m_dir.makeFile("c", 200, 3);
    const std::string fifo = m_dir.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = m_dir.path("sock");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    fs::create_directory(m_dir.path("folder"));
    for (const std::string& path :
         {a, m_dir.path("missing"), m_dir.path("folder"), fifo, socketPath,
          std::string("/dev/null"), m_dir.path(std::string(300, 'n')), c}) {
        m_host.addRow(path);
    }

    runToEnd();
    ::close(sock);

    EXPECT_EQ(targetBytes(), FileBytes::read(a) + FileBytes::read(c));
    EXPECT_EQ(m_host.messages(), Events(6, EngineTexts::kOpenSourceFailed));
    const std::error_code notRegular = FileError::NotRegularFile;
    EXPECT_EQ(m_host.reasons(),
              (std::vector{std::make_error_code(std::errc::no_such_file_or_directory),
                           std::make_error_code(std::errc::is_a_directory), notRegular, notRegular,
                           notRegular, std::make_error_code(std::errc::filename_too_long)}));
}
#endif

// Names of the target, each made in the scratch folder of `dir`.
std::vector<std::string> namesOfTheTarget(const TempDir& dir, const std::string& target) {
    fs::create_hard_link(target, dir.path("hard"));
    std::vector<std::string> names{target, dir.path("./target.bin"), dir.path("hard")};
    std::error_code noSymlink; // mingw-w64 makes none
    fs::create_symlink(target, dir.path("sym"), noSymlink);
    if (!noSymlink) {
        names.push_back(dir.path("sym"));
    }
    return names;
}

TEST_F(CombineRunTest, TargetTickedAsASourceOrHoldingDataWhenAskedIsLeftAsItWas) {
    FileBytes::write(target(), "old contents");
    const std::string a = m_dir.makeFile("a", 100, 1);
    // The second row, whether a target that holds data is refused, and whether the target is
    // absent before the run: the file the refused run created is gone again.
    std::vector<std::tuple<std::string, bool, bool>> cases{{a, true, false}};
    for (const std::string& name : namesOfTheTarget(m_dir, target())) {
        cases.insert(cases.end(), {{name, false, false}, {name, true, false}});
    }
    cases.emplace_back(target(), false, true);

    for (const auto& [row, refuseNonEmpty, absent] : cases) {
        if (absent) {
            fs::remove(target());
        }
        RecordingHost host;
        CombineEngine engine(host);
        engine.SetRefuseNonEmptyTarget(refuseNonEmpty);
        host.setTarget(target());
        host.addRow(a);
        host.addRow(row);
        engine.OnStart();
        host.waitForNotices();

        const bool isTarget = row != a;
        EXPECT_EQ(host.events(),
                  (Events{"rows", "message: 创建目标文件失败", "notice: combine end"}));
        const RunMessage m = host.runMessages().at(0);
        EXPECT_EQ(std::tie(m.kind, m.path, m.otherPath),
                  std::tuple(isTarget ? Kind::TargetIsSource : Kind::TargetNotEmpty, target(),
                             isTarget ? row : ""));
        EXPECT_EQ(fs::exists(target()) ? targetBytes() : "absent",
                  absent ? "absent" : "old contents");
        EXPECT_EQ(host.lastOutcome(), RunOutcome::Unchanged);
    }
}

TEST_F(CombineRunTest, AStopEndsTheRunAsTheWorkItLeftSays) {
    struct StopCase {
        const char* name;
        bool targetAbsent;
        // Stopped as the check before emptying the target reads the first row.
        bool stopBeforeEmptying;
        std::uint64_t stopAtBlock;
        bool secondTicked;
        RunOutcome outcome;
        std::string expected;
    };
    const std::string a = m_dir.makeFile("a", 2 * kMiB, 1);
    const std::string bytesA = FileBytes::read(a);
    const std::string old = "old contents";
    const std::vector<StopCase> cases{
        {"before emptying a target with data", false, true, 0, true, RunOutcome::Unchanged, old},
        {"before emptying a new target", true, true, 0, true, RunOutcome::Unchanged, "absent"},
        {"at the last block, unticked rows after", false, false, 2, false, RunOutcome::Complete,
         bytesA},
        {"at the last block, a ticked row after", false, false, 2, true, RunOutcome::Stopped,
         bytesA},
        {"within the source", false, false, 1, false, RunOutcome::Stopped, bytesA.substr(0, kMiB)},
    };
    for (const StopCase& c : cases) {
        if (c.targetAbsent) {
            fs::remove(target());
        } else {
            FileBytes::write(target(), old);
        }
        RecordingHost host;
        CombineEngine engine(host);
        host.setTarget(target());
        host.addRow(a);
        host.addRow(m_dir.makeFile("b", 100, 2), c.secondTicked);
        engine.SetStopAtBlock(c.stopAtBlock);
        if (c.stopBeforeEmptying) {
            host.onRowsListed = [&engine] { engine.OnStop(); };
        }
        engine.OnStart();
        host.waitForNotices();

        EXPECT_EQ(fs::exists(target()) ? targetBytes() : "absent", c.expected) << c.name;
        EXPECT_EQ(host.lastOutcome(), c.outcome) << c.name;
        EXPECT_EQ(engine.State().outcome, c.outcome) << c.name;
        EXPECT_TRUE(host.messages().empty()) << c.name;
    }
}

#ifndef _WIN32
TEST_F(CombineRunTest, RefusedRunRemovesNoFileButTheTargetItCreated) {
    // The created target moves away before the refusal and another file takes its name.
    const std::string moved = m_dir.path("moved");
    m_host.onRowsListed = [&] {
        fs::rename(target(), moved);
        FileBytes::write(target(), "");
    };
    m_host.addRow(moved);

    runToEnd();

    EXPECT_EQ(m_host.runMessages().at(0).kind, Kind::TargetIsSource);
    EXPECT_TRUE(fs::exists(target()) && fs::exists(moved));
}
#endif

#ifndef _WIN32
// Symbolic links that mingw-w64 cannot make, and the files of /proc.
TEST_F(CombineRunTest, DanglingLinkAsTheTargetMakesItsFileOnlyForARunThatWrites) {
    const std::string link = m_dir.path("link");
    fs::create_symlink("dest", link);
    m_host.setTarget(link);
    m_host.addRow(link);

    runToEnd();
    EXPECT_EQ(m_host.runMessages().at(0).kind, Kind::TargetIsSource);
    EXPECT_FALSE(fs::exists(m_dir.path("dest")));
    EXPECT_TRUE(fs::is_symlink(link));

    m_host.setRowChecked(0, false);
    m_host.addRow(m_dir.makeFile("a", 100, 1));
    m_engine.OnStart();
    m_host.waitForNotices(2);
    EXPECT_EQ(FileBytes::read(m_dir.path("dest")), FileBytes::read(m_dir.path("a")));
}

TEST_F(CombineRunTest, FilesThatTellNoLengthJoinAsTheyRead) {
    const std::string a = m_dir.makeFile("a", 3000, 1);
    const std::string pseudo = "/proc/version";
    m_host.addRow(a);
    m_host.addRow(pseudo);
    m_host.addRow(a);

    runToEnd();

    std::ifstream in(pseudo);
    const std::string read{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(read.empty());
    EXPECT_EQ(targetBytes(), FileBytes::read(a) + read + FileBytes::read(a));
    EXPECT_EQ(m_host.lastOutcome(), RunOutcome::Complete);
}
#endif

TEST_F(CombineRunTest, TargetTickedAsASourceOnlyDuringTheRunFailsToOpen) {
    FileBytes::write(target(), ""); // an empty target is taken even when one with data is not
    m_engine.SetRefuseNonEmptyTarget(true);
    const std::string a = m_dir.makeFile("a", 100, 1);
    const std::vector<std::string> names = namesOfTheTarget(m_dir, target());
    m_host.addRow(a);
    for (const std::string& name : names) {
        m_host.addRow(name, false);
    }
    m_host.addRow(a);
    m_host.onRange = [&](std::uint32_t) {
        for (int row = 1; row <= std::ssize(names); ++row) {
            m_host.setRowChecked(row, true);
        }
    };

    runToEnd();

    EXPECT_EQ(targetBytes(), FileBytes::read(a) + FileBytes::read(a));
    EXPECT_EQ(m_host.messages(), Events(names.size(), EngineTexts::kOpenSourceFailed));
}

#ifndef _WIN32
TEST_F(CombineRunTest, TargetThatCannotBeCreatedReadsNoRow) {
    fs::create_directory(m_dir.path("folder"));
    const std::string fifo = m_dir.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const Events expected{"message: " + std::string(EngineTexts::kCreateTargetFailed),
                          "notice: combine end"};

    for (const std::string& path : {std::string(), m_dir.path("folder"), fifo,
                                    m_dir.path("no/such/folder/t"), std::string("/dev/null")}) {
        RecordingHost host;
        CombineEngine engine(host);
        host.setTarget(path);
        host.addRow(m_dir.makeFile("a", 100, 1));
        engine.OnStart();
        host.waitForNotices();
        EXPECT_EQ(host.events(), expected) << "target '" << path << "'";
    }
}
#endif

TEST_F(CombineRunTest, PathsInAnyScriptAndOfAnyLengthJoin) {
    // Windows takes such names only as UTF-16, and past 260 characters in its long-path form.
    const std::string deep = std::string(120, 'd') + "/" + std::string(120, 'e') + "/";
    fs::create_directories(FileBytes::native(m_dir.path(deep)));
    const std::string source = m_dir.makeFile(deep + "片段 1.bin", 3000, 1);
    m_host.setTarget(m_dir.path(deep + "目标.vmdk"));
    m_host.addRow(source);

    runToEnd();

    EXPECT_EQ(FileBytes::read(m_dir.path(deep + "目标.vmdk")), FileBytes::read(source));
}

TEST_F(CombineRunTest, TargetHeldByAnotherRunIsLeftAsItWas) {
    FileBytes::write(target(), "held elsewhere");
    m_host.addRow(m_dir.makeFile("a", 100, 1));
    {
        DiskFile otherRun;
        ASSERT_TRUE(otherRun.holdTarget(target()));
        runToEnd();
    }

    EXPECT_EQ(m_host.messages(), Events{EngineTexts::kCreateTargetFailed});
    EXPECT_EQ(targetBytes(), "held elsewhere");
}

TEST_F(CombineRunTest, SourceHeldAsTargetByAnotherRunIsNotRead) {
    const std::string held = m_dir.makeFile("held", 100, 1);
    const std::string c = m_dir.makeFile("c", 100, 3);
    DiskFile otherRun;
    ASSERT_TRUE(otherRun.holdTarget(held));
    m_host.addRow(held);
    m_host.addRow(c);

    runToEnd();

    EXPECT_EQ(targetBytes(), FileBytes::read(c));
    EXPECT_EQ(m_host.messages(), Events{EngineTexts::kOpenSourceFailed});
}

TEST_F(CombineRunTest, RowsAreReadAsTheWalkReachesThem) {
    const std::string a = m_dir.makeFile("a", 2 * kMiB, 1);
    const std::string b = m_dir.makeFile("b", 100, 2);
    const std::string c = m_dir.makeFile("c", 100, 3);
    m_host.addRow(a);
    m_host.addRow(b, false);
    m_host.addRow(c);
    m_host.onPosition = [&](std::uint32_t block) {
        if (block == 0) {
            m_host.setRowChecked(1, true);
            m_host.setRowChecked(2, false);
            m_host.addRow(c);
        }
    };

    runToEnd();

    EXPECT_EQ(targetBytes(), FileBytes::read(a) + FileBytes::read(b));
}

TEST_F(CombineRunTest, SecondStartWhileBusyIsRefusedAndTheRunGoesOn) {
    const std::string a = m_dir.makeFile("a", 2 * kMiB + 3, 1);
    m_host.addRow(a);
    std::promise<void> secondStartDone;
    std::promise<void> runReachedBlock;
    m_host.onPosition = [&](std::uint32_t block) {
        if (block == 1) {
            runReachedBlock.set_value();
            secondStartDone.get_future().wait();
        }
    };

    EXPECT_TRUE(m_engine.OnStart());
    runReachedBlock.get_future().wait();
    m_host.setTarget(m_dir.path("other"));
    EXPECT_FALSE(m_engine.OnStart());
    secondStartDone.set_value();
    m_host.waitForNotices();

    EXPECT_EQ(targetBytes(), FileBytes::read(a));
    EXPECT_FALSE(fs::exists(m_dir.path("other")));
    EXPECT_EQ(m_host.messages(), Events{EngineTexts::kWaitCurrentThread});
}

TEST_F(CombineRunTest, StopOutsideARunHasNoLastingEffect) {
    const std::string a = m_dir.makeFile("a", kMiB + 1, 1);
    m_host.addRow(a);

    m_engine.OnStop();
    runToEnd();
    m_engine.OnStop();
    m_engine.OnStart();
    m_host.waitForNotices(2);

    EXPECT_EQ(targetBytes(), FileBytes::read(a));
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(CombineRunTest, DestroyingTheEngineStopsAndJoinsItsWorker) {
    // A byte in every block, each block slowed down like a busy disk: far too long to finish
    // between the release below and the engine's end.
    const std::string a = m_dir.path("a");
    {
        std::ofstream out(a, std::ios::binary);
        for (std::uint64_t block = 0; block < 1024; ++block) {
            out.seekp(static_cast<std::streamoff>(block * kMiB));
            out.put('x');
        }
    }
    fs::resize_file(a, 1024 * kMiB);
    std::promise<void> started;
    std::promise<void> checked;
    RecordingHost host;
    host.setTarget(target());
    host.addRow(a);
    host.onPosition = [&](std::uint32_t block) {
        if (block == 0) {
            started.set_value();
            checked.get_future().wait();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    {
        CombineEngine engine(host);
        engine.OnStart();
        started.get_future().wait();
        EXPECT_TRUE(engine.State().liveWorker());
        checked.set_value();
    }
    EXPECT_EQ(g_busy, 0);
    EXPECT_EQ(host.events().back(), "notice: combine end");
    EXPECT_LT(fs::file_size(target()), 1024 * kMiB);
}

TEST_F(CombineRunTest, AWorkerFreesItsHostBeforeItsLastCallAndIsLiveUntilItReturns) {
    m_host.addRow(m_dir.makeFile("a", 10, 1));
    std::atomic<bool> liveInLastCall{false};
    std::atomic<bool> needsHostInLastCall{true};
    m_host.onWorkerEnded = [&] {
        // Time for the engine to count the worker out too early, if it does.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        liveInLastCall = m_engine.State().liveWorker();
        // A host woken by this call must find itself free to go, or its wait never ends.
        needsHostInLastCall = m_engine.State().needsHost();
    };
    runToEnd();
    while (m_engine.State().liveWorker()) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(liveInLastCall);
    EXPECT_FALSE(needsHostInLastCall);
}
