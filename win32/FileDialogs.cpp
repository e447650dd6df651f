#include "FileDialogs.h"

#include "CVeltraneDlg.h"
#include "Catalog.h"
#include "TextMark.h"
#include "TypedName.h"
#include "WideText.h"

#include <algorithm>
#include <commdlg.h>
#include <filesystem>
#include <utility>
#include <vector>

using namespace std::literals;

namespace {

// The longest path the system takes.
constexpr DWORD kPathCapacity = 32768;
// Room for the names of many files picked at once.
constexpr DWORD kNamesCapacity = 16 * kPathCapacity;
// Pairs of a name and its patterns, each ended by a null, the whole by another.
std::wstring Filter() {
    std::wstring filter;
    for (const auto& [name, patterns] : {std::pair{Translatable("vmdk Files (*.vmdk)"), L"*.vmdk"},
                                         std::pair{Translatable("All Files (*.*)"), L"*.*"}}) {
        filter += WideText::FromUtf8(Catalog::Translated(name)) + L'\0' + patterns + L'\0';
    }
    return filter;
}

// The dialog's answer: the chosen path, or with several files their folder and then each name,
// every one ended by a null and the whole by another. Empty when the user cancels.
template <typename Run>
std::vector<wchar_t> Choose(HWND owner, const wchar_t* defaultExtension, DWORD extraFlags,
                            DWORD capacity, Run run) {
    std::vector<wchar_t> names(capacity, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    const std::wstring filter = Filter();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = names.data();
    dialog.nMaxFile = capacity;
    // The working folder stays as it was: else the last folder browsed stays in use (it cannot
    // be removed, nor its drive ejected) until the tool ends.
    dialog.Flags =
        OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_NOCHANGEDIR | extraFlags;
    dialog.lpstrDefExt = defaultExtension;
    if (run(&dialog) == FALSE) {
        return {};
    }
    return names;
}

bool AllExist(const std::vector<std::wstring>& paths) {
    return std::all_of(paths.begin(), paths.end(), [](const std::wstring& path) {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    });
}

// The full paths in the open dialog's answer: one path, or a folder and the names in it.
std::vector<std::wstring> SourcesFrom(const std::vector<wchar_t>& answer) {
    std::vector<std::wstring> strings;
    for (auto at = answer.begin(); at != answer.end() && *at != L'\0';) {
        const auto end = std::find(at, answer.end(), L'\0');
        strings.emplace_back(at, end);
        at = end == answer.end() ? end : std::next(end);
    }
    if (strings.size() < 2) {
        return strings;
    }
    const std::filesystem::path folder(strings.front());
    std::vector<std::wstring> paths;
    paths.reserve(strings.size() - 1);
    for (auto name = std::next(strings.begin()); name != strings.end(); ++name) {
        paths.push_back((folder / *name).wstring());
    }
    return paths;
}

} // namespace

std::vector<std::wstring> FileDialogs::ChooseSources(HWND owner) {
    // No default extension here: the shared rule spares the name of a file that exists.
    std::vector<std::wstring> paths = SourcesFrom(
        Choose(owner, nullptr, OFN_ALLOWMULTISELECT, kNamesCapacity, &::GetOpenFileNameW));
    for (std::wstring& path : paths) {
        path = TypedName::WithDefaultSuffix(std::filesystem::path(path)).wstring();
    }
    // The dialog gives picked files in no order of the user's; typed names, which need not
    // exist, come in the order typed.
    return paths.size() > 1 && AllExist(paths) ? CVeltraneDlg::InDropOrder(std::move(paths))
                                               : paths;
}

std::optional<std::wstring> FileDialogs::ChooseTarget(HWND owner) {
    const std::wstring extension = WideText::FromUtf8(TypedName::kDefaultSuffix);
    const std::vector<wchar_t> path =
        Choose(owner, extension.c_str(), 0, kPathCapacity, &::GetSaveFileNameW);
    if (path.empty()) {
        return std::nullopt;
    }
    return std::wstring(path.data());
}
