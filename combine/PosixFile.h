#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

// The few file operations a combine run needs, on POSIX descriptors with 64-bit offsets.
// Interrupted calls are retried; failures come back as results, never as exceptions.
class PosixFile {
public:
    PosixFile() = default;
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;
    PosixFile(PosixFile&&) = delete;
    PosixFile& operator=(PosixFile&&) = delete;
    ~PosixFile();

    // Creates or empties a regular file for the caller's exclusive use: it is emptied only
    // once the exclusive lock is held, so a file another run holds is left as it was.
    bool createTarget(const std::string& path);
    // Opens a regular file for reading without ever blocking; refuses `target` itself under
    // any name, and any file another run holds as its target.
    bool openSource(const std::string& path, const PosixFile& target);
    // Closes the file; false when the system reports that written data may be lost.
    bool close();

    // Length when the file was opened.
    std::uint64_t length() const { return m_length; }
    bool seek(std::uint64_t offset);
    // Reads until `size` bytes or the end of the file; -1 on error.
    ssize_t read(char* buffer, std::size_t size);
    // Writes every byte or fails.
    bool write(const char* data, std::size_t size);
    // One in-kernel copy of at most `size` bytes from the source's position to this file's
    // position; -1 with errno set on failure, 0 at the source's end.
    ssize_t copyFrom(const PosixFile& source, std::size_t size);

private:
    bool openRegular(const std::string& path, int flags);
    bool isSameFile(const PosixFile& other) const;

    int m_fd = -1;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    std::uint64_t m_length = 0;
};
