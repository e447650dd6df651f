#pragma once

#include <cstdio>
#include <string>
#include <vector>

// What veltrane-join needs of the console it runs in, the same on every system.
namespace Console {
// Whether the progress line can be redrawn in place on `stream`. On Windows only a real
// console can (NUL passes for a terminal too), once its handling of terminal sequences is
// turned on; a console without that handling gets no progress line.
bool canRedrawLine(std::FILE* stream);
#ifdef _WIN32
// The arguments as the system holds them, in UTF-16, turned into UTF-8 whatever the code page
// of the process; one that is no valid UTF-16 becomes empty and so names no file.
std::vector<std::string> utf8Arguments(int argc, wchar_t** argv);
#endif
} // namespace Console
