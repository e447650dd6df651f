#pragma once

#include "ControlIds.h"
#include "TextMark.h"

#include <array>

// What a screen reader calls the controls whose own text does not say what they are. The link
// labels are links named by their own text, their address as their value.
namespace AccessibleNames {
struct Named {
    int id;
    const char* name;
};

inline constexpr std::array kMain{
    Named{ControlIds::IDC_TARGET_PATH, Translatable("Target file")},
    Named{ControlIds::IDC_BROWSE_TARGET, Translatable("Choose the target file")},
    Named{ControlIds::IDC_FILE_LIST, Translatable("Files to join")},
    Named{ControlIds::IDC_PROGRESS, Translatable("Progress of the current file")},
};
} // namespace AccessibleNames
