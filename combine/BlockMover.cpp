#include "BlockMover.h"

#include "DiskFile.h"
#include "WriteBehind.h"

#include <algorithm>
#include <utility>

BlockMover::BlockMover(DiskFile& source, DiskFile& target, std::span<char> buffer, bool kernelCopy,
                       WriteBehind& writeBehind)
    : m_source(source), m_target(target), m_writeBehind(writeBehind), m_buffer(buffer),
      m_regions(source), m_kernelCopy(kernelCopy) {}

std::uint64_t BlockMover::nextData(std::uint64_t from) {
    return m_regions.within(from, m_source.length()).start;
}

BlockMover::Status BlockMover::move(std::uint64_t from, std::uint64_t to, std::uint64_t size) {
    const std::uint64_t end = from + size;
    for (std::uint64_t at = from; at < end;) {
        const DiskFile::Region data = m_regions.within(at, end);
        if (data.start > at) {
            leaveHole();
        }
        if (data.start == data.end) {
            break;
        }
        for (std::uint64_t piece = data.start; piece < data.end;) {
            const auto length = static_cast<std::size_t>(
                std::min<std::uint64_t>(m_buffer.size(), data.end - piece));
            if (const Status status = movePiece(piece, to + (piece - from), length);
                status != Status::Moved) {
                return status;
            }
            piece += length;
        }
        at = data.end;
    }
    dropCopied(end);
    return Status::Moved;
}

BlockMover::Status BlockMover::movePiece(std::uint64_t from, std::uint64_t to, std::size_t size) {
    const std::size_t copied = m_kernelCopy ? copyInKernel(from, to, size) : 0;
    // A kernel copy that stopped short has reached the source's end or failed; the buffer's
    // read finds out which and reports a failure on the side it belongs to.
    if (copied < size) {
        if (const Status status = copyThroughBuffer(from + copied, to + copied, size - copied);
            status != Status::Moved) {
            return status;
        }
    }
    return m_writeBehind.written(m_target, {to, to + size}) ? Status::Moved : Status::WriteFailed;
}

std::size_t BlockMover::copyInKernel(std::uint64_t from, std::uint64_t to, std::size_t size) {
    std::size_t copied = 0;
    while (copied < size) {
        const auto n = m_target.copyFrom(m_source, from + copied, to + copied, size - copied);
        const bool firstCall = std::exchange(m_firstKernelCall, false);
        if (n && *n > 0) {
            copied += *n;
            continue;
        }
        // Any failure, or a first call that copies nothing from a file that has bytes, hands
        // the rest of this source to read and write: they either work or report the error
        // on the side it belongs to (EXDEV, EINVAL, ENOSYS, EOPNOTSUPP, ENOSPC, EIO, ...).
        if (!n || firstCall) {
            m_kernelCopy = false;
        }
        break;
    }
    return copied;
}

BlockMover::Status BlockMover::copyThroughBuffer(std::uint64_t from, std::uint64_t to,
                                                 std::size_t size) {
    const auto got = m_source.readAt(from, m_buffer.first(size));
    if (!got) {
        return Status::ReadFailed;
    }
    if (*got < size) {
        // The source shrank since it was opened: what it lost stays a hole.
        m_sourceEndedEarly = true;
        leaveHole();
    }
    return m_target.writeAt(to, m_buffer.first(*got)) ? Status::Moved : Status::WriteFailed;
}

void BlockMover::leaveHole() {
    if (!std::exchange(m_leftHole, true)) {
        m_target.prepareForHoles();
    }
}

void BlockMover::dropCopied(std::uint64_t end) {
    const std::uint64_t upTo =
        end >= m_source.length() ? WriteBehind::chunkEnd(end) : WriteBehind::chunkStart(end);
    if (upTo > m_sourceDropped) {
        m_source.dropCached({m_sourceDropped, upTo});
        m_sourceDropped = upTo;
    }
}
