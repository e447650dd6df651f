#include "FileDialogs.h"

#include "Catalog.h"
#include "TextMark.h"
#include "TypedName.h"
#include "WideText.h"

#include <commdlg.h>
#include <filesystem>
#include <utility>
#include <vector>

using namespace std::literals;

namespace {

// The longest path the system takes.
constexpr DWORD kPathCapacity = 32768;
// Pairs of a name and its patterns, each ended by a null, the whole by another.
std::wstring Filter() {
    std::wstring filter;
    for (const auto& [name, patterns] : {std::pair{Translatable("vmdk Files (*.vmdk)"), L"*.vmdk"},
                                         std::pair{Translatable("All Files (*.*)"), L"*.*"}}) {
        filter += WideText::FromUtf8(Catalog::Translated(name)) + L'\0' + patterns + L'\0';
    }
    return filter;
}

template <typename Run>
std::optional<std::wstring> Choose(HWND owner, const wchar_t* defaultExtension, Run run) {
    std::vector<wchar_t> path(kPathCapacity, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    const std::wstring filter = Filter();
    dialog.lpstrFilter = filter.c_str();
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
