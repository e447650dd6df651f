#include "EngineFixture.h"
#include "EngineTexts.h"
#include "FileBytes.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/mman.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Events = std::vector<std::string>;
using Call = FileFaults::Call;

namespace {

// Bytes of the file that the page cache holds.
std::uint64_t cachedBytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const auto size = static_cast<std::size_t>(fs::file_size(path));
    const long page = ::sysconf(_SC_PAGESIZE);
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    std::vector<unsigned char> resident((size + page - 1) / page);
    EXPECT_EQ(::mincore(map, size, resident.data()), 0) << path;
    ::munmap(map, size);
    ::close(fd);
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

struct FlushCase {
    const char* name;
    std::uint64_t stopAtBlock;
    int flushError;
    int writeOutError;
    int readError;
    int folderFlushError;
    // The run's last events; the target's length, of a 20 MiB source and 10 bytes after it.
    Events end;
    std::size_t targetSize;
};

const std::string kFlush = "flush";
const std::string kFolderFlush = "folder flush";
const std::string kReadFailed = "message: " + std::string(EngineTexts::kReadSourceFailed);
const std::string kWriteFailed = "message: " + std::string(EngineTexts::kWriteTargetFailed);
const std::string kNotice = "notice: combine end";

class FlushTest : public EngineFixture, public ::testing::WithParamInterface<FlushCase> {};

} // namespace

TEST_P(FlushTest, TargetIsFlushedBeforeTheNoticeAndAFailureIsAWriteError) {
    const FlushCase& c = GetParam();
    m_host.addRow(m_dir.makeFile("source", 20 * kMiB, 1));
    m_host.addRow(m_dir.makeFile("after", 10, 2));
    m_engine.SetStopAtBlock(c.stopAtBlock);
    FileFaults::arm({Call::Flush, c.flushError, 0, 0, [this] {
                         m_host.note(kFlush);
                         m_engine.OnStop();
                     }});
    FileFaults::arm({Call::WriteOut, c.writeOutError});
    FileFaults::arm(
        {Call::FolderFlush, c.folderFlushError, 0, 0, [this] { m_host.note(kFolderFlush); }});
    if (c.readError != 0) {
        FileFaults::arm({Call::KernelCopy, EXDEV});
        FileFaults::arm({Call::Read, c.readError});
    }

    runToEnd();

    const Events events = m_host.events();
    ASSERT_GE(events.size(), c.end.size());
    EXPECT_EQ(Events(events.end() - std::ssize(c.end), events.end()), c.end);
    std::vector<std::error_code> reasons;
    for (const int error : {c.readError, c.writeOutError, c.flushError, c.folderFlushError}) {
        if (error != 0) {
            reasons.emplace_back(error, std::generic_category());
        }
    }
    EXPECT_EQ(m_host.reasons(), reasons);
    EXPECT_EQ(fs::file_size(target()), c.targetSize);
    // A stop during the final flush leaves nothing out; only the stop at a block does.
    EXPECT_EQ(m_engine.State().outcome == RunOutcome::Stopped, c.stopAtBlock != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FlushTest,
    ::testing::Values(
        // The target is new: its folder is flushed after it.
        FlushCase{
            "Complete", 0, 0, 0, 0, 0, {kFlush, kFolderFlush, kNotice}, 20 * FileBytes::kMiB + 10},
        FlushCase{"Stopped", 3, 0, 0, 0, 0, {kFlush, kFolderFlush, kNotice}, 3 * FileBytes::kMiB},
        FlushCase{"FlushFails",
                  0,
                  EIO,
                  0,
                  0,
                  0,
                  {kFlush, kWriteFailed, kNotice},
                  20 * FileBytes::kMiB + 10},
        FlushCase{"FolderFlushFails",
                  0,
                  0,
                  0,
                  0,
                  EIO,
                  {kFlush, kFolderFlush, kWriteFailed, kNotice},
                  20 * FileBytes::kMiB + 10},
        // The first chunk is awaited once the second is written; the walk ends there.
        FlushCase{"WriteOutFails",
                  0,
                  0,
                  EIO,
                  0,
                  0,
                  {kWriteFailed, kFlush, kFolderFlush, kNotice},
                  16 * FileBytes::kMiB},
        // A failed flush is told even after another failure.
        FlushCase{"ReadFailsThenFlushFails",
                  0,
                  EIO,
                  0,
                  EIO,
                  0,
                  {kReadFailed, kFlush, kWriteFailed, kNotice},
                  0}),
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
