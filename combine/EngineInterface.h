#pragma once

#include "JoinFinding.h"
#include "ListedRow.h"
#include "RunMessage.h"
#include "RunOutcome.h"
#include "SourceFacts.h"
#include "TargetDigest.h"

#include <cstdint>
#include <string>
#include <vector>

// Everything a combine run needs of its window. Calls made from the worker must return only
// after the window has carried them out; the rows may instead be read from a store the window
// keeps in step with its list, so that the run sees each row as it stands when reached.
// The bar's position alone may be handed over without waiting: nothing the run does depends
// on it being shown, as long as the window shows the latest one in its place among the calls.
class EngineInterface {
public:
    EngineInterface() = default;
    EngineInterface(const EngineInterface&) = delete;
    EngineInterface& operator=(const EngineInterface&) = delete;
    EngineInterface(EngineInterface&&) = delete;
    EngineInterface& operator=(EngineInterface&&) = delete;
    virtual ~EngineInterface() = default;

    virtual std::string targetBoxText() = 0;
    // Every row at once, as the list stands: what the run checks before it empties the target.
    virtual std::vector<ListedRow> listedRows() = 0;
    virtual bool isRowChecked(int row) = 0;
    // Path in the file system's encoding.
    virtual std::string rowPath(int row) = 0;
    // The ticked sources as the run found them just before writing its first byte, in list
    // order: what a host needs for the whole run's totals. Called from the worker; it must not
    // wait for the window. The walk still reads each row as it reaches it.
    virtual void runPlanned(const std::vector<SourceFacts>& /*pieces*/) {}
    // The length of the source just opened, told before its range: the bar counts blocks, a
    // host may want the bytes. Called from the worker; it must not wait for the window.
    virtual void setSourceLength(std::uint64_t /*length*/) {}
    virtual void setProgressRange(std::uint32_t lower, std::uint32_t upper) = 0;
    virtual void setProgressPosition(std::uint32_t position) = 0;
    // A message box modal to the window; returns once the user has closed it.
    virtual void showWindowMessage(const RunMessage& message) = 0;
    // What the check before the run found, as one yes-or-no question modal to the window: true
    // when the user wants the join made all the same.
    virtual bool askToJoinAnyway(const std::vector<JoinFinding>& findings) = 0;
    // The finished target is about to be read back to be checked, `length` bytes: the bar's
    // next range is the check's. Called from the worker; it must not wait for the window.
    virtual void checkingTarget(std::uint64_t /*length*/) {}
    // Each digest of the finished target that its check computed, before any message about it
    // and before the notice: a window names the checksum file of a match. Called from the
    // worker; it must not wait for the window.
    virtual void targetDigested(const TargetDigest& /*digest*/) {}
    // An application-level message box, the run's end notice; returns once the user has closed
    // it. A window says the outcome under the text, unless the run was complete.
    virtual void showApplicationNotice(const std::string& text, RunOutcome outcome) = 0;
    // A worker's last call, on its own thread: it will call nothing more, and the engine stops
    // counting it as live once this returns. The window may be closing by then, so this must
    // not wait for it.
    virtual void workerEnded() {}
};
