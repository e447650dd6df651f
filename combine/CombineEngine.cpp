#include "CombineEngine.h"

#include "BlockMover.h"
#include "DiskFile.h"
#include "EngineInterface.h"
#include "EngineTexts.h"
#include "JoinCheck.h"
#include "TargetCheck.h"

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

RunState CombineEngine::State() const {
    RunState state{Phase::Idle, m_outcome};
    for (const Worker& worker : m_workers) {
        // Busy, Ending, Leaving: the first of them found among the workers wins.
        const Phase phase = worker.phase;
        if (phase != Phase::Idle && (state.phase == Phase::Idle || phase < state.phase)) {
            state.phase = phase;
        }
    }
    return state;
}

bool CombineEngine::StartWorker() {
    JoinFinishedWorkers();
    const std::size_t before = m_workers.size();
    try {
        Worker& worker = m_workers.emplace_back();
        worker.thread = std::thread([this, &worker] {
            CombineThreadProc(this, worker);
            // Set before the last call, so that a host woken by it finds itself no longer needed.
            worker.phase = Phase::Leaving;
            // Counted as live until its last call: a host may go as soon as none is.
            m_host.workerEnded();
            worker.phase = Phase::Idle;
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
        if (worker.phase != Phase::Idle) {
            return false;
        }
        worker.thread.join();
        return true;
    });
}

void CombineEngine::CombineThreadProc(CombineEngine* engine, Worker& worker) {
    const RunOutcome outcome = engine->CombineFiles();
    engine->m_outcome = outcome;
    // Still needing the host, no longer busy: a window asked to close now still refuses.
    worker.phase = Phase::Ending;
    g_busy = 0;
    engine->m_host.showApplicationNotice(EngineTexts::kCombineEnd, outcome);
}

RunOutcome CombineEngine::CombineFiles() {
    m_facts = {};
    m_pieces.clear();
    DiskFile target;
    if (!target.holdTarget(m_targetPath)) {
        m_host.showWindowMessage(RunMessage(Kind::CreateTarget, m_targetPath, target.lastError()));
        return RunOutcome::Unchanged;
    }
    int rows = 0;
    if (m_stop != 0 || !PrepareTarget(target, rows)) {
        target.discardIfCreated();
        return RunOutcome::Unchanged;
    }
    m_host.runPlanned(m_pieces);
    WalkRows(target, rows);
    FinishTarget(target);
    if (m_facts.cutShort) {
        return RunOutcome::Stopped;
    }
    return m_facts.failed ? RunOutcome::Failed : CheckTarget();
}

RunOutcome CombineEngine::CheckTarget() {
    std::optional<ChecksumSource::Expected> expected;
    if (!FindExpected(expected)) {
        return RunOutcome::NotChecked;
    }
    std::vector<Digest> digests;
    if (expected) {
        digests.emplace_back(expected->algorithm);
    }
    for (const Digest::Algorithm algorithm : m_check.shown) {
        if (!expected || algorithm != expected->algorithm) {
            digests.emplace_back(algorithm);
        }
    }
    if (digests.empty()) {
        return RunOutcome::Complete;
    }
    TargetCheck check(m_host, m_stop);
    switch (check.read(m_targetPath, digests)) {
    case TargetCheck::Result::Stopped:
        return RunOutcome::NotChecked;
    case TargetCheck::Result::Failed:
        m_host.showWindowMessage(RunMessage(Kind::ReadBack, m_targetPath, check.error()));
        return RunOutcome::NotChecked;
    case TargetCheck::Result::Read:
        break;
    }
    std::string actual;
    for (Digest& digest : digests) {
        TargetDigest result{digest.algorithm(), digest.finish(), {}};
        if (expected && result.algorithm == expected->algorithm) {
            result.checksumFile = expected->file;
            actual = result.hex;
        }
        m_host.targetDigested(result);
    }
    if (!expected) {
        return RunOutcome::Complete;
    }
    if (actual == expected->digest) {
        return RunOutcome::Checked;
    }
    RunMessage mismatch(Kind::ChecksumMismatch, m_targetPath, {}, expected->file);
    mismatch.expected = expected->digest;
    mismatch.actual = actual;
    m_host.showWindowMessage(mismatch);
    return RunOutcome::Mismatch;
}

bool CombineEngine::FindExpected(std::optional<ChecksumSource::Expected>& expected) {
    const ChecksumSource source(m_targetPath, m_pieces.empty() ? "" : m_pieces.front().path);
    if (m_check.against.empty()) {
        if (m_check.search) {
            // A malformed side file is passed over, said, and costs the run nothing.
            expected = source.search(
                [this](const RunMessage& message) { m_host.showWindowMessage(message); });
        }
        return true;
    }
    auto named = source.named(m_check.against);
    if (const auto* message = std::get_if<RunMessage>(&named)) {
        m_host.showWindowMessage(*message);
        return false;
    }
    expected = std::get<ChecksumSource::Expected>(std::move(named));
    return true;
}

bool CombineEngine::PrepareTarget(DiskFile& target, int& rows) {
    const std::vector<ListedRow> listed = m_host.listedRows();
    rows = static_cast<int>(listed.size());
    std::vector<std::string> ticked;
    for (const ListedRow& row : listed) {
        if (row.checked) {
            ticked.push_back(row.path);
        }
    }
    // The held file is compared, not its name, so no renaming in between can fool the check.
    if (auto row = TickedRowNaming(target, ticked)) {
        m_host.showWindowMessage(
            RunMessage(Kind::TargetIsSource, m_targetPath, {}, std::move(*row)));
        return false;
    }
    if (m_refuseNonEmptyTarget && target.length() > 0) {
        m_host.showWindowMessage(RunMessage(Kind::TargetNotEmpty, m_targetPath));
        return false;
    }
    // A stop that comes while the user reads the findings counts as well: the last moment at
    // which a stop leaves the target as it was is just before it is emptied.
    if (m_stop != 0 || !CheckedOrAccepted(target, ticked) || m_stop != 0) {
        return false;
    }
    if (!target.emptyTarget()) {
        m_host.showWindowMessage(RunMessage(Kind::CreateTarget, m_targetPath, target.lastError()));
        return false;
    }
    return true;
}

void CombineEngine::WalkRows(DiskFile& target, int rows) {
    std::uint64_t offset = 0;
    m_blocksBegun = 0;
    RunStep step = RunStep::Continue;
    int row = 0;
    // A stop request ends the walk: no later row's path is read, no later source opened.
    for (; row < rows && step == RunStep::Continue && m_stop == 0; ++row) {
        if (m_host.isRowChecked(row)) {
            step = AppendSourceFile(m_host.rowPath(row), offset, target);
        }
    }
    // A stop after the last ticked row's last byte leaves nothing out.
    if (step == RunStep::Continue && AnyRowTicked(row, rows)) {
        m_facts.cutShort = true;
    }
}

bool CombineEngine::AnyRowTicked(int from, int rows) {
    for (int row = from; row < rows; ++row) {
        if (m_host.isRowChecked(row)) {
            return true;
        }
    }
    return false;
}

void CombineEngine::FinishTarget(DiskFile& target) {
    // A stopped or failed run flushes what it wrote too: the notice promises it is on the disk.
    const bool flushed = m_writeBehind.finish(target);
    if (!(target.close() && flushed) && !m_facts.targetWriteReported) {
        Report(RunMessage(Kind::WriteTarget, m_targetPath, target.lastError()));
    }
}

std::optional<std::string> CombineEngine::TickedRowNaming(const DiskFile& target,
                                                          const std::vector<std::string>& ticked) {
    const auto named = std::ranges::find_if(
        ticked, [&target](const std::string& path) { return target.isNamedBy(path); });
    return named == ticked.end() ? std::nullopt : std::optional(*named);
}

bool CombineEngine::CheckedOrAccepted(const DiskFile& target,
                                      const std::vector<std::string>& ticked) {
    const JoinCheck check(ticked, target, m_targetPath);
    m_pieces = check.facts();
    return check.findings().empty() || m_host.askToJoinAnyway(check.findings());
}

CombineEngine::RunStep CombineEngine::AppendSourceFile(const std::string& path,
                                                       std::uint64_t& offset, DiskFile& target) {
    DiskFile source;
    if (!source.openSource(path, target)) {
        Report(RunMessage(Kind::OpenSource, path, source.lastError()));
        return RunStep::Continue;
    }
    const std::uint64_t length = source.length();
    m_host.setSourceLength(length);
    m_host.setProgressRange(0, ProgressStep(length / kBlockSize));
    // Left uninitialised: only bytes just read from the source are ever written from it.
    const std::unique_ptr<Block> buffer(new (std::nothrow) Block);
    if (!buffer) {
        return EndRunWith(RunMessage(Kind::OutOfMemory));
    }
    if (length == 0) {
        return AppendUnsizedSource(path, source, offset, target, *buffer);
    }
    BlockMover mover(source, target, *buffer, !m_plainCopy, m_writeBehind);
    switch (AppendSpan(mover, length, offset, target)) {
    case BlockMover::Status::ReadFailed:
        return EndRunWith(RunMessage(Kind::ReadSource, path, source.lastError()));
    case BlockMover::Status::WriteFailed:
        return EndRunWith(WriteFailure(target));
    case BlockMover::Status::Moved:
        break;
    }
    offset += length;
    if (mover.sourceEndedEarly()) {
        Report(RunMessage(Kind::SourceEndedEarly, path));
    } else if (!m_facts.cutShort && source.grewPastLength()) {
        Report(RunMessage(Kind::SourceGrew, path));
    }
    return RunStep::Continue;
}

BlockMover::Status CombineEngine::AppendSpan(BlockMover& mover, std::uint64_t length,
                                             std::uint64_t targetStart, DiskFile& target) {
    const std::uint64_t blocks = length / kBlockSize;
    std::uint64_t block = 0;
    while (block < blocks) {
        const std::uint64_t last = LastBlockOfStep(mover, block, blocks);
        m_host.setProgressPosition(ProgressStep(last));
        CountBlocksBegun(last + 1 - block);
        const std::uint64_t from = block * kBlockSize;
        // The source's blocks are written from the running offset on, whatever came before.
        if (const auto status =
                mover.move(from, targetStart + from, (last + 1 - block) * kBlockSize);
            status != BlockMover::Status::Moved) {
            return status;
        }
        block = last + 1;
        if (m_stop != 0) {
            break;
        }
    }
    std::uint64_t spanEnd = block * kBlockSize;
    if (spanEnd < length && m_stop == 0) {
        if (const auto status = mover.move(spanEnd, targetStart + spanEnd, length - spanEnd);
            status != BlockMover::Status::Moved) {
            return status;
        }
        spanEnd = length;
    }
    // Only a stop leaves blocks or the tail out without returning.
    m_facts.cutShort = m_facts.cutShort || spanEnd < length;
    // Where the span ends in a hole nothing was written there; the target still needs its length.
    return target.extendTo(targetStart + spanEnd) ? BlockMover::Status::Moved
                                                  : BlockMover::Status::WriteFailed;
}

CombineEngine::RunStep CombineEngine::AppendUnsizedSource(const std::string& path, DiskFile& source,
                                                          std::uint64_t& offset, DiskFile& target,
                                                          std::span<char> buffer) {
    std::uint64_t done = 0;
    for (;;) {
        const auto got = source.readAt(done, buffer);
        if (!got) {
            return EndRunWith(RunMessage(Kind::ReadSource, path, source.lastError()));
        }
        const DiskFile::Region written{offset + done, offset + done + *got};
        if (*got > 0 && !(target.writeAt(written.start, buffer.first(*got)) &&
                          m_writeBehind.written(target, written))) {
            return EndRunWith(WriteFailure(target));
        }
        done += *got;
        // A read that leaves the buffer short has met the file's end.
        if (*got < buffer.size()) {
            break;
        }
        if (m_stop != 0) {
            m_facts.cutShort = true;
            break;
        }
    }
    offset += done;
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

RunMessage CombineEngine::WriteFailure(const DiskFile& target) const {
    return RunMessage(Kind::WriteTarget, m_targetPath, target.lastError());
}

CombineEngine::RunStep CombineEngine::EndRunWith(const RunMessage& message) {
    Report(message);
    return RunStep::EndRun;
}

void CombineEngine::Report(const RunMessage& message) {
    m_facts.failed = true;
    m_facts.targetWriteReported = m_facts.targetWriteReported || message.kind == Kind::WriteTarget;
    m_host.showWindowMessage(message);
}
