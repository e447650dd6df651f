#include "DiskFile.h"

#include "FileError.h"
#include "FileFaults.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <limits>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

template <typename Call> auto retryOnInterrupt(Call call) {
    for (;;) {
        const auto result = call();
        if (result != -1 || errno != EINTR) {
            return result;
        }
    }
}

std::error_code systemError() {
    return {errno, std::generic_category()};
}

// Why a file of this kind is never joined; no error for a regular file.
std::error_code refusedKind(const struct stat& info) {
    if (S_ISREG(info.st_mode)) {
        return {};
    }
    return S_ISDIR(info.st_mode) ? std::make_error_code(std::errc::is_a_directory)
                                 : make_error_code(FileError::NotRegularFile);
}

// A lock that another holder keeps is a file in use, not a fault of the system.
std::error_code lockError() {
    return errno == EWOULDBLOCK ? make_error_code(FileError::InUse) : systemError();
}

// A call that moves at most `size` bytes, as an armed fault lets it: failing with the fault's
// error, or run on no more bytes than the fault allows.
template <typename Call> ssize_t faultable(FileFaults::Call which, std::size_t size, Call call) {
    const auto fault = FileFaults::take(which);
    if (fault && fault->error != 0) {
        errno = fault->error;
        return -1;
    }
    const std::size_t allowed = fault ? std::min(size, fault->count) : size;
    return retryOnInterrupt([&] { return call(allowed); });
}

// A run marks its target with a write lock on one byte that no file reaches, and each source
// it reads with a read lock there, so only another run's mark conflicts: locks that other
// programs take elsewhere, or with flock, never do. Locks of an open file description belong
// to the descriptor, so two runs of one process see each other too. The byte before the last
// one a lock can name: a lock on the last one is reported as reaching to the end of any file.
constexpr off_t kMarkByte = std::numeric_limits<off_t>::max() - 1;

struct flock markRange(short type) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = kMarkByte;
    range.l_len = 1;
    return range;
}

bool isRunMark(const struct flock& lock) {
    return lock.l_start == kMarkByte && lock.l_len == 1;
}

int setLock(int fd, struct flock& range) {
    if (const auto fault = FileFaults::take(FileFaults::Call::Lock); fault && fault->error != 0) {
        errno = fault->error;
        return -1;
    }
    return ::fcntl(fd, F_OFD_SETLK, &range);
}

// False, with EWOULDBLOCK, only when another run's mark stands in the way. A system without
// such locks (ENOLCK on NFS without a lock service, EOPNOTSUPP, EINVAL) leaves the file
// unmarked, and so does another program's lock over the whole file.
bool takeMark(int fd, short type) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        struct flock range = markRange(type);
        if (setLock(fd, range) == 0 || (errno != EAGAIN && errno != EACCES)) {
            return true;
        }
        range = markRange(type);
        if (::fcntl(fd, F_OFD_GETLK, &range) != 0) {
            return true;
        }
        if (range.l_type != F_UNLCK) {
            errno = EWOULDBLOCK;
            return !isRunMark(range);
        }
        // The holder let go between the two calls.
    }
    return true;
}

// Opens the file `path` names as a path only, which never waits, not even on a FIFO.
int openPathOnly(const std::string& path) {
    return retryOnInterrupt([&] { return ::open(path.c_str(), O_PATH | O_CLOEXEC); });
}

// Opens for reading or writing the very file that `pathOnly` holds. An open that may wait is
// safe on a regular file and lets a lease that another program holds be broken, as it is for
// any reader. Without /proc the name is opened again, without waiting, and must name the same
// file.
int reopen(int pathOnly, const std::string& path, int flags, const struct stat& info) {
    const std::string self = "/proc/self/fd/" + std::to_string(pathOnly);
    const int fd = retryOnInterrupt([&] { return ::open(self.c_str(), flags); });
    if (fd >= 0 || errno != ENOENT) {
        return fd;
    }
    const int named = retryOnInterrupt([&] { return ::open(path.c_str(), flags | O_NONBLOCK); });
    struct stat now {};
    if (named >= 0 &&
        (::fstat(named, &now) != 0 || now.st_dev != info.st_dev || now.st_ino != info.st_ino)) {
        ::close(named);
        errno = ENOENT;
        return -1;
    }
    return named;
}

