#pragma once

#include "EngineTexts.h"
#include "TextMark.h"

// How a run left its target, as every host tells its user.
enum class RunOutcome {
    // Every row ticked when the run ended was written whole.
    Complete,
    // A stop left a ticked row unread or a source unfinished.
    Stopped,
    // The run ended before the target was emptied: stopped, or refused with a message.
    Unchanged,
    // A message reported a fault once the target was emptied.
    Failed,
    // Complete, and read back from the disk it matches the checksum found for it.
    Checked,
    // Complete, but its check was stopped or it could not be read back.
    NotChecked,
    // Complete, and read back it differs from the checksum found for it.
    Mismatch,
};

// The line a window shows under "combine end"; none for a complete run. A checked run's
// line has the checksum file's name to fill in.
inline const char* OutcomeLine(RunOutcome outcome) {
    switch (outcome) {
    case RunOutcome::Checked:
        return Translatable("已校验：与 %s 一致");
    case RunOutcome::NotChecked:
        return Translatable("目标文件完整，未校验");
    case RunOutcome::Mismatch:
        return EngineTexts::kChecksumMismatch;
    case RunOutcome::Stopped:
        return Translatable("已停止：目标文件不完整");
    case RunOutcome::Unchanged:
        return Translatable("目标文件未改变");
    case RunOutcome::Failed:
        return Translatable("出现错误：目标文件可能不完整");
    case RunOutcome::Complete:
        break;
    }
    return nullptr;
}
