#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class DiskFile;

// Moves a source's bytes into the target one block at a time, in the kernel where the two
// files allow it and through the buffer where they do not. Whatever the source still
// delivers, every move writes exactly the size asked for: missing bytes become zeros.
class BlockMover {
public:
    enum class Status { Moved, ReadFailed, WriteFailed };

    BlockMover(DiskFile& source, DiskFile& target, std::span<char> buffer, bool kernelCopy);

    // Writes `size` bytes (at most the buffer's size) of the source from `from` into the
    // target at `to`.
    Status move(std::uint64_t from, std::uint64_t to, std::size_t size);

private:
    std::size_t copyInKernel(std::uint64_t from, std::uint64_t to, std::size_t size);
    Status copyThroughBuffer(std::uint64_t from, std::uint64_t to, std::size_t size);

    DiskFile& m_source;
    DiskFile& m_target;
    std::span<char> m_buffer;
    bool m_kernelCopy;
    bool m_firstKernelCall = true;
};