// The name a missing file is to be created under: `path`, or where the symbolic links that it
// names lead, since an exclusive create never goes through a link.
std::string creationName(std::string path) {
    constexpr int kMostLinks = 40; // as the system follows them
    std::array<char, PATH_MAX> link{};
    for (int hop = 0; hop < kMostLinks; ++hop) {
        const ssize_t size = ::readlink(path.c_str(), link.data(), link.size());
        if (size <= 0 || static_cast<std::size_t>(size) == link.size()) {
            break;
        }
        std::string next(link.data(), static_cast<std::size_t>(size));
        const std::size_t slash = path.rfind('/');
        if (next.front() != '/' && slash != std::string::npos) {
            next.insert(0, path, 0, slash + 1);
        }
        path = std::move(next);
    }
    return path;
}

// A created file's name is on the disk only once its folder is.
bool flushFolderOf(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : name.substr(0, slash);
    const int fd = retryOnInterrupt(
        [&] { return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0) {
        return false;
    }
    const auto synced =
        faultable(FileFaults::Call::FolderFlush, 0, [fd](std::size_t) { return ::fsync(fd); });
    const int error = errno;
    ::close(fd);
    errno = error;
    // EINVAL: a file system that keeps no folders to flush.
    return synced == 0 || error == EINVAL;
}

// Offsets beyond what the system's file positions hold would wrap into negative ones.
std::optional<off_t> systemOffset(std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
        errno = EOVERFLOW;
        return std::nullopt;
    }
    return static_cast<off_t>(offset);
}

// The calls that take a range as start and length; an empty range means "to the end" to them.
struct SystemRange {
    off_t start = 0;
    off_t length = 0;
};

std::optional<SystemRange> systemRange(DiskFile::Region region) {
    const auto start = systemOffset(region.start);
    const auto end = systemOffset(region.end);
    if (!start || !end || *end <= *start) {
        return std::nullopt;
    }
    return SystemRange{*start, *end - *start};
}

int syncRange(int fd, DiskFile::Region region, unsigned int flags) {
    const auto range = systemRange(region);
    if (!range) {
        return 0;
    }
    return retryOnInterrupt(
        [&] { return ::sync_file_range(fd, range->start, range->length, flags); });
}

} // namespace

DiskFile::~DiskFile() {
    close();
}

bool DiskFile::openRegular(const std::string& path, bool forWriting, bool mayWait) {
    // The target is never read, so a file its owner may only write is a target all the same.
    const int flags =
        (forWriting ? O_WRONLY : O_RDONLY) | O_NOCTTY | O_CLOEXEC | (mayWait ? 0 : O_NONBLOCK);
    struct stat info {};
    m_createdName.clear();
    int fd = -1;
    // A file that appears between a failed open and an exclusive create is opened again.
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        const int pathOnly = openPathOnly(path);
        if (pathOnly >= 0) {
            const std::error_code refused =
                ::fstat(pathOnly, &info) == 0 ? refusedKind(info) : systemError();
            fd = refused ? -1 : reopen(pathOnly, path, flags, info);
            const std::error_code reason = refused ? refused : systemError();
            ::close(pathOnly);
            return fd >= 0 ? adopt(fd) : failed(reason);
        }
        if (!forWriting || errno != ENOENT) {
            break;
        }
        // Nothing there yet: no lease to wait for, and a FIFO swapped in is refused below.
        const std::string name = creationName(path);
        fd = retryOnInterrupt(
            [&] { return ::open(name.c_str(), flags | O_CREAT | O_EXCL | O_NONBLOCK, 0666); });
        if (fd >= 0) {
            m_createdName = name;
        } else if (errno != EEXIST) {
            break;
        }
    }
    return fd >= 0 ? adopt(fd) : failed(systemError());
}

