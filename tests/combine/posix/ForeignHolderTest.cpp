#include "EngineFixture.h"
#include "FileBytes.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using ForeignHolderTest = EngineFixture;

// A record lock as programs take one for their own ends; `length` 0 reaches past any end.
bool lockRecords(const std::string& path, short type, off_t length) {
    struct flock range {};
    range.l_type = type;
    range.l_len = length;
    return ::fcntl(::open(path.c_str(), O_RDWR), F_SETLK, &range) == 0;
}

// A child holding a write lease on `path`, as a file server does for a client, and letting go
// once told that someone opens the file; it exits 0 then. Given descriptors, it first writes a
// byte to `broken` and waits for one from `release` before it lets go. -1 when no lease is
// granted.
pid_t holdLease(const std::string& path, int broken = -1, int release = -1) {
    int ready[2]; // NOLINT(modernize-avoid-c-arrays): as pipe() takes it
    const pid_t child = ::pipe(ready) == 0 ? ::fork() : -1;
    if (child == 0) {
        sigset_t breakSignal;
        sigemptyset(&breakSignal);
        sigaddset(&breakSignal, SIGIO);
        ::sigprocmask(SIG_BLOCK, &breakSignal, nullptr);
        const int fd = ::open(path.c_str(), O_RDWR);
        char held = ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0 ? 1 : 0;
        const timespec limit{10, 0};
        const bool asked = ::write(ready[1], &held, 1) == 1 && held == 1 &&
                           ::sigtimedwait(&breakSignal, nullptr, &limit) == SIGIO;
        const bool answered =
            broken < 0 || (::write(broken, &held, 1) == 1 && ::read(release, &held, 1) == 1);
        ::_exit(asked && answered && ::fcntl(fd, F_SETLEASE, F_UNLCK) == 0 ? 0 : 1);
    }
    char held = 0;
    return child > 0 && ::read(ready[0], &held, 1) == 1 && held == 1 ? child : -1;
}

} // namespace

TEST_F(ForeignHolderTest, FilesThatOtherProgramsLockOrLeaseAreJoined) {
    std::string expected;
    for (const char* name : {"flock", "range", "whole", "leased"}) {
        m_host.addRow(m_dir.makeFile(name, kMiB + 5, static_cast<unsigned>(expected.size())));
        expected += FileBytes::read(m_dir.path(name));
    }
    FileBytes::write(target(), "");
    ASSERT_EQ(::flock(::open(m_dir.path("flock").c_str(), O_RDONLY), LOCK_EX), 0);
    ASSERT_EQ(::flock(::open(target().c_str(), O_RDONLY), LOCK_SH), 0);
    ASSERT_TRUE(lockRecords(m_dir.path("range"), F_WRLCK, 100) &&
                lockRecords(m_dir.path("whole"), F_WRLCK, 0) && lockRecords(target(), F_RDLCK, 0));
    const pid_t leaseHolder = holdLease(m_dir.path("leased"));

    runToEnd();

    EXPECT_EQ(targetBytes(), expected);
    EXPECT_TRUE(m_host.messages().empty());
    EXPECT_TRUE(std::ranges::none_of(m_host.events(), [](const std::string& event) {
        return event.starts_with("finding");
    })) << "the check never waits on a lease, nor raises anything for it";
    EXPECT_EQ(m_host.planned().size(), 4U);
    int status = 1;
    EXPECT_TRUE(leaseHolder < 0 || (::waitpid(leaseHolder, &status, 0) > 0 && status == 0));
}

TEST_F(ForeignHolderTest, DiskWithoutLocksIsUsedUnmarked) {
    const std::string a = m_dir.makeFile("a", 300, 1);
    m_host.addRow(a);
    m_host.addRow(a);
    int runs = 0;
    for (const int error : {ENOLCK, EOPNOTSUPP, EINVAL}) {
        for (int mark = 0; mark < 3; ++mark) { // the target's, then each source's
            FileFaults::arm({FileFaults::Call::Lock, error});
        }
        m_engine.OnStart();
        m_host.waitForNotices(++runs);
        EXPECT_EQ(targetBytes(), FileBytes::read(a) + FileBytes::read(a)) << error;
    }
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(ForeignHolderTest, StopWhileWaitingForALeasedTargetLeavesItAsItWas) {
    FileBytes::write(target(), "leased contents");
    m_host.addRow(m_dir.makeFile("a", 100, 1));
    int broken[2];  // NOLINT(modernize-avoid-c-arrays): as pipe() takes it
    int release[2]; // NOLINT(modernize-avoid-c-arrays)
    ASSERT_EQ(::pipe(broken), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t leaseHolder = holdLease(target(), broken[1], release[0]);
    if (leaseHolder < 0) {
        GTEST_SKIP() << "no lease is granted here";
    }
    char byte = 0;
    m_engine.OnStart();
    // The run waits on the lease now; it is stopped before the holder lets go.
    ASSERT_EQ(::read(broken[0], &byte, 1), 1);
    m_engine.OnStop();
    ASSERT_EQ(::write(release[1], &byte, 1), 1);
    m_host.waitForNotices();

    EXPECT_EQ(targetBytes(), "leased contents");
    EXPECT_EQ(m_host.lastOutcome(), RunOutcome::Unchanged);
    int status = 1;
    EXPECT_TRUE(::waitpid(leaseHolder, &status, 0) > 0 && status == 0);
}
