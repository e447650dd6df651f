#include "DiskFile.h"

#include "FileError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
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

bool DiskFile::openRegular(const std::string& path, bool forWriting) {
    // Checking the name first keeps devices and FIFOs from being opened at all; checking the
    // descriptor afterwards covers a file swapped in between.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && refusedKind(info)) {
        return failed(refusedKind(info));
    }
    const int flags =
        (forWriting ? O_RDWR | O_CREAT : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = retryOnInterrupt([&] { return ::open(path.c_str(), flags, 0666); });
    if (fd < 0) {
        return failed(systemError());
    }
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
    const auto fd = static_cast<int>(m_handle);
    if (retryOnInterrupt([&] { return ::flock(fd, LOCK_EX | LOCK_NB); }) != 0) {
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

bool DiskFile::openSource(const std::string& path, const DiskFile& target) {
    if (!openRegular(path, false)) {
        return false;
    }
    // The shared lock fails while any run holds the file as its target, and keeps another
    // run from emptying it while it is read here.
    const auto fd = static_cast<int>(m_handle);
    if (isSameFile(target)) {
        return refuse(FileError::IsTheTarget);
    }
    if (retryOnInterrupt([&] { return ::flock(fd, LOCK_SH | LOCK_NB); }) != 0) {
        return refuse(lockError());
    }
    return true;
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
        const ssize_t n = !at ? -1 : retryOnInterrupt([&] {
            return ::pread(static_cast<int>(m_handle), buffer.data() + done, buffer.size() - done,
                           *at);
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
        const ssize_t n = !at ? -1 : retryOnInterrupt([&] {
            return ::pwrite(static_cast<int>(m_handle), data.data() + done, data.size() - done,
                            *at);
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
    const ssize_t n = !in || !out ? -1 : retryOnInterrupt([&] {
        return ::copy_file_range(static_cast<int>(source.m_handle), &*in,
                                 static_cast<int>(m_handle), &*out, size, 0);
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
    if (syncRange(static_cast<int>(m_handle), region,
                  SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                      SYNC_FILE_RANGE_WAIT_AFTER) == 0) {
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
    return retryOnInterrupt([&] { return ::fdatasync(static_cast<int>(m_handle)); }) == 0 ||
           failed(systemError());
}
