#include "CombineEngine.h"

#include "BlockMover.h"
#include "DiskFile.h"
#include "EngineInterface.h"
#include "EngineTexts.h"

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <new>
#include <utility>

std::atomic<int> g_busy{0};

namespace {

using Block = std::array<char, CombineEngine::kBlockSize>;

using Kind = RunMessage::Kind;

RunMessage FailureMessage(BlockMover::Status status, const std::string& sourcePath,
                          const DiskFile& source, const std::string& targetPath,
                          const DiskFile& target) {
    if (status == BlockMover::Status::ReadFailed) {
        return RunMessage(Kind::ReadSource, sourcePath, source.lastError());
    }
    return RunMessage(Kind::WriteTarget, targetPath, target.lastError());
}

} // namespace

CombineEngine::CombineEngine(EngineInterface& host) : m_host(host) {}

CombineEngine::~CombineEngine() {
    m_stop = 1;
    for (Worker& worker : m_workers) {
        worker.thread.join();
    }
}

bool CombineEngine::OnStart() {
    // Raising the flag and testing it in one step lets no second Start slip in between.
    int idle = 0;
    if (!g_busy.compare_exchange_strong(idle, 1)) {
        m_host.showWindowMessage(RunMessage(Kind::WaitCurrentThread));
        return false;
    }
    m_stop = 0;
    m_cutShort = false;
    m_targetPath = m_host.targetBoxText();
    if (!StartWorker()) {
        g_busy = 0;
        // The system is out of threads or memory; say so rather than ignore the Start.
        m_host.showWindowMessage(RunMessage(Kind::OutOfMemory));
        return false;
    }
    return true;
}

void CombineEngine::OnStop() {
    m_stop = 1;
}

bool CombineEngine::HasLiveWorker() const {
    return std::any_of(m_workers.begin(), m_workers.end(),
                       [](const Worker& worker) { return !worker.finished; });
}

bool CombineEngine::NeedsHost() const {
    return std::any_of(m_workers.begin(), m_workers.end(),
                       [](const Worker& worker) { return !worker.lastCall; });
}

bool CombineEngine::StartWorker() {
    JoinFinishedWorkers();
    const std::size_t before = m_workers.size();
    try {
        Worker& worker = m_workers.emplace_back();
        worker.thread = std::thread([this, &worker] {
            CombineThreadProc(this);
            // Set before the last call, so that a host woken by it finds itself no longer needed.
            worker.lastCall = true;
            // Counted as live until its last call: a host may go as soon as none is.
            m_host.workerEnded();
            worker.finished = true;
        });
        return true;
    } catch (const std::exception&) { // std::system_error or std::bad_alloc
        if (m_workers.size() > before) {
            m_workers.pop_back();
        }
        return false;
    }
}

void CombineEngine::JoinFinishedWorkers() {
    m_workers.remove_if([](Worker& worker) {
        if (!worker.finished) {
            return false;
        }
        worker.thread.join();
        return true;
    });
}

void CombineEngine::CombineThreadProc(CombineEngine* engine) {
    engine->CombineFiles();
    g_busy = 0;
    engine->m_host.showApplicationNotice(EngineTexts::kCombineEnd);
}

void CombineEngine::CombineFiles() {
    DiskFile target;
    if (!target.holdTarget(m_targetPath)) {
        m_host.showWindowMessage(RunMessage(Kind::CreateTarget, m_targetPath, target.lastError()));
        return;
    }
    const int rows = m_host.rowCount();
    if (!PrepareTarget(target, rows)) {
        target.discardIfCreated(m_targetPath);
        return;
    }
    std::uint64_t offset = 0;
    m_blocksBegun = 0;
    RunStep step = RunStep::Continue;
    int row = 0;
    // A stop request ends the walk: no later row is read or opened.
    for (; row < rows && step == RunStep::Continue && m_stop == 0; ++row) {
        if (m_host.isRowChecked(row)) {
            step = AppendSourceFile(m_host.rowPath(row), offset, target);
        }
    }
    if (row < rows && step == RunStep::Continue) {
        m_cutShort = true;
    }
    // A stopped or failed run flushes what it wrote too: the notice promises it is on the disk.
    const bool flushed = m_writeBehind.finish(target);
    if (!(target.close() && flushed) && step == RunStep::Continue) {
        m_host.showWindowMessage(RunMessage(Kind::WriteTarget, m_targetPath, target.lastError()));
    }
}

