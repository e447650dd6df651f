#include "TerminalText.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

constexpr std::size_t kDefaultColumns = 80;
constexpr std::string_view kEllipsis = "...";

struct Glyph {
    std::string_view bytes;
    std::size_t columns;
};

bool isWide(char32_t code) {
    constexpr std::array<std::pair<char32_t, char32_t>, 8> kWide{{{0x1100, 0x115f},
                                                                  {0x2e80, 0xa4cf},
                                                                  {0xac00, 0xd7a3},
                                                                  {0xf900, 0xfaff},
                                                                  {0xfe30, 0xfe4f},
                                                                  {0xff00, 0xff60},
                                                                  {0xffe0, 0xffe6},
                                                                  {0x20000, 0x3fffd}}};
    return std::ranges::any_of(
        kWide, [code](const auto& range) { return code >= range.first && code <= range.second; });
}

std::vector<Glyph> glyphsOf(std::string_view text) {
    std::vector<Glyph> glyphs;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 1;
        const std::string_view bytes = text.substr(at, length);
        char32_t code = length == 1 ? lead : lead & (0x3fU >> (length - 1));
        for (std::size_t i = 1; i < bytes.size(); ++i) {
            code = (code << 6U) | (static_cast<unsigned char>(bytes[i]) & 0x3fU);
        }
        glyphs.push_back({bytes, isWide(code) ? 2U : 1U});
        at += bytes.size();
    }
    return glyphs;
}

} // namespace

std::size_t displayWidth(std::string_view text) {
    std::size_t columns = 0;
    for (const Glyph& glyph : glyphsOf(text)) {
        columns += glyph.columns;
    }
    return columns;
}

std::string leadingColumns(std::string_view text, std::size_t columns) {
    std::string head;
    for (const Glyph& glyph : glyphsOf(text)) {
        if (glyph.columns > columns) {
            break;
        }
        head += glyph.bytes;
        columns -= glyph.columns;
    }
    return head;
}

std::string middleShortened(std::string_view text, std::size_t columns) {
    if (displayWidth(text) <= columns) {
        return std::string(text);
    }
    if (columns < kEllipsis.size()) {
        return std::string(kEllipsis.substr(0, columns));
    }
    const std::vector<Glyph> glyphs = glyphsOf(text);
    const std::size_t room = columns - kEllipsis.size();
    // The end of a name, its number or extension, is what tells pieces apart: it gets the odd
    // column.
    const std::size_t headRoom = room / 2;
    std::size_t tailRoom = room - headRoom;
    const std::string head = leadingColumns(text, headRoom);
    std::string tail;
    for (std::size_t i = glyphs.size(); i > 0 && glyphs[i - 1].columns <= tailRoom; --i) {
        tail.insert(0, glyphs[i - 1].bytes);
        tailRoom -= glyphs[i - 1].columns;
    }
    return head + std::string(kEllipsis) + tail;
}

std::size_t terminalColumns(std::FILE* stream) {
#ifdef _WIN32
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const auto console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (GetConsoleScreenBufferInfo(console, &info) != 0) {
        return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
    }
#else
    winsize size{};
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
#endif
    return kDefaultColumns;
}
