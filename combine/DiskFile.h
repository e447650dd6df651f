#pragma once

#include "VolumeFacts.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <system_error>

// The few file operations a combine run needs, with 64-bit positions given on every call.
// Failures come back as results, never as exceptions, and the system's reason for the last
// one is kept. The build picks the system's implementation; this face stays the same on
// every system. Windows has no call to start or await the writing of a range, nor to drop a
// range's cached pages: there those three do nothing, and the flush at the end alone puts
// the data on the disk.
class DiskFile {
public:
    // Bytes [start, end) of a file.
    struct Region {
        std::uint64_t start = 0;
        std::uint64_t end = 0;
    };

    DiskFile() = default;
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;
    DiskFile(DiskFile&&) = delete;
    DiskFile& operator=(DiskFile&&) = delete;
    ~DiskFile();

    // Opens or creates a regular file for the caller's exclusive use, its contents untouched:
    // a file another run holds is not taken.
    bool holdTarget(const std::string& path);
    // Whether `path` names this very file, under whatever name: links, other spellings.
    bool isNamedBy(const std::string& path) const;
    // Empties the held target.
    bool emptyTarget();
    // Closes the held target and removes it when holdTarget created it, the name it was
    // created under still leads to it and it is still empty: a run refused before writing
    // leaves no file behind, and removes no file it did not make.
    void discardIfCreated();
    // Opens a regular file for reading without ever blocking; refuses `target` itself under
    // any name, and any file another run holds as its target.
    bool openSource(const std::string& path, const DiskFile& target);
    // Opens a source only to look at it, sooner than the run: never waits, not even for
    // another program's lease (then fails with operation_would_block), and marks nothing.
    bool probeSource(const std::string& path, const DiskFile& target);
    // Opens a finished target to read it back from the disk rather than from the system's
    // cache: its cached pages are dropped first, or the cache is read around.
    bool openReadBack(const std::string& path);
    // Whether this is the file that standard output writes to.
    bool isStandardOutput() const;
    // The file's first bytes, to see what it is: the count read, 0 on error. A look, not one of
    // the run's reads: no fault of those strikes it.
    std::size_t readHead(std::span<char> buffer);
    // Closes the file; false when the system reports that written data may be lost.
    bool close();

    // Length when the file was opened.
    std::uint64_t length() const { return m_length; }
    // Whether the file is now longer than when it was opened.
    bool grewPastLength() const;
    // The system's reason for the last call that failed.
    std::error_code lastError() const { return m_error; }
    // The space the file takes on its volume.
    std::uint64_t allocatedBytes() const;
    // The volume the open file lies on.
    VolumeFacts volume() const;
    // Reads from `offset` until the buffer is full or the file ends: the count read, or
    // nothing on error.
    std::optional<std::size_t> readAt(std::uint64_t offset, std::span<char> buffer);
    // Writes every byte at `offset` or fails.
    bool writeAt(std::uint64_t offset, std::span<const char> data);
    // One in-kernel copy of at most `size` bytes from `source` at `from` to this file at
    // `to`: the count copied (0 at the source's end), or nothing when the system cannot
    // copy between the two files or failed.
    std::optional<std::size_t> copyFrom(const DiskFile& source, std::uint64_t from,
                                        std::uint64_t to, std::size_t size);

    // The first region at or after `from` that the file system holds data for, within the
    // opened length; empty at the opened length when only hole follows. Where the system
    // cannot tell, the rest of the file is data.
    Region nextData(std::uint64_t from) const;
    // Called before the first hole of the run is left unwritten, for systems where a file
    // must be marked to keep holes.
    void prepareForHoles();
    // Lengthens the file to `length` with a hole; a file already that long is left alone.
    bool extendTo(std::uint64_t length);

    // Starts writing the bytes written within `region` to the disk, without waiting for them.
    void startWriteOut(Region region);
    // Returns once the bytes written within `region` are on the disk; false when they could
    // not be written. Where the system cannot wait for a range, the flush will.
    bool waitWrittenOut(Region region);
    // Lets the system forget the cached pages of `region`; pages not yet on the disk stay.
    void dropCached(Region region);
    // Puts every byte written so far on stable storage, and the name of a file that opening
    // created.
    bool flush();

private:
    // Which file on which volume, whatever name it was opened by: up to 128 bits of file id,
    // as some file systems need. A file id of zero is unknown and matches nothing.
    struct Identity {
        std::uint64_t volume = 0;
        std::uint64_t index = 0;
        std::uint64_t indexHigh = 0;
        bool operator==(const Identity&) const = default;
        bool known() const { return index != 0 || indexHigh != 0; }
    };

    static constexpr std::intptr_t kNoHandle = -1;

    bool openRegular(const std::string& path, bool forWriting, bool mayWait = true);
#ifndef _WIN32
    // Takes `fd` as this file's, if it is a regular file.
    bool adopt(int fd);
#endif
    // What follows `from` where the system finds no more data: hole up to the opened length,
    // unless the file is now shorter. Then its new end on counts as data, so that reading
    // finds that it ended early rather than taking the rest for a hole.
    Region endRegion(std::uint64_t from) const;
    bool isSameFile(const DiskFile& other) const {
        return other.m_handle != kNoHandle && m_identity.known() && m_identity == other.m_identity;
    }
#ifdef _WIN32
    static Identity identityOf(void* handle);
#endif
    bool failed(std::error_code reason) {
        m_error = reason;
        return false;
    }
    // Closes a file that was opened but cannot serve, keeping the reason why.
    bool refuse(std::error_code reason) {
        close();
        return failed(reason);
    }

    // A descriptor or a handle, whichever the system uses.
    std::intptr_t m_handle = kNoHandle;
    Identity m_identity;
    std::uint64_t m_length = 0;
    std::error_code m_error;
    // The name opening the file created it under; empty when it was there before.
    std::string m_createdName;
#ifdef _WIN32
    // A source whose holes can be asked for; a target marked to keep its holes.
    bool m_sparse = false;
    // Read around the cache: reads must start and end on sector bounds.
    bool m_unbuffered = false;
#endif
};
