#include "CVeltraneDlg.h"
#include "Catalog.h"

#include <commctrl.h>
#include <shellapi.h>
#include <string>
#include <vector>

namespace {

// The files named on the command line, in the order given, made absolute against the working
// folder as the file dialog would give them. Nothing is tested about them.
std::vector<std::wstring> FilesFromCommandLine() {
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> files;
    for (int i = 1; arguments != nullptr && i < count; ++i) {
        const DWORD size = ::GetFullPathNameW(arguments[i], 0, nullptr, nullptr);
        std::wstring path(size, L'\0');
        path.resize(::GetFullPathNameW(arguments[i], size, path.data(), nullptr));
        files.push_back(path.empty() ? arguments[i] : path);
    }
    ::LocalFree(arguments);
    return files;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    ::InitCommonControlsEx(&controls);
    Catalog::Open();
    CVeltraneDlg dlg(instance, FilesFromCommandLine());
    dlg.DoModal();
    return 0;
}
