#pragma once

#include "BlockMover.h"
#include "ChecksumSource.h"
#include "Digest.h"
#include "RunState.h"
#include "SourceFacts.h"
#include "WriteBehind.h"

#include <atomic>
#include <cstdint>
#include <list>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

class EngineInterface;
struct RunMessage;
class DiskFile;

// 1 from the moment a Start is accepted until that run's walk has returned, in any engine of
// the process: there is never more than one run at a time.
extern std::atomic<int> g_busy;

// Joins the checked rows of the window's list into the target on a worker thread.
// Start, Stop and destruction belong to the window's thread; the walk reaches the window only
// through its EngineInterface. Destruction requests a stop and joins every worker, so the
// window must keep serving the worker's calls until then.
class CombineEngine {
public:
    enum class RunStep { Continue, EndRun };

    static constexpr std::size_t kBlockSize = 0x100000;

    // What a complete run does once its target is flushed.
    struct CheckOptions {
        // A checksum file the user named; when empty, one is looked for unless `search` is off.
        std::string against;
        bool search = true;
        // Digests a host wants of the target, checksum found or not.
        std::vector<Digest::Algorithm> shown;
    };

    explicit CombineEngine(EngineInterface& host);
    CombineEngine(const CombineEngine&) = delete;
    CombineEngine& operator=(const CombineEngine&) = delete;
    CombineEngine(CombineEngine&&) = delete;
    CombineEngine& operator=(CombineEngine&&) = delete;
    ~CombineEngine();

    // False when no worker was started: a run is busy, or the system has no room for one.
    bool OnStart();
    void OnStop();
    // Forces read and write for every block, as when the kernel cannot copy between the files.
    void SetPlainCopy(bool plain) { m_plainCopy = plain; }
    // Each later run leaves a target that holds data as it was, instead of emptying it.
    void SetRefuseNonEmptyTarget(bool refuse) { m_refuseNonEmptyTarget = refuse; }
    // For scripts and tests: each later run stops as its n-th whole block (from 1) begins, as
    // a Stop pressed at that moment would; 0 for none. A step over blocks without data ends
    // at that block, so the target is as a plain block-by-block copy would leave it.
    void SetStopAtBlock(std::uint64_t block) { m_stopAtBlock = block; }
    // For the runs started after it; not while one is busy.
    void SetCheck(CheckOptions options) { m_check = std::move(options); }
    // The furthest-from-done phase of this engine's workers, and the latest run's outcome. A
    // worker leaves Ending before its workerEnded(), so a host woken there finds itself free.
    RunState State() const;

    RunStep AppendSourceFile(const std::string& path, std::uint64_t& offset, DiskFile& target);

private:
    using Phase = RunState::Phase;

    struct Worker {
        std::thread thread;
        // Idle once the worker has returned from its last call.
        std::atomic<Phase> phase{Phase::Busy};
    };

    // What the current run has met so far; the worker's alone.
    struct RunFacts {
        bool cutShort = false;
        bool failed = false;
        bool targetWriteReported = false;
    };

    // The bar counts in 32 bits; a source beyond 4 PiB keeps the bar full for its last blocks.
    static std::uint32_t ProgressStep(std::uint64_t block);
    // The last block that the step of the bar beginning at `block` covers.
    std::uint64_t LastBlockOfStep(BlockMover& mover, std::uint64_t block,
                                  std::uint64_t blocks) const;
    void CountBlocksBegun(std::uint64_t count);
    static void CombineThreadProc(CombineEngine* engine, Worker& worker);
    RunOutcome CombineFiles();
    // Reads the rows, whose count it gives, and empties the held target, unless that would
    // destroy a source or data the host wants kept, the user declines what the check found, or
    // a stop came first; false, the user told why, when the target stays as it was.
    bool PrepareTarget(DiskFile& target, int& rows);
    // The first of the ticked rows' paths that names the target, if any.
    static std::optional<std::string> TickedRowNaming(const DiskFile& target,
                                                      const std::vector<std::string>& ticked);
    // Whether the check of the sources and the target's disk found nothing, or the user wants
    // the join all the same.
    bool CheckedOrAccepted(const DiskFile& target, const std::vector<std::string>& ticked);
    void WalkRows(DiskFile& target, int rows);
    bool AnyRowTicked(int from, int rows);
    void FinishTarget(DiskFile& target);
    // Reads a complete, flushed target back and compares it with the checksum found for it.
    RunOutcome CheckTarget();
    // False, the user told why, when a checksum file the user named gives none for the target.
    bool FindExpected(std::optional<ChecksumSource::Expected>& expected);
    // The `length` bytes of the mover's source, block by block from the target's `targetStart`.
    BlockMover::Status AppendSpan(BlockMover& mover, std::uint64_t length,
                                  std::uint64_t targetStart, DiskFile& target);
    // A source that tells no length, as those of /proc do: read to its end as it is now.
    RunStep AppendUnsizedSource(const std::string& path, DiskFile& source, std::uint64_t& offset,
                                DiskFile& target, std::span<char> buffer);
    bool StartWorker();
    void JoinFinishedWorkers();
    RunMessage WriteFailure(const DiskFile& target) const;
    RunStep EndRunWith(const RunMessage& message);
    // Shows a fault of the run, which keeps it from being complete.
    void Report(const RunMessage& message);

    EngineInterface& m_host;
    std::atomic<int> m_stop{0};
    std::string m_targetPath;
    std::atomic<bool> m_plainCopy{false};
    std::atomic<bool> m_refuseNonEmptyTarget{false};
    std::atomic<std::uint64_t> m_stopAtBlock{0};
    std::atomic<RunOutcome> m_outcome{RunOutcome::Complete};
    RunFacts m_facts;
    CheckOptions m_check;
    // The ticked sources as the check found them, for the run's totals; the worker's alone.
    std::vector<SourceFacts> m_pieces;
    // Whole blocks begun in the current run; the worker's alone.
    std::uint64_t m_blocksBegun = 0;
    // The current run's target on its way to the disk; the worker's alone.
    WriteBehind m_writeBehind;
    std::list<Worker> m_workers;
};
