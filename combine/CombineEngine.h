#pragma once

#include "WriteBehind.h"

#include <atomic>
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <thread>

class EngineInterface;
struct RunMessage;
class BlockMover;
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
    // True while a worker of this engine has not yet made its last call to the host (its notice
    // may still be up).
    bool HasLiveWorker() const;
    // True while a worker of this engine may still call the host and wait for it, up to and
    // including its notice. It turns false before the worker's workerEnded().
    bool NeedsHost() const;
    // Known once a run's notice is on its way: whether the run broke off at a stop request with
    // blocks or rows left, so that its target is shorter than a whole join.
    bool RunCutShort() const { return m_cutShort; }

    RunStep AppendSourceFile(const std::string& path, std::uint64_t& offset, DiskFile& target);

private:
    struct Worker {
        std::thread thread;
        std::atomic<bool> lastCall{false};
        std::atomic<bool> finished{false};
    };

    // The bar counts in 32 bits; a source beyond 4 PiB keeps the bar full for its last blocks.
    static std::uint32_t ProgressStep(std::uint64_t block);
    // The last block that the step of the bar beginning at `block` covers.
    std::uint64_t LastBlockOfStep(BlockMover& mover, std::uint64_t block,
                                  std::uint64_t blocks) const;
    void CountBlocksBegun(std::uint64_t count);
    static void CombineThreadProc(CombineEngine* engine);
    void CombineFiles();
    // Empties the held target, unless that would destroy a source or data the host wants
    // kept; false, once the user has been told why, when the run cannot go on.
    bool PrepareTarget(DiskFile& target, int rows);
    // The first ticked row among the first `rows` that names the target, if any.
    std::optional<std::string> TickedRowNaming(const DiskFile& target, int rows);
    bool StartWorker();
    void JoinFinishedWorkers();
    RunStep EndRunWith(const RunMessage& message);

    EngineInterface& m_host;
    std::atomic<int> m_stop{0};
    std::string m_targetPath;
    std::atomic<bool> m_plainCopy{false};
    std::atomic<bool> m_refuseNonEmptyTarget{false};
    std::atomic<std::uint64_t> m_stopAtBlock{0};
    std::atomic<bool> m_cutShort{false};
    // Whole blocks begun in the current run; the worker's alone.
    std::uint64_t m_blocksBegun = 0;
    // The current run's target on its way to the disk; the worker's alone.
    WriteBehind m_writeBehind;
    std::list<Worker> m_workers;
};
