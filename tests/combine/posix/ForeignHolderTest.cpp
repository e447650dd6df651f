#include "EngineFixture.h"
#include "FileBytes.h"
#include "ForeignLock.h"

#include <array>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using ForeignHolderTest = EngineFixture;

// A record lock the way programs lock a file for their own ends; `length` 0 covers the whole
// file, however long it grows.
int lockRecords(int fd, short type, off_t length) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_len = length;
    return ::fcntl(fd, F_SETLK, &range);
}

// Another process holding a write lease on a file, as a file server does for a client that
// has it open; it lets go as soon as the kernel tells it that someone else opens the file.
class LeaseHolder {
public:
    explicit LeaseHolder(const std::string& path) {
        std::array<int, 2> ready{};
        if (::pipe(ready.data()) != 0) {
            return;
        }
        m_child = ::fork();
        if (m_child == 0) {
            ::close(ready[0]);
            holdUntilBroken(path, ready[1]);
        }
        ::close(ready[1]);
        char held = 0;
        m_holding = m_child > 0 && ::read(ready[0], &held, 1) == 1 && held == 1;
        ::close(ready[0]);
    }
    LeaseHolder(const LeaseHolder&) = delete;
    LeaseHolder& operator=(const LeaseHolder&) = delete;
    LeaseHolder(LeaseHolder&&) = delete;
    LeaseHolder& operator=(LeaseHolder&&) = delete;
    ~LeaseHolder() { letGo(); }

    bool holding() const { return m_holding; }
    // True when the holder was told of an open and let go in time.
    bool letGo() {
        int status = 0;
        if (m_child > 0 && ::waitpid(m_child, &status, 0) == m_child) {
            m_brokenInTime = WIFEXITED(status) && WEXITSTATUS(status) == 0;
            m_child = -1;
        }
        return m_brokenInTime;
    }

private:
    [[noreturn]] static void holdUntilBroken(const std::string& path, int ready) {
        sigset_t breakSignal;
        sigemptyset(&breakSignal);
        sigaddset(&breakSignal, SIGIO);
        ::sigprocmask(SIG_BLOCK, &breakSignal, nullptr);
        const int fd = ::open(path.c_str(), O_RDWR);
        const char held = fd >= 0 && ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0 ? 1 : 0;
        if (::write(ready, &held, 1) != 1 || held == 0) {
            ::_exit(1);
        }
        const timespec limit{10, 0};
        const int got = ::sigtimedwait(&breakSignal, nullptr, &limit);
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        ::_exit(got == SIGIO ? 0 : 2);
    }

    pid_t m_child = -1;
    bool m_holding = false;
    bool m_brokenInTime = false;
};

} // namespace

TEST_F(ForeignHolderTest, FilesThatOtherProgramsLockAreJoined) {
    const std::string a = m_dir.makeFile("a", kMiB + 5, 1);
    const std::string b = m_dir.makeFile("b", 300, 2);
    const std::string c = m_dir.makeFile("c", 300, 3);
    FileBytes::write(target(), "old");
    const int fa = ::open(a.c_str(), O_RDWR);
    const int fb = ::open(b.c_str(), O_RDWR);
    const int fc = ::open(c.c_str(), O_RDWR);
    const int ft = ::open(target().c_str(), O_RDWR);
    ASSERT_EQ(::flock(fa, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(lockRecords(fb, F_WRLCK, 100), 0);
    ASSERT_EQ(lockRecords(fc, F_WRLCK, 0), 0);
    ASSERT_EQ(::flock(ft, LOCK_SH | LOCK_NB), 0);
    ASSERT_EQ(lockRecords(ft, F_RDLCK, 0), 0);
    for (const std::string& path : {a, b, c}) {
        m_host.addRow(path);
    }

    runToEnd();
    for (const int fd : {fa, fb, fc, ft}) {
        ::close(fd);
    }

    EXPECT_EQ(targetBytes(), FileBytes::read(a) + FileBytes::read(b) + FileBytes::read(c));
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(ForeignHolderTest, SourceUnderALeaseIsJoinedOnceTheHolderLetsGo) {
    const std::string a = m_dir.makeFile("a", 5000, 1);
    const std::string bytes = FileBytes::read(a);
    LeaseHolder holder(a);
    if (!holder.holding()) {
        GTEST_SKIP() << "this file system or system grants no leases";
    }
    m_host.addRow(a);

    runToEnd();

    EXPECT_TRUE(holder.letGo());
    EXPECT_EQ(targetBytes(), bytes);
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(ForeignHolderTest, DiskWithoutLocksIsUsedUnmarked) {
    const std::string a = m_dir.makeFile("a", 300, 1);
    m_host.addRow(a);
    m_host.addRow(a);
    int runs = 0;
    for (const int error : {ENOLCK, EOPNOTSUPP, EINVAL}) {
        // The target's mark, then each source's.
        for (int call = 0; call < 3; ++call) {
            FileFaults::arm({FileFaults::Call::Lock, error});
        }
        m_engine.OnStart();
        m_host.waitForNotices(++runs);
        EXPECT_EQ(targetBytes(), FileBytes::read(a) + FileBytes::read(a)) << error;
    }
    EXPECT_TRUE(m_host.messages().empty());
}
