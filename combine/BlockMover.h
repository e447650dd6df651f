#pragma once

#include "DataRegions.h"

#include <cstddef>
#include <cstdint>
#include <span>

class DiskFile;
class WriteBehind;

// Moves a source's data into the target, in the kernel where the two files allow it and
// through the buffer where they do not. Only what the file system holds as data moves:
// holes, and bytes the source no longer has, are left unwritten and so read as zeros.
// What has moved is handed to the write-behind, and the source's pages of it are dropped.
class BlockMover {
public:
    enum class Status { Moved, ReadFailed, WriteFailed };

    BlockMover(DiskFile& source, DiskFile& target, std::span<char> buffer, bool kernelCopy,
               WriteBehind& writeBehind);

    // Where the source's next data begins at or after `from`; its length when none does.
    std::uint64_t nextData(std::uint64_t from);
    // Moves the data among the source's bytes [from, from + size) to the target at `to` on.
    Status move(std::uint64_t from, std::uint64_t to, std::uint64_t size);
    // Whether a read found the source ending before its opened length.
    bool sourceEndedEarly() const { return m_sourceEndedEarly; }

private:
    // One piece of data of at most the buffer's size.
    Status movePiece(std::uint64_t from, std::uint64_t to, std::size_t size);
    std::size_t copyInKernel(std::uint64_t from, std::uint64_t to, std::size_t size);
    Status copyThroughBuffer(std::uint64_t from, std::uint64_t to, std::size_t size);
    void leaveHole();
    // Drops the source's pages before `end`, by whole chunks until its last byte is reached.
    void dropCopied(std::uint64_t end);

    DiskFile& m_source;
    DiskFile& m_target;
    WriteBehind& m_writeBehind;
    std::span<char> m_buffer;
    DataRegions m_regions;
    bool m_kernelCopy;
    bool m_firstKernelCall = true;
    bool m_leftHole = false;
    bool m_sourceEndedEarly = false;
    std::uint64_t m_sourceDropped = 0;
};
