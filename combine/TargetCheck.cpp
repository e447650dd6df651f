#include "TargetCheck.h"

#include "DataRegions.h"
#include "DiskFile.h"
#include "EngineInterface.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

// Reads that go around the cache need memory and lengths aligned to the disk's sectors.
constexpr std::align_val_t kAlignment{4096};
constexpr std::uint64_t kSector = 4096;

struct AlignedDelete {
    void operator()(char* bytes) const { ::operator delete[](bytes, kAlignment); }
};

std::uint32_t progressStep(std::uint64_t offset) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(offset >> 20, UINT32_MAX));
}

} // namespace

TargetCheck::Result TargetCheck::read(const std::string& path, std::vector<Digest>& digests) {
    DiskFile target;
    const std::unique_ptr<char, AlignedDelete> buffer(
        static_cast<char*>(::operator new[](kChunk, kAlignment, std::nothrow)));
    if (!buffer) {
        m_error = std::make_error_code(std::errc::not_enough_memory);
        return Result::Failed;
    }
    if (!target.openReadBack(path)) {
        m_error = target.lastError();
        return Result::Failed;
    }
    const std::uint64_t length = target.length();
    m_host.checkingTarget(length);
    m_host.setProgressRange(0, progressStep(length));
    DataRegions regions(target);
    for (std::uint64_t at = 0; at < length; at += kChunk) {
        if (m_stop != 0) {
            return Result::Stopped;
        }
        m_host.setProgressPosition(progressStep(at));
        const std::uint64_t size = std::min<std::uint64_t>(kChunk, length - at);
        const DiskFile::Region data = regions.within(at, at + size);
        if (data.start == data.end) {
            std::ranges::for_each(digests, [size](Digest& digest) { digest.updateZeros(size); });
            continue;
        }
        const std::size_t asked = (size + kSector - 1) / kSector * kSector;
        const auto got = target.readAt(at, {buffer.get(), asked});
        if (!got || *got < size) {
            m_error = got ? std::make_error_code(std::errc::io_error) : target.lastError();
            return Result::Failed;
        }
        std::ranges::for_each(digests, [&](Digest& digest) {
            digest.update({buffer.get(), std::size_t(size)});
        });
        target.dropCached({at, at + size});
    }
    return Result::Read;
}
