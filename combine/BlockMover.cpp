#include "BlockMover.h"

#include "DiskFile.h"

#include <algorithm>
#include <utility>

BlockMover::BlockMover(DiskFile& source, DiskFile& target, std::span<char> buffer, bool kernelCopy)
    : m_source(source), m_target(target), m_buffer(buffer), m_kernelCopy(kernelCopy) {}

BlockMover::Status BlockMover::move(std::uint64_t from, std::uint64_t to, std::size_t size) {
    const std::size_t copied = m_kernelCopy ? copyInKernel(from, to, size) : 0;
    if (copied == size) {
        return Status::Moved;
    }
    // A kernel copy that stopped short has reached the source's end or failed; the buffer's
    // read pads the one case with zeros and reports the other on the side it belongs to.
    return copyThroughBuffer(from + copied, to + copied, size - copied);
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
    const std::span<char> block = m_buffer.first(size);
    const auto got = m_source.readAt(from, block);
    if (!got) {
        return Status::ReadFailed;
    }
    std::fill(block.begin() + static_cast<std::ptrdiff_t>(*got), block.end(), 0);
    return m_target.writeAt(to, block) ? Status::Moved : Status::WriteFailed;
}
