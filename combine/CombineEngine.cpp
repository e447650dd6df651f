#include "CombineEngine.h"

#include "EngineInterface.h"
#include "EngineTexts.h"
#include "PosixFile.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <new>

std::atomic<int> g_busy{0};

CombineEngine::CombineEngine(EngineInterface& host) : m_host(host) {}

CombineEngine::~CombineEngine() {
    m_stop = 1;
    for (Worker& worker : m_workers) {
        worker.thread.join();
    }
}

void CombineEngine::OnStart() {
    if (g_busy != 0) {
        m_host.showWindowMessage(EngineTexts::kWaitCurrentThread);
        return;
    }
    m_stop = 0;
    m_targetPath = m_host.targetBoxText();
    g_busy = 1;
    if (!StartWorker()) {
        g_busy = 0;
        // The system is out of threads or memory; say so rather than ignore the Start.
        m_host.showWindowMessage(EngineTexts::kOutOfMemory);
    }
}

void CombineEngine::OnStop() {
    m_stop = 1;
}

bool CombineEngine::HasLiveWorker() const {
    return std::any_of(m_workers.begin(), m_workers.end(),
                       [](const Worker& worker) { return !worker.finished; });
}

bool CombineEngine::StartWorker() {
    JoinFinishedWorkers();
    const std::size_t before = m_workers.size();
    try {
        Worker& worker = m_workers.emplace_back();
        worker.thread = std::thread([this, &worker] {
            CombineThreadProc(this);
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
    PosixFile target;
    if (!target.createTarget(m_targetPath)) {
        m_host.showWindowMessage(EngineTexts::kCreateTargetFailed);
        return;
    }
    std::uint64_t offset = 0;
    const int rows = m_host.rowCount();
    RunStep step = RunStep::Continue;
    // A stop request ends the walk: no later row is read or opened.
    for (int row = 0; row < rows && step == RunStep::Continue && m_stop == 0; ++row) {
        if (m_host.isRowChecked(row)) {
            step = AppendSourceFile(m_host.rowPath(row), offset, target);
        }
    }
    if (!target.close() && step == RunStep::Continue) {
        m_host.showWindowMessage(EngineTexts::kWriteTargetFailed);
    }
}

CombineEngine::RunStep CombineEngine::AppendSourceFile(const std::string& path,
                                                       std::uint64_t& offset, PosixFile& target) {
    PosixFile source;
    if (!source.openSource(path, target)) {
        m_host.showWindowMessage(EngineTexts::kOpenSourceFailed);
        return RunStep::Continue;
    }
    const std::uint64_t length = source.length();
    const std::uint64_t blocks = length >> 20;
    const auto tail = static_cast<std::size_t>(length & 0xFFFFF);
    m_host.setProgressRange(0, ProgressStep(blocks));
    if (!target.seek(offset)) {
        return EndRunWith(EngineTexts::kWriteTargetFailed);
    }
    // Left uninitialised: the kernel copy never touches it unless a source falls short.
    const std::unique_ptr<Block> buffer(new (std::nothrow) Block);
    if (!buffer) {
        return EndRunWith(EngineTexts::kOutOfMemory);
    }
    BlockMover mover(source, target, *buffer, !m_plainCopy);
    for (std::uint64_t block = 0; block < blocks; ++block) {
        m_host.setProgressPosition(ProgressStep(block));
        if (const auto status = mover.move(kBlockSize); status != BlockMover::Status::Moved) {
            return Report(status);
        }
        if (m_stop != 0) {
            break;
        }
    }
    if (tail > 0 && m_stop == 0) {
        if (const auto status = mover.move(tail); status != BlockMover::Status::Moved) {
            return Report(status);
        }
    }
    offset += length;
    return RunStep::Continue;
}

std::uint32_t CombineEngine::ProgressStep(std::uint64_t block) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(block, UINT32_MAX));
}

CombineEngine::RunStep CombineEngine::Report(BlockMover::Status status) {
    return EndRunWith(status == BlockMover::Status::ReadFailed ? EngineTexts::kReadSourceFailed
                                                               : EngineTexts::kWriteTargetFailed);
}

CombineEngine::RunStep CombineEngine::EndRunWith(const char* text) {
    m_host.showWindowMessage(text);
    return RunStep::EndRun;
}
