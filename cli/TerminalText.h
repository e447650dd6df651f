#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// The columns a line of printable UTF-8 takes on a terminal: East Asian wide characters two.
std::size_t displayWidth(std::string_view text);
// The start of `text` that takes at most `columns` columns.
std::string leadingColumns(std::string_view text, std::size_t columns);
// `text` cut in the middle, "..." in its place, to take at most `columns` columns.
std::string middleShortened(std::string_view text, std::size_t columns);
// The width of the terminal `stream` writes to; 80 where it cannot be learnt.
std::size_t terminalColumns(std::FILE* stream);
