#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// What veltrane-join needs of the console it runs in, the same on every system.
namespace Console {
// Whether the progress line can be redrawn in place on `stream`. On Windows only a real
// console can (NUL passes for a terminal too), once its handling of terminal sequences is
// turned on; a console without that handling gets no progress line.
bool canRedrawLine(std::FILE* stream);
// Writes the UTF-8 `text` to `stream`; false where it could not. On Windows a real console is
// given the text in UTF-16, so that every character shows whatever its code page.
bool write(std::FILE* stream, std::string_view text);
// The help's part on how a run is stopped and on the exit statuses, which differ by system.
const char* stopHelp();
#ifdef _WIN32
// The arguments as the system holds them, in UTF-16, turned into UTF-8 whatever the code page
// of the process; one that is no valid UTF-16 becomes empty and so names no file. "/?", which
// names no file there, asks for the help as "--help" does.
std::vector<std::string> utf8Arguments(int argc, wchar_t** argv);
#endif
} // namespace Console
