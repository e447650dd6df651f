#include "ShellQuote.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <iterator>

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// The lead bytes of well-formed UTF-8 and the range their second byte must take; the bytes
// after it are 80..BF. This leaves out overlong forms and encoded surrogates.
struct LeadBytes {
    unsigned char first;
    unsigned char last;
    unsigned char secondFirst;
    unsigned char secondLast;
    std::size_t length;
};
constexpr std::array<LeadBytes, 8> kWellFormed{{{0xc2, 0xdf, 0x80, 0xbf, 2},
                                                {0xe0, 0xe0, 0xa0, 0xbf, 3},
                                                {0xe1, 0xec, 0x80, 0xbf, 3},
                                                {0xed, 0xed, 0x80, 0x9f, 3},
                                                {0xee, 0xef, 0x80, 0xbf, 3},
                                                {0xf0, 0xf0, 0x90, 0xbf, 4},
                                                {0xf1, 0xf3, 0x80, 0xbf, 4},
                                                {0xf4, 0xf4, 0x80, 0x8f, 4}}};

// Characters that steer what a line looks like without being seen: the controls (Cc), the
// format characters (Cf: bidirectional overrides, zero widths, soft hyphen, tags) and the line
// and paragraph separators (Zl, Zp). Sorted, from Unicode 15.
constexpr std::array<Range, 23> kUnseen{
    {{0x00, 0x1f},       {0x7f, 0x9f},       {0xad, 0xad},       {0x600, 0x605},
     {0x61c, 0x61c},     {0x6dd, 0x6dd},     {0x70f, 0x70f},     {0x890, 0x891},
     {0x8e2, 0x8e2},     {0x180e, 0x180e},   {0x200b, 0x200f},   {0x2028, 0x202e},
     {0x2060, 0x2064},   {0x2066, 0x206f},   {0xfeff, 0xfeff},   {0xfff9, 0xfffb},
     {0x110bd, 0x110bd}, {0x110cd, 0x110cd}, {0x13430, 0x1343f}, {0x1bca0, 0x1bca3},
     {0x1d173, 0x1d17a}, {0xe0001, 0xe0001}, {0xe0020, 0xe007f}}};

bool isUnseen(char32_t code) {
    const auto* const after = std::ranges::upper_bound(kUnseen, code, {}, &Range::first);
    return after != kUnseen.begin() && code <= std::prev(after)->last;
}

// The length of the well-formed UTF-8 sequence that begins `text`, or 0.
std::size_t sequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    if (byte(0) < 0x80) {
        return 1;
    }
    const auto* const lead = std::ranges::find_if(kWellFormed, [&](const LeadBytes& row) {
        return byte(0) >= row.first && byte(0) <= row.last;
    });
    if (lead == kWellFormed.end() || text.size() < lead->length || byte(1) < lead->secondFirst ||
        byte(1) > lead->secondLast) {
        return 0;
    }
    for (std::size_t at = 2; at < lead->length; ++at) {
        if ((byte(at) & 0xc0) != 0x80) {
            return 0;
        }
    }
    return lead->length;
}

char32_t codeOf(std::string_view sequence) {
    const auto lead = static_cast<unsigned char>(sequence[0]);
    char32_t code = sequence.size() == 1 ? lead : lead & (0x7fU >> sequence.size());
    for (std::size_t at = 1; at < sequence.size(); ++at) {
        code = (code << 6U) | (static_cast<unsigned char>(sequence[at]) & 0x3fU);
    }
    return code;
}

// The length of the character that begins `text`, or 0 where its bytes must be escaped.
std::size_t printableLength(std::string_view text) {
    const std::size_t length = sequenceLength(text);
    return length == 0 || isUnseen(codeOf(text.substr(0, length))) ? 0 : length;
}

// What coreutils' shell-escape style quotes: characters a shell reads as special anywhere, or
// at the start of a word, or alone.
bool isShellSpecial(std::string_view name, std::size_t at) {
    constexpr std::string_view kAnywhere = " !\"$&'()*;<=>?[\\^`|";
    const char c = name[at];
    return kAnywhere.find(c) != std::string_view::npos || ((c == '#' || c == '~') && at == 0) ||
           ((c == '{' || c == '}') && name.size() == 1);
}

// Whether `name`, printable throughout, reads the same between double quotes, as coreutils
// then writes a name with a single quote in it: "it's".
bool fitsDoubleQuotes(std::string_view name) {
    constexpr std::string_view kInert = " %+,-./:@]_'";
    for (std::size_t at = 0; at < name.size(); ++at) {
        const auto c = static_cast<unsigned char>(name[at]);
        const bool inert = c >= 0x80 || std::isalnum(c) != 0 ||
                           kInert.find(name[at]) != std::string_view::npos ||
                           ((c == '#' || c == '~') && at == 0);
        if (!inert) {
            return false;
        }
    }
    return true;
}

enum class Needs { Nothing, Quotes, Escapes };

Needs needsOf(std::string_view name) {
    Needs needs = name.empty() ? Needs::Quotes : Needs::Nothing;
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = printableLength(name.substr(at));
        if (length == 0) {
            return Needs::Escapes;
        }
        needs = isShellSpecial(name, at) ? Needs::Quotes : needs;
        at += length;
    }
    return needs;
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

// Printable runs go in '...', escaped bytes in $'...', a quote as \'.
std::string singleQuoted(std::string_view name) {
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

} // namespace

std::string shellQuoted(std::string_view name, bool always) {
    const Needs needs = needsOf(name);
    if (needs == Needs::Nothing && !always) {
        return std::string(name);
    }
    if (needs != Needs::Escapes && name.find('\'') != std::string_view::npos &&
        fitsDoubleQuotes(name)) {
        return '"' + std::string(name) + '"';
    }
    return singleQuoted(name);
}
