#include "PosixFile.h"

#include <cerrno>
#include <csignal>
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

// A write past the file-size limit must fail with EFBIG instead of killing the process.
void ignoreFileSizeSignal() {
    static const bool ignored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    (void)ignored;
}

} // namespace

PosixFile::~PosixFile() {
    close();
}

bool PosixFile::openRegular(const std::string& path, int flags) {
    // Checking the name first keeps devices and FIFOs from being opened at all; checking the
    // descriptor afterwards covers a file swapped in between.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !isRegularFile(info)) {
        return false;
    }
    m_fd = retryOnInterrupt(
        [&] { return ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666); });
    if (m_fd < 0) {
        return false;
    }
    if (::fstat(m_fd, &info) != 0 || !isRegularFile(info)) {
        close();
        return false;
    }
    m_device = info.st_dev;
    m_inode = info.st_ino;
    m_length = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool PosixFile::createTarget(const std::string& path) {
    ignoreFileSizeSignal();
    if (!openRegular(path, O_RDWR | O_CREAT)) {
        return false;
    }
    // Emptying an already empty file is skipped: on ext4 any truncation to zero makes the
    // closing of the file start writing back everything the run wrote, which costs seconds.
    if (retryOnInterrupt([&] { return ::flock(m_fd, LOCK_EX | LOCK_NB); }) != 0 ||
        (m_length > 0 && retryOnInterrupt([&] { return ::ftruncate(m_fd, 0); }) != 0)) {
        close();
        return false;
    }
    m_length = 0;
    return true;
}

bool PosixFile::openSource(const std::string& path, const PosixFile& target) {
    if (!openRegular(path, O_RDONLY)) {
        return false;
    }
    // The shared lock fails while any run holds the file as its target, and keeps another
    // run from emptying it while it is read here.
    if (isSameFile(target) ||
        retryOnInterrupt([&] { return ::flock(m_fd, LOCK_SH | LOCK_NB); }) != 0) {
        close();
        return false;
    }
    return true;
}

bool PosixFile::close() {
    if (m_fd < 0) {
        return true;
    }
    // Retrying close after EINTR could close a descriptor another thread just opened.
    const bool closed = ::close(m_fd) == 0 || errno == EINTR;
    m_fd = -1;
    return closed;
}

bool PosixFile::isSameFile(const PosixFile& other) const {
    return other.m_fd >= 0 && m_device == other.m_device && m_inode == other.m_inode;
}

bool PosixFile::seek(std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
        errno = EOVERFLOW;
        return false;
    }
    return ::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) != -1;
}

ssize_t PosixFile::read(char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n =
            retryOnInterrupt([&] { return ::read(m_fd, buffer + done, size - done); });
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

bool PosixFile::write(const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = retryOnInterrupt([&] { return ::write(m_fd, data + done, size - done); });
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

ssize_t PosixFile::copyFrom(const PosixFile& source, std::size_t size) {
    return retryOnInterrupt(
        [&] { return ::copy_file_range(source.m_fd, nullptr, m_fd, nullptr, size, 0); });
}
