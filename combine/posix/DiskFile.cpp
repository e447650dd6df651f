#include "DiskFile.h"

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

bool isRegularFile(const struct stat& info) {
    return S_ISREG(info.st_mode);
}

// Offsets beyond what the system's file positions hold would wrap into negative ones.
std::optional<off_t> systemOffset(std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
        errno = EOVERFLOW;
        return std::nullopt;
    }
    return static_cast<off_t>(offset);
}

std::error_code lastSystemError() {
    return {errno, std::system_category()};
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
    if (::stat(path.c_str(), &info) == 0 && !isRegularFile(info)) {
        return false;
    }
    const int flags =
        (forWriting ? O_RDWR | O_CREAT : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = retryOnInterrupt([&] { return ::open(path.c_str(), flags, 0666); });
    if (fd < 0) {
        return false;
    }
    m_handle = fd;
    if (::fstat(fd, &info) != 0 || !isRegularFile(info)) {
        close();
        return false;
    }
    m_identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    m_length = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool DiskFile::createTarget(const std::string& path) {
    if (!openRegular(path, true)) {
        return false;
    }
    const auto fd = static_cast<int>(m_handle);
    // Emptying an already empty file is skipped: on ext4 any truncation to zero makes the
    // closing of the file start writing back everything the run wrote, which costs seconds.
    if (retryOnInterrupt([&] { return ::flock(fd, LOCK_EX | LOCK_NB); }) != 0 ||
        (m_length > 0 && retryOnInterrupt([&] { return ::ftruncate(fd, 0); }) != 0)) {
        close();
        return false;
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
    if (isSameFile(target) ||
        retryOnInterrupt([&] { return ::flock(fd, LOCK_SH | LOCK_NB); }) != 0) {
        close();
        return false;
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
    return closed;
}

std::optional<std::size_t> DiskFile::readAt(std::uint64_t offset, std::span<char> buffer) {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const auto at = systemOffset(offset + done);
        if (!at) {
            return std::nullopt;
        }
        const ssize_t n = retryOnInterrupt([&] {
            return ::pread(static_cast<int>(m_handle), buffer.data() + done, buffer.size() - done,
                           *at);
        });
        if (n < 0) {
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
        if (!at) {
            return false;
        }
        const ssize_t n = retryOnInterrupt([&] {
            return ::pwrite(static_cast<int>(m_handle), data.data() + done, data.size() - done,
                            *at);
        });
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::size_t> DiskFile::copyFrom(const DiskFile& source, std::uint64_t from,
                                              std::uint64_t to, std::size_t size) {
    auto in = systemOffset(from);
    auto out = systemOffset(to);
    if (!in || !out) {
        return std::nullopt;
    }
    const ssize_t n = retryOnInterrupt([&] {
        return ::copy_file_range(static_cast<int>(source.m_handle), &*in,
                                 static_cast<int>(m_handle), &*out, size, 0);
    });
    if (n < 0) {
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
        return errno == ENXIO ? Region{m_length, m_length} : Region{from, m_length};
    }
    const off_t hole = ::lseek(fd, data, SEEK_HOLE);
    const auto clip = [this](off_t offset) {
        return std::min(static_cast<std::uint64_t>(offset), m_length);
    };
    return {clip(data), hole < 0 ? m_length : clip(hole)};
}

void DiskFile::prepareForHoles() {
    // A POSIX file keeps whatever is never written as a hole by itself.
}

bool DiskFile::extendTo(std::uint64_t length) {
    const auto fd = static_cast<int>(m_handle);
    const auto wanted = systemOffset(length);
    struct stat info {};
    if (!wanted || ::fstat(fd, &info) != 0) {
        return false;
    }
    return info.st_size >= *wanted ||
           retryOnInterrupt([&] { return ::ftruncate(fd, *wanted); }) == 0;
}

void DiskFile::startWriteOut(Region region) {
    // Only a hint: whatever fails here fails again where it is waited for.
    syncRange(static_cast<int>(m_handle), region, SYNC_FILE_RANGE_WRITE);
}

std::error_code DiskFile::waitWrittenOut(Region region) {
    if (syncRange(static_cast<int>(m_handle), region,
                  SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                      SYNC_FILE_RANGE_WAIT_AFTER) == 0) {
        return {};
    }
    // A system or file system without the call leaves the waiting to the flush.
    if (errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == ESPIPE) {
        return {};
    }
    return lastSystemError();
}

void DiskFile::dropCached(Region region) {
    if (const auto range = systemRange(region)) {
        ::posix_fadvise(static_cast<int>(m_handle), range->start, range->length,
                        POSIX_FADV_DONTNEED);
    }
}

std::error_code DiskFile::flush() {
    if (retryOnInterrupt([&] { return ::fdatasync(static_cast<int>(m_handle)); }) == 0) {
        return {};
    }
    return lastSystemError();
}
