#include "Console.h"

#include "TextMark.h"

#include <unistd.h>

bool Console::canRedrawLine(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

bool Console::write(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

const char* Console::stopHelp() {
    return Translatable(
        "The first SIGINT, SIGTERM or SIGHUP stops the run after the block being\n"
        "copied; a second one ends the program at once. A run stopped with blocks or\n"
        "files left, or a failed one, leaves TARGET incomplete; a stop that comes after\n"
        "the last block leaves the run complete.\n"
        "\n"
        "Exit status: 0 when the run was complete and reported nothing, 1 when it\n"
        "reported a message, 2 for bad usage, 128 + N when signal N cut it short.\n");
}
