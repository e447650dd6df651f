#pragma once

#include "DiskFile.h"

#include <cstdint>

// Keeps a run's written bytes moving to the disk close behind the writing. Each chunk is
// started on its way once written, and the chunk before it is then awaited and its pages
// dropped. Of the target, at most two chunks and one piece are dirty or being written at a
// time, whatever the size of the join, and the flush at the end waits only for those.
class WriteBehind {
public:
    // Chunks end on multiples of their size, so that no large page of the cache straddles
    // two of them and escapes being dropped.
    static constexpr std::uint64_t kChunk = std::uint64_t{8} << 20;

    static std::uint64_t chunkStart(std::uint64_t offset) { return offset - offset % kChunk; }
    static std::uint64_t chunkEnd(std::uint64_t offset) { return chunkStart(offset) + kChunk; }

    // Notes that `region` of the target has just been written; regions come in the order of
    // the target's offsets. False when an earlier chunk could not be written: the target
    // keeps the reason.
    bool written(DiskFile& target, DiskFile::Region region);
    // Puts everything written on stable storage and drops its pages, ready for another run.
    // False, with the reason kept by the target, when that fails.
    bool finish(DiskFile& target);

private:
    bool send(DiskFile& target, DiskFile::Region chunk);

    // Written, not yet on its way to the disk.
    DiskFile::Region m_pending;
    // On its way, not yet awaited.
    DiskFile::Region m_sent;
};