bool CombineEngine::PrepareTarget(DiskFile& target, int rows) {
    // The held file is compared, not its name, so no renaming in between can fool the check.
    if (auto row = TickedRowNaming(target, rows)) {
        m_host.showWindowMessage(
            RunMessage(Kind::TargetIsSource, m_targetPath, {}, std::move(*row)));
        return false;
    }
    if (m_refuseNonEmptyTarget && target.length() > 0) {
        m_host.showWindowMessage(RunMessage(Kind::TargetNotEmpty, m_targetPath));
        return false;
    }
    if (!target.emptyTarget()) {
        m_host.showWindowMessage(RunMessage(Kind::CreateTarget, m_targetPath, target.lastError()));
        return false;
    }
    return true;
}

std::optional<std::string> CombineEngine::TickedRowNaming(const DiskFile& target, int rows) {
    for (int row = 0; row < rows; ++row) {
        if (!m_host.isRowChecked(row)) {
            continue;
        }
        if (std::string path = m_host.rowPath(row); target.isNamedBy(path)) {
            return path;
        }
    }
    return std::nullopt;
}

CombineEngine::RunStep CombineEngine::AppendSourceFile(const std::string& path,
                                                       std::uint64_t& offset, DiskFile& target) {
    DiskFile source;
    if (!source.openSource(path, target)) {
        m_host.showWindowMessage(RunMessage(Kind::OpenSource, path, source.lastError()));
        return RunStep::Continue;
    }
    const std::uint64_t length = source.length();
    const std::uint64_t blocks = length / kBlockSize;
    const auto tail = static_cast<std::size_t>(length % kBlockSize);
    m_host.setSourceLength(length);
    m_host.setProgressRange(0, ProgressStep(blocks));
    // Left uninitialised: only bytes just read from the source are ever written from it.
    const std::unique_ptr<Block> buffer(new (std::nothrow) Block);
    if (!buffer) {
        return EndRunWith(RunMessage(Kind::OutOfMemory));
    }
    BlockMover mover(source, target, *buffer, !m_plainCopy, m_writeBehind);
    // The source's blocks are written from the running offset on, whatever came before.
    const std::uint64_t targetStart = offset;
    std::uint64_t block = 0;
    while (block < blocks) {
        const std::uint64_t last = LastBlockOfStep(mover, block, blocks);
        m_host.setProgressPosition(ProgressStep(last));
        CountBlocksBegun(last + 1 - block);
        const std::uint64_t from = block * kBlockSize;
        const std::uint64_t size = (last + 1 - block) * kBlockSize;
        if (const auto status = mover.move(from, targetStart + from, size);
            status != BlockMover::Status::Moved) {
            return EndRunWith(FailureMessage(status, path, source, m_targetPath, target));
        }
        block = last + 1;
        if (m_stop != 0) {
            break;
        }
    }
    std::uint64_t spanEnd = block * kBlockSize;
    if (tail > 0 && m_stop == 0) {
        if (const auto status = mover.move(spanEnd, targetStart + spanEnd, tail);
            status != BlockMover::Status::Moved) {
            return EndRunWith(FailureMessage(status, path, source, m_targetPath, target));
        }
        spanEnd = length;
    }
    // Only a stop leaves blocks or the tail out without returning.
    if (spanEnd < length) {
        m_cutShort = true;
    }
    // Where the span ends in a hole nothing was written there; the target still needs its length.
    if (!target.extendTo(targetStart + spanEnd)) {
        return EndRunWith(RunMessage(Kind::WriteTarget, m_targetPath, target.lastError()));
    }
    offset += length;
    if (mover.sourceEndedEarly()) {
        m_host.showWindowMessage(RunMessage(Kind::SourceEndedEarly, path));
    }
    return RunStep::Continue;
}

std::uint64_t CombineEngine::LastBlockOfStep(BlockMover& mover, std::uint64_t block,
                                             std::uint64_t blocks) const {
    // A run of blocks without data passes in one step of the bar, unless a stop is waiting.
    const std::uint64_t firstWithData = mover.nextData(block * kBlockSize) / kBlockSize;
    if (m_stop != 0 || firstWithData <= block) {
        return block;
    }
    const std::uint64_t last = std::min(firstWithData, blocks) - 1;
    const std::uint64_t stopAt = m_stopAtBlock;
    return stopAt > m_blocksBegun ? std::min(last, block + (stopAt - m_blocksBegun) - 1) : last;
}

void CombineEngine::CountBlocksBegun(std::uint64_t count) {
    m_blocksBegun += count;
    if (m_blocksBegun == m_stopAtBlock) {
        m_stop = 1;
    }
}

std::uint32_t CombineEngine::ProgressStep(std::uint64_t block) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(block, UINT32_MAX));
}

CombineEngine::RunStep CombineEngine::EndRunWith(const RunMessage& message) {
    m_host.showWindowMessage(message);
    return RunStep::EndRun;
}
