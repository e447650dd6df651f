#include "EngineFixture.h"
#include "EngineTexts.h"
#include "FileBytes.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Events = std::vector<std::string>;

namespace {

// Hooks that see each file the engine flushes, or waits to be written out, and may fail the
// call with an error number. Set before a run starts and cleared once its notice is shown.
std::function<int(const std::string& file)> g_onFlush;
std::function<int()> g_onWaitWrittenOut;

std::string fileName(int fd) {
    return fs::read_symlink("/proc/self/fd/" + std::to_string(fd)).filename().string();
}

// Bytes of the file that the page cache holds.
std::uint64_t cachedBytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const auto size = static_cast<std::size_t>(fs::file_size(path));
    const long page = ::sysconf(_SC_PAGESIZE);
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    std::vector<unsigned char> resident((size + page - 1) / page);
    const int got = ::mincore(map, size, resident.data());
    ::munmap(map, size);
    ::close(fd);
    EXPECT_EQ(got, 0) << path;
    return std::count_if(resident.begin(), resident.end(), [](unsigned char p) { return p & 1; }) *
           static_cast<std::uint64_t>(page);
}

// `blocks` MiB of one repeated block and `extra` bytes more, on the disk and so clean in the
// cache, where dropping pages takes effect.
void makeCleanFile(const std::string& path, std::size_t blocks, std::size_t extra, unsigned seed) {
    const std::string block = FileBytes::pattern(FileBytes::kMiB, seed);
    {
        std::ofstream out(path, std::ios::binary);
        for (std::size_t i = 0; i < blocks; ++i) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
        out.write(block.data(), static_cast<std::streamsize>(extra));
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(::fdatasync(fd), 0);
    ::close(fd);
}

} // namespace

// The system's calls, in place of the C library's for the whole test program; the parameter
// named as the library's header names it.
extern "C" int fdatasync(int __fildes) { // NOLINT(bugprone-reserved-identifier)
    errno = g_onFlush ? g_onFlush(fileName(__fildes)) : 0;
    return errno != 0 ? -1 : static_cast<int>(::syscall(SYS_fdatasync, __fildes));
}

extern "C" int sync_file_range(int fd, off64_t offset, off64_t count, unsigned int flags) {
    const bool waits = (flags & SYNC_FILE_RANGE_WAIT_AFTER) != 0;
    errno = waits && g_onWaitWrittenOut ? g_onWaitWrittenOut() : 0;
    return errno != 0 ? -1
                      : static_cast<int>(::syscall(SYS_sync_file_range, fd, offset, count, flags));
}

namespace {

struct FlushCase {
    const char* name;
    std::uint64_t stopAtBlock;
    int flushError;
    int writeOutError;
    // The run's last events; the target's length, of a 20 MiB source and 10 bytes after it.
    Events end;
    std::size_t targetSize;
};

const std::string kFlush = "flush target.bin";
const std::string kWriteFailed = "message: " + std::string(EngineTexts::kWriteTargetFailed);
const std::string kNotice = "notice: combine end";

class FlushTest : public EngineFixture, public ::testing::WithParamInterface<FlushCase> {
protected:
    ~FlushTest() override {
        g_onFlush = nullptr;
        g_onWaitWrittenOut = nullptr;
    }
};

} // namespace

TEST_P(FlushTest, TargetIsFlushedBeforeTheNoticeAndAFailureIsAWriteError) {
    const FlushCase& c = GetParam();
    const std::string source = m_dir.makeFile("source", 20 * kMiB, 1);
    m_host.addRow(source);
    m_host.addRow(m_dir.makeFile("after", 10, 2));
    m_engine.SetStopAtBlock(c.stopAtBlock);
    g_onFlush = [&](const std::string& file) {
        m_host.note("flush " + file);
        m_engine.OnStop();
        return c.flushError;
    };
    g_onWaitWrittenOut = [&] { return c.writeOutError; };

    runToEnd();

    const Events events = m_host.events();
    ASSERT_GE(events.size(), c.end.size());
    EXPECT_EQ(Events(events.end() - std::ssize(c.end), events.end()), c.end);
    const int error = c.flushError + c.writeOutError;
    EXPECT_EQ(m_host.reasons(), error != 0
                                    ? std::vector{std::error_code(error, std::generic_category())}
                                    : std::vector<std::error_code>{});
    EXPECT_EQ(fs::file_size(target()), c.targetSize);
    // A stop during the final flush leaves nothing out; only the stop at a block does.
    EXPECT_EQ(m_engine.RunCutShort(), c.stopAtBlock != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FlushTest,
    ::testing::Values(
        FlushCase{"Complete", 0, 0, 0, {kFlush, kNotice}, 20 * FileBytes::kMiB + 10},
        FlushCase{"Stopped", 3, 0, 0, {kFlush, kNotice}, 3 * FileBytes::kMiB},
        FlushCase{
            "FlushFails", 0, EIO, 0, {kFlush, kWriteFailed, kNotice}, 20 * FileBytes::kMiB + 10},
        // The first chunk is awaited once the second is written; the walk ends there.
        FlushCase{
            "WriteOutFails", 0, 0, EIO, {kWriteFailed, kFlush, kNotice}, 16 * FileBytes::kMiB}),
    [](const auto& info) { return std::string(info.param.name); });

class PageCacheTest : public EngineFixture, public ::testing::WithParamInterface<bool> {
protected:
    PageCacheTest() { m_engine.SetPlainCopy(GetParam()); }
};

TEST_P(PageCacheTest, JoinLeavesLittleOfItsFilesInTheCache) {
    for (unsigned i = 0; i < 4; ++i) {
        const std::string source = m_dir.path("source" + std::to_string(i));
        makeCleanFile(source, 64, i, i);
        m_host.addRow(source);
    }

    runToEnd();

    std::uint64_t cached = cachedBytes(target());
    for (int row = 0; row < m_host.rowCount(); ++row) {
        cached += cachedBytes(m_host.rowPath(row));
    }
    EXPECT_EQ(fs::file_size(target()), 256 * kMiB + 6);
    EXPECT_LE(cached, 16 * kMiB);
}

INSTANTIATE_TEST_SUITE_P(Modes, PageCacheTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Plain" : "Kernel"; });
