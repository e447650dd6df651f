#include "CVeltraneDlg.h"
#include "Catalog.h"
#include "TextMark.h"
#include "WideText.h"

#include <algorithm>
#include <commctrl.h>
#include <filesystem>
#include <shellapi.h>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Arguments() {
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> list;
    for (int i = 1; arguments != nullptr && i < count; ++i) {
        list.emplace_back(arguments[i]);
    }
    ::LocalFree(arguments);
    return list;
}

// Windows' way of asking for help, and the command line's.
bool AsksForHelp(const std::vector<std::wstring>& arguments) {
    return std::any_of(arguments.begin(), arguments.end(), [](const std::wstring& argument) {
        return argument == L"/?" || argument == L"-h" || argument == L"--help";
    });
}

// A window program has no terminal to print to: the usage comes in a message box.
void ShowUsage() {
    std::wstring module(MAX_PATH, L'\0');
    module.resize(::GetModuleFileNameW(nullptr, module.data(), MAX_PATH));
    const std::filesystem::path program(module);
    std::wstring usage = program.filename().wstring();
    usage.append(L" [FILE ...]\n\n")
        .append(
            WideText::FromUtf8(Catalog::Translated(Translatable("Joins several files into one."))))
        .append(L"\n\nFILE: ")
        .append(WideText::FromUtf8(
            Catalog::Translated(Translatable("A file to list, unticked, as a source."))));
    ::MessageBoxW(nullptr, usage.c_str(), program.stem().c_str(), MB_OK);
}

// The files named on the command line, in the order given, made absolute against the working
// folder as the file dialog would give them. Nothing is tested about them.
std::vector<std::wstring> FilesFrom(const std::vector<std::wstring>& arguments) {
    std::vector<std::wstring> files;
    files.reserve(arguments.size());
    for (const std::wstring& argument : arguments) {
        const DWORD size = ::GetFullPathNameW(argument.c_str(), 0, nullptr, nullptr);
        std::wstring path(size, L'\0');
        path.resize(::GetFullPathNameW(argument.c_str(), size, path.data(), nullptr));
        files.push_back(path.empty() ? argument : path);
    }
    return files;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    ::InitCommonControlsEx(&controls);
    Catalog::Open();
    const std::vector<std::wstring> arguments = Arguments();
    if (AsksForHelp(arguments)) {
        ShowUsage();
        return 0;
    }
    CVeltraneDlg dlg(instance, FilesFrom(arguments));
    dlg.DoModal();
    return 0;
}
