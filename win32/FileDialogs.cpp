#include "FileDialogs.h"

#include "TypedName.h"
#include "WideText.h"

#include <commdlg.h>
#include <filesystem>
#include <vector>

namespace {

// The longest path the system takes.
constexpr DWORD kPathCapacity = 32768;
constexpr wchar_t kFilter[] = L"vmdk Files (*.vmdk)\0*.vmdk\0All Files (*.*)\0*.*\0";

template <typename Run>
std::optional<std::wstring> Choose(HWND owner, const wchar_t* defaultExtension, Run run) {
    std::vector<wchar_t> path(kPathCapacity, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kPathCapacity;
    // The working folder stays as it was: else the last folder browsed stays in use (it cannot
    // be removed, nor its drive ejected) until the tool ends.
    dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_NOCHANGEDIR;
    dialog.lpstrDefExt = defaultExtension;
    if (run(&dialog) == FALSE) {
        return std::nullopt;
    }
    return std::wstring(path.data());
}

} // namespace

std::optional<std::wstring> FileDialogs::ChooseSource(HWND owner) {
    // No default extension here: the shared rule spares the name of a file that exists.
    const auto path = Choose(owner, nullptr, &::GetOpenFileNameW);
    if (!path) {
        return path;
    }
    return TypedName::WithDefaultSuffix(std::filesystem::path(*path)).wstring();
}

std::optional<std::wstring> FileDialogs::ChooseTarget(HWND owner) {
    const std::wstring extension = WideText::FromUtf8(TypedName::kDefaultSuffix);
    return Choose(owner, extension.c_str(), &::GetSaveFileNameW);
}
