#pragma once

#include <optional>
#include <string>
#include <vector>
#include <windows.h>

// The system's open and save dialogs with the window's filter and flags; neither insists that
// the file exists.
namespace FileDialogs {
// The full paths chosen in the open dialog, none when the user cancels. A typed name without
// an extension follows the shared rule (".vmdk" unless such a file exists). Several files that
// all exist, as picked ones do, come in Explorer's order; otherwise in the order typed.
std::vector<std::wstring> ChooseSources(HWND owner);
// The save dialog appends ".vmdk" itself and asks before an existing file is chosen; nothing
// when the user cancels.
std::optional<std::wstring> ChooseTarget(HWND owner);
} // namespace FileDialogs
