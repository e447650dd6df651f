#include "BlockMover.h"

#include "PosixFile.h"

#include <algorithm>
#include <utility>

BlockMover::BlockMover(PosixFile& source, PosixFile& target, std::span<char> buffer,
                       bool kernelCopy)
    : m_source(source), m_target(target), m_buffer(buffer), m_kernelCopy(kernelCopy) {}

BlockMover::Status BlockMover::move(std::size_t size) {
    const std::size_t copied = m_kernelCopy ? copyInKernel(size) : 0;
    if (copied == size) {
        return Status::Moved;
    }
    // A kernel copy that stopped short without failing has reached the source's end.
    return m_kernelCopy ? writeZeros(size - copied) : copyThroughBuffer(size - copied);
}

std::size_t BlockMover::copyInKernel(std::size_t size) {
    std::size_t copied = 0;
    while (copied < size) {
        const ssize_t n = m_target.copyFrom(m_source, size - copied);
        const bool firstCall = std::exchange(m_firstKernelCall, false);
        if (n > 0) {
            copied += static_cast<std::size_t>(n);
            continue;
        }
        // Any failure, or a first call that copies nothing from a file that has bytes, hands
        // the rest of this source to read and write: they either work or report the error
        // on the side it belongs to (EXDEV, EINVAL, ENOSYS, EOPNOTSUPP, ENOSPC, EIO, ...).
        if (n < 0 || firstCall) {
            m_kernelCopy = false;
        }
        break;
    }
    return copied;
}

BlockMover::Status BlockMover::copyThroughBuffer(std::size_t size) {
    const ssize_t got = m_source.read(m_buffer.data(), size);
    if (got < 0) {
        return Status::ReadFailed;
    }
    std::fill(m_buffer.begin() + got, m_buffer.begin() + static_cast<std::ptrdiff_t>(size), 0);
    return m_target.write(m_buffer.data(), size) ? Status::Moved : Status::WriteFailed;
}

BlockMover::Status BlockMover::writeZeros(std::size_t size) {
    std::fill_n(m_buffer.begin(), size, 0);
    return m_target.write(m_buffer.data(), size) ? Status::Moved : Status::WriteFailed;
}
