#pragma once

#include <cstddef>
#include <span>

class PosixFile;

// Moves a source's bytes into the target one block at a time, in the kernel where the two
// files allow it and through the buffer where they do not. Whatever the source still
// delivers, every move writes exactly the size asked for: missing bytes become zeros.
class BlockMover {
public:
    enum class Status { Moved, ReadFailed, WriteFailed };

    BlockMover(PosixFile& source, PosixFile& target, std::span<char> buffer, bool kernelCopy);

    // Writes the next `size` bytes of the source (at most the buffer's size) at the target's
    // current position.
    Status move(std::size_t size);

private:
    std::size_t copyInKernel(std::size_t size);
    Status copyThroughBuffer(std::size_t size);
    Status writeZeros(std::size_t size);

    PosixFile& m_source;
    PosixFile& m_target;
    std::span<char> m_buffer;
    bool m_kernelCopy;
    bool m_firstKernelCall = true;
};
