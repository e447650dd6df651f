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
    return flushed;
}

bool WriteBehind::send(DiskFile& target, DiskFile::Region chunk) {
    if (isEmpty(chunk)) {
        return true;
    }
    target.startWriteOut(chunk);
    const DiskFile::Region earlier = std::exchange(m_sent, chunk);
    if (isEmpty(earlier)) {
        return true;
    }
    const bool onDisk = target.waitWrittenOut(earlier);
    target.dropCached(earlier);
    return onDisk;
}
