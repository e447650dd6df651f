#include "WriteBehind.h"

#include <utility>

namespace {

bool isEmpty(DiskFile::Region region) {
    return region.start == region.end;
}

} // namespace

bool WriteBehind::written(DiskFile& target, DiskFile::Region region) {
    // A hole left between the two is never touched: what precedes it goes out on its own.
    if (region.start != m_pending.end) {
        if (!send(target, m_pending)) {
            return false;
        }
        m_pending = {region.start, region.start};
    }
    m_pending.end = region.end;
    while (m_pending.end >= chunkEnd(m_pending.start)) {
        const DiskFile::Region chunk{m_pending.start, chunkEnd(m_pending.start)};
        m_pending.start = chunk.end;
        if (!send(target, chunk)) {
            return false;
        }
    }
    return true;
}

bool WriteBehind::finish(DiskFile& target) {
    const bool flushed = target.flush();
    // All of it is on the disk now, including the page that holds the target's last byte.
    if (m_pending.end > 0) {
        target.dropCached({0, chunkEnd(m_pending.end - 1)});
    }
    m_pending = {};
    m_sent = {};
    m_sentBytes = 0;
    return flushed;
}

bool WriteBehind::send(DiskFile& target, DiskFile::Region piece) {
    if (isEmpty(piece)) {
        return true;
    }
    target.startWriteOut(piece);
    // Small pieces between holes join those on their way already, so that a source of many
    // small extents is waited for once per chunk's worth of bytes, not once per extent.
    const std::uint64_t size = piece.end - piece.start;
    if (m_sentBytes + size <= kChunk) {
        m_sent = isEmpty(m_sent) ? piece : DiskFile::Region{m_sent.start, piece.end};
        m_sentBytes += size;
        return true;
    }
    const DiskFile::Region earlier = std::exchange(m_sent, piece);
    m_sentBytes = size;
    const bool onDisk = target.waitWrittenOut(earlier);
    target.dropCached(earlier);
    return onDisk;
}
