#include "DiskFile.h"

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
