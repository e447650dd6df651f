#pragma once

#include <optional>
#include <string>
#include <windows.h>

// The system's open and save dialogs with the window's filter and flags; neither insists that
// the file exists. Each returns the chosen full path, or nothing when the user cancels.
namespace FileDialogs {
// A typed name without an extension follows the shared rule (".vmdk" unless such a file exists).
std::optional<std::wstring> ChooseSource(HWND owner);
// The save dialog appends ".vmdk" itself and asks before an existing file is chosen.
std::optional<std::wstring> ChooseTarget(HWND owner);
} // namespace FileDialogs
