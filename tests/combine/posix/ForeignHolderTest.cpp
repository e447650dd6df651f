#include "EngineFixture.h"
#include "FileBytes.h"

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using ForeignHolderTest = EngineFixture;

// A record lock as programs take one for their own ends; `length` 0 reaches past any end.
int lockRecords(const std::string& path, short type, off_t length) {
    struct flock range {};
    range.l_type = type;
    range.l_len = length;
    const int fd = ::open(path.c_str(), O_RDWR);
    return ::fcntl(fd, F_SETLK, &range) == 0 ? fd : -1;
}

// A child process holding a write lease on `path`, as a file server does for a client, and
// letting go once told that someone opens the file: its id, or -1 when no lease is granted.
pid_t holdLease(const std::string& path) {
    int ready[2]; // NOLINT(modernize-avoid-c-arrays): as pipe() takes it
    const pid_t child = ::pipe(ready) == 0 ? ::fork() : -1;
    if (child == 0) {
        sigset_t breakSignal;
        sigemptyset(&breakSignal);
        sigaddset(&breakSignal, SIGIO);
        ::sigprocmask(SIG_BLOCK, &breakSignal, nullptr);
        const int fd = ::open(path.c_str(), O_RDWR);
        const char held = fd >= 0 && ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0 ? 1 : 0;
        const timespec limit{10, 0};
        const bool broken = ::write(ready[1], &held, 1) == 1 && held == 1 &&
                            ::sigtimedwait(&breakSignal, nullptr, &limit) == SIGIO;
        ::_exit(broken && ::fcntl(fd, F_SETLEASE, F_UNLCK) == 0 ? 0 : 1);
    }
    char held = 0;
    return child > 0 && ::read(ready[0], &held, 1) == 1 && held == 1 ? child : -1;
}

} // namespace

TEST_F(ForeignHolderTest, FilesThatOtherProgramsLockOrLeaseAreJoined) {
    const std::string a = m_dir.makeFile("a", kMiB + 5, 1);
    const std::string b = m_dir.makeFile("b", 300, 2);
    const std::string c = m_dir.makeFile("c", 300, 3);
    const std::string leased = m_dir.makeFile("leased", 5000, 4);
    const std::string expected =
        FileBytes::read(a) + FileBytes::read(b) + FileBytes::read(c) + FileBytes::read(leased);
    FileBytes::write(target(), "");
    const int flocked = ::open(a.c_str(), O_RDONLY);
    const int flockedTarget = ::open(target().c_str(), O_RDONLY);
    ASSERT_TRUE(::flock(flocked, LOCK_EX) == 0 && ::flock(flockedTarget, LOCK_SH) == 0);
    ASSERT_GE(lockRecords(b, F_WRLCK, 100), 0);
    ASSERT_GE(lockRecords(c, F_WRLCK, 0), 0);
    ASSERT_GE(lockRecords(target(), F_RDLCK, 0), 0);
    const pid_t leaseHolder = holdLease(leased);
    for (const std::string& path : {a, b, c, leased}) {
        m_host.addRow(path);
    }

    runToEnd();

    EXPECT_EQ(targetBytes(), expected);
    EXPECT_TRUE(m_host.messages().empty());
    int status = 1;
    if (leaseHolder > 0 && ::waitpid(leaseHolder, &status, 0) == leaseHolder) {
        EXPECT_EQ(status, 0) << "the lease was not broken";
    }
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