bool DiskFile::adopt(int fd) {
    struct stat info {};
    m_handle = fd;
    if (::fstat(fd, &info) != 0) {
        return refuse(systemError());
    }
    if (refusedKind(info)) {
        return refuse(refusedKind(info));
    }
    m_identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    m_length = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool DiskFile::holdTarget(const std::string& path) {
    if (!openRegular(path, true)) {
        return false;
    }
    if (!takeMark(static_cast<int>(m_handle), F_WRLCK)) {
        return refuse(lockError());
    }
    return true;
}

bool DiskFile::isNamedBy(const std::string& path) const {
    struct stat info {};
    return m_handle != kNoHandle && ::stat(path.c_str(), &info) == 0 &&
           Identity{static_cast<std::uint64_t>(info.st_dev),
                    static_cast<std::uint64_t>(info.st_ino)} == m_identity;
}

bool DiskFile::emptyTarget() {
    // Emptying an already empty file is skipped: on ext4 any truncation to zero makes the
    // closing of the file start writing back everything the run wrote, which costs seconds.
    if (m_length > 0 &&
        retryOnInterrupt([&] { return ::ftruncate(static_cast<int>(m_handle), 0); }) != 0) {
        return failed(systemError());
    }
    m_length = 0;
    return true;
}

void DiskFile::discardIfCreated() {
    struct stat info {};
    if (!m_createdName.empty() && isNamedBy(m_createdName) &&
        ::fstat(static_cast<int>(m_handle), &info) == 0 && info.st_size == 0) {
        ::unlink(m_createdName.c_str());
    }
    close();
}

bool DiskFile::openSource(const std::string& path, const DiskFile& target) {
    if (!openRegular(path, false)) {
        return false;
    }
    // The read mark fails while any run holds the file as its target, and keeps another run
    // from emptying it while it is read here.
    if (isSameFile(target)) {
        return refuse(FileError::IsTheTarget);
    }
    if (!takeMark(static_cast<int>(m_handle), F_RDLCK)) {
        return refuse(lockError());
    }
    return true;
}

bool DiskFile::probeSource(const std::string& path, const DiskFile& target) {
    if (!openRegular(path, false, false)) {
        return false;
    }
    return !isSameFile(target) || refuse(FileError::IsTheTarget);
}

bool DiskFile::openReadBack(const std::string& path) {
    if (!openRegular(path, false, false)) {
        return false;
    }
    // The run flushed the target, so every page is clean and the whole file can be dropped:
    // what is read next comes from the disk.
    dropCached({0, m_length});
    faultable(FileFaults::Call::ReadBack, 0, [](std::size_t) { return 0; });
    return true;
}

bool DiskFile::isStandardOutput() const {
    struct stat info {};
    return m_identity.known() && ::fstat(STDOUT_FILENO, &info) == 0 &&
           Identity{static_cast<std::uint64_t>(info.st_dev),
                    static_cast<std::uint64_t>(info.st_ino)} == m_identity;
}

std::size_t DiskFile::readHead(std::span<char> buffer) {
    const ssize_t n = retryOnInterrupt(
        [&] { return ::pread(static_cast<int>(m_handle), buffer.data(), buffer.size(), 0); });
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::uint64_t DiskFile::allocatedBytes() const {
    constexpr std::uint64_t kBlock = 512; // the unit of st_blocks, whatever the file system's
    struct stat info {};
    return ::fstat(static_cast<int>(m_handle), &info) == 0
               ? static_cast<std::uint64_t>(info.st_blocks) * kBlock
               : 0;
}

VolumeFacts DiskFile::volume() const {
    if (const auto fake = FileFaults::fakedVolume()) {
        return *fake;
    }
    VolumeFacts facts;
    const auto fd = static_cast<int>(m_handle);
    struct statvfs space {};
    if (::fstatvfs(fd, &space) == 0) {
        facts.id = space.f_fsid;
        facts.freeBytes = std::uint64_t{space.f_bavail} * space.f_frsize;
    }
    // Compared by file system, not by device: each btrfs subvolume has a device of its own.
    struct statfs kind {};
    if (::fstatfs(fd, &kind) == 0) {
        const auto type = static_cast<unsigned long>(kind.f_type);
        facts.sharesExtents = type == XFS_SUPER_MAGIC || type == BTRFS_SUPER_MAGIC;
        if (type == MSDOS_SUPER_MAGIC) {
            facts.largestFile = std::numeric_limits<std::uint32_t>::max();
        }
    }
    return facts;
}

bool DiskFile::close() {
    if (m_handle == kNoHandle) {
        return true;
    }
    // Retrying close after EINTR could close a descriptor another thread just opened.
    const bool closed = ::close(static_cast<int>(m_handle)) == 0 || errno == EINTR;
    m_handle = kNoHandle;
    return closed || failed(systemError());
}

std::optional<std::size_t> DiskFile::readAt(std::uint64_t offset, std::span<char> buffer) {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const auto at = systemOffset(offset + done);
        const ssize_t n =
            !at ? -1 : faultable(FileFaults::Call::Read, buffer.size() - done, [&](auto size) {
                return ::pread(static_cast<int>(m_handle), buffer.data() + done, size, *at);
            });
        if (n < 0) {
            failed(systemError());
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool DiskFile::writeAt(std::uint64_t offset, std::span<const char> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const auto at = systemOffset(offset + done);
        const ssize_t n =
            !at ? -1 : faultable(FileFaults::Call::Write, data.size() - done, [&](auto size) {
                return ::pwrite(static_cast<int>(m_handle), data.data() + done, size, *at);
            });
        if (n < 0) {
            return failed(systemError());
        }
        if (n == 0) {
            return failed(std::make_error_code(std::errc::io_error));
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::size_t> DiskFile::copyFrom(const DiskFile& source, std::uint64_t from,
                                              std::uint64_t to, std::size_t size) {
    auto in = systemOffset(from);
    auto out = systemOffset(to);
    const ssize_t n =
        !in || !out ? -1 : faultable(FileFaults::Call::KernelCopy, size, [&](auto allowed) {
            return ::copy_file_range(static_cast<int>(source.m_handle), &*in,
                                     static_cast<int>(m_handle), &*out, allowed, 0);
        });
    if (n < 0) {
        failed(systemError());
        return std::nullopt;
    }
    return static_cast<std::size_t>(n);
}

DiskFile::Region DiskFile::nextData(std::uint64_t from) const {
    const auto fd = static_cast<int>(m_handle);
    const auto at = systemOffset(from);
    if (!at || from >= m_length) {
        return {m_length, m_length};
    }
    const off_t data = ::lseek(fd, *at, SEEK_DATA);
    if (data < 0) {
        // ENXIO: nothing but hole up to the end. Anything else: the system cannot tell.
        return errno == ENXIO ? endRegion(from) : Region{from, m_length};
    }
    const off_t hole = ::lseek(fd, data, SEEK_HOLE);
    const auto clip = [this](off_t offset) {
        return std::min(static_cast<std::uint64_t>(offset), m_length);
    };
    return {clip(data), hole < 0 ? m_length : clip(hole)};
}

DiskFile::Region DiskFile::endRegion(std::uint64_t from) const {
    struct stat info {};
    if (::fstat(static_cast<int>(m_handle), &info) == 0 &&
        static_cast<std::uint64_t>(info.st_size) < m_length) {
        return {std::max(from, static_cast<std::uint64_t>(info.st_size)), m_length};
    }
    return {m_length, m_length};
}

void DiskFile::prepareForHoles() {
    // A POSIX file keeps whatever is never written as a hole by itself.
}

bool DiskFile::extendTo(std::uint64_t length) {
    const auto fd = static_cast<int>(m_handle);
    const auto wanted = systemOffset(length);
    struct stat info {};
    if (!wanted || ::fstat(fd, &info) != 0) {
        return failed(systemError());
    }
    return info.st_size >= *wanted ||
           retryOnInterrupt([&] { return ::ftruncate(fd, *wanted); }) == 0 || failed(systemError());
}

void DiskFile::startWriteOut(Region region) {
    // Only a hint: whatever fails here fails again where it is waited for.
    syncRange(static_cast<int>(m_handle), region, SYNC_FILE_RANGE_WRITE);
}

bool DiskFile::waitWrittenOut(Region region) {
    const auto fd = static_cast<int>(m_handle);
    if (faultable(FileFaults::Call::WriteOut, 0, [&](std::size_t) {
            return syncRange(fd, region,
                             SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                 SYNC_FILE_RANGE_WAIT_AFTER);
        }) == 0) {
        return true;
    }
    // A system or file system without the call leaves the waiting to the flush.
    return errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == ESPIPE ||
           failed(systemError());
}

void DiskFile::dropCached(Region region) {
    if (const auto range = systemRange(region)) {
        ::posix_fadvise(static_cast<int>(m_handle), range->start, range->length,
                        POSIX_FADV_DONTNEED);
    }
}

bool DiskFile::flush() {
    const auto fd = static_cast<int>(m_handle);
    const auto synced =
        faultable(FileFaults::Call::Flush, 0, [fd](std::size_t) { return ::fdatasync(fd); });
    return (synced == 0 && (m_createdName.empty() || flushFolderOf(m_createdName))) ||
           failed(systemError());
}

bool DiskFile::grewPastLength() const {
    struct stat info {};
    return ::fstat(static_cast<int>(m_handle), &info) == 0 &&
           static_cast<std::uint64_t>(info.st_size) > m_length;
}
