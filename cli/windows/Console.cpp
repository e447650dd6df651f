#include "Console.h"

#include "TextMark.h"

#include <string>

#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>

namespace {

// The console `stream` writes to, and its mode; null for a pipe, a file or NUL.
HANDLE consoleOf(std::FILE* stream, DWORD& mode) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0 ? handle : nullptr;
}

} // namespace

bool Console::canRedrawLine(std::FILE* stream) {
    DWORD mode = 0;
    const HANDLE handle = consoleOf(stream, mode);
    if (handle == nullptr) {
        return false;
    }
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

bool Console::write(std::FILE* stream, std::string_view text) {
    DWORD mode = 0;
    const HANDLE handle = consoleOf(stream, mode);
    if (handle == nullptr) {
        return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    }
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    // What the stream still buffers goes first, in its order.
    std::fflush(stream);
    DWORD written = 0;
    return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) !=
           0;
}

const char* Console::stopHelp() {
    return Translatable(
        "The first Ctrl+C or Ctrl+Break stops the run after the block being copied; a\n"
        "second one ends the program at once. Closing the console, logging off or\n"
        "shutting down stops the run too, and TARGET is closed before the program ends.\n"
        "A run stopped with blocks or files left, or a failed one, leaves TARGET\n"
        "incomplete; a stop that comes after the last block leaves the run complete.\n"
        "\n"
        "Exit status: 0 when the run was complete and reported nothing, 1 when it\n"
        "reported a message, 2 for bad usage, 130 when Ctrl+C cut it short and 149\n"
        "when Ctrl+Break did.\n");
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
        arguments.push_back(text == "/?" ? "--help" : std::move(text));
    }
    return arguments;
}
