#include "Console.h"

#include <unistd.h>

bool Console::canRedrawLine(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}
