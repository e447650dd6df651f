#include "ShellQuote.h"

#include <array>
#include <cstdio>

namespace {

// The length of the UTF-8 sequence that begins `text`, or 0 where it is no printable character.
std::size_t printableLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) {
        return lead >= 0x20 && lead != 0x7f ? 1 : 0;
    }
    const std::size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 ? 2 : 0;
    if (length == 0 || lead > 0xf4 || text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xc0) != 0x80) {
            return 0;
        }
    }
    // The C1 controls, U+0080 to U+009F, steer some terminals as ESC does.
    const bool c1 = lead == 0xc2 && static_cast<unsigned char>(text[1]) < 0xa0;
    return c1 ? 0 : length;
}

bool needsEscapes(std::string_view name) {
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = printableLength(name.substr(at));
        if (length == 0) {
            return true;
        }
        at += length;
    }
    return false;
}

std::string escaped(unsigned char byte) {
    constexpr std::string_view kNamed = "\aa\bb\tt\nn\vv\ff\rr";
    if (const auto named = kNamed.find(static_cast<char>(byte)); named % 2 == 0) {
        return std::string("\\") + kNamed[named + 1];
    }
    std::array<char, 8> octal{};
    std::snprintf(octal.data(), octal.size(), "\\%03o", byte);
    return octal.data();
}

} // namespace

std::string shellQuoted(std::string_view name, bool always) {
    if (!always && !needsEscapes(name)) {
        return std::string(name);
    }
    // Printable runs go in '...', control bytes in $'...', a quote as \'.
    enum class Span { None, Plain, Escapes } open = Span::None;
    std::string quoted;
    const auto enter = [&](Span span, const char* opening) {
        if (open != span) {
            quoted += open == Span::None ? "" : "'";
            quoted += opening;
            open = span;
        }
    };
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = printableLength(name.substr(at));
        if (length == 0) {
            enter(Span::Escapes, "$'");
            quoted += escaped(static_cast<unsigned char>(name[at]));
            ++at;
        } else if (name[at] == '\'') {
            enter(Span::None, "");
            quoted += "\\'";
            ++at;
        } else {
            enter(Span::Plain, "'");
            quoted += name.substr(at, length);
            at += length;
        }
    }
    return name.empty() ? "''" : open == Span::None ? quoted : quoted + "'";
}
