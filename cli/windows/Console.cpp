#include "Console.h"

#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>

bool Console::canRedrawLine(std::FILE* stream) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || GetConsoleMode(handle, &mode) == 0) {
        return false;
    }
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

std::vector<std::string> Console::utf8Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int at = 0; at < argc; ++at) {
        const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, argv[at], -1, nullptr,
                                             0, nullptr, nullptr);
        // The count includes the closing NUL, which the string keeps room for by itself.
        std::string text(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
        if (size > 0 && WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, argv[at], -1,
                                            text.data(), size, nullptr, nullptr) != size) {
            text.clear();
        }
        arguments.push_back(std::move(text));
    }
    return arguments;
}
