#include "CommandLine.h"

#include "Catalog.h"
#include "ShellQuote.h"
#include "TextFill.h"

#include <array>
#include <charconv>
#include <getopt.h>
#include <optional>
#include <string_view>

namespace {

enum LongOnly : int {
    kVersion = 256,
    kTrace,
    kPlainCopy,
    kStopAtBlock,
    kUnchecked,
    kJoinAnyway,
    kCheckAgainst,
    kNoChecksumSearch,
    kSha256
};

const std::array<option, 13> kLongOptions{{
    {"help", no_argument, nullptr, 'h'},
    {"force", no_argument, nullptr, 'f'},
    {"version", no_argument, nullptr, kVersion},
    {"quiet", no_argument, nullptr, 'q'},
    {"trace", no_argument, nullptr, kTrace},
    {"plain-copy", no_argument, nullptr, kPlainCopy},
    {"stop-at-block", required_argument, nullptr, kStopAtBlock},
    {"unchecked", no_argument, nullptr, kUnchecked},
    {"join-anyway", no_argument, nullptr, kJoinAnyway},
    {"check-against", required_argument, nullptr, kCheckAgainst},
    {"no-checksum-search", no_argument, nullptr, kNoChecksumSearch},
    {"sha256", no_argument, nullptr, kSha256},
    {nullptr, 0, nullptr, 0},
}};

// "-" first: operands come back in place, as option 1, so that "--unchecked" can mark the one
// after it. ":" next: a missing argument is told apart from an unknown option.
constexpr const char* kShortOptions = "-:hfq";

std::optional<std::uint64_t> blockCount(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value == 0) {
        return std::nullopt;
    }
    return value;
}

const option* longOptionFor(int value) {
    for (const option& entry : kLongOptions) {
        if (entry.name != nullptr && entry.val == value) {
            return &entry;
        }
    }
    return nullptr;
}

// getopt_long's own words, which it may not print itself: it would name the program by argv[0].
std::string optionError(int code, const char* argument) {
    if (const option* known = longOptionFor(optopt); known != nullptr && optopt != 0) {
        const std::string name = std::string("'--") + known->name + "'";
        const char* format = known->has_arg == required_argument && code == ':'
                                 ? Catalog::Translated("option %s requires an argument")
                                 : Catalog::Translated("option %s doesn't allow an argument");
        return TextFill::Fill(format, {name});
    }
    if (optopt != 0) {
        const char option = static_cast<char>(optopt);
        return TextFill::Fill(Catalog::Translated("invalid option -- '%s'"), {{&option, 1}});
    }
    return TextFill::Fill(Catalog::Translated("unrecognized option %s"),
                          {shellQuoted(argument, true)});
}

class Reader {
public:
    // False once the reading is over: an error, --help or --version.
    bool option(int code, const char* argument);
    void operand(const char* argument);
    void finish();

    CommandLine result;

private:
    bool m_unchecked = false;
    bool m_haveTarget = false;
};

bool Reader::option(int code, const char* argument) {
    JoinOptions& options = result.options;
    switch (code) {
    case 1:
        operand(argument);
        break;
    case 'h':
        options.help = true;
        return false;
    case kVersion:
        options.version = true;
        return false;
    case 'f':
        options.force = true;
        break;
    case 'q':
        options.quiet = true;
        break;
    case kTrace:
        options.trace = true;
        break;
    case kPlainCopy:
        options.plainCopy = true;
        break;
    case kJoinAnyway:
        options.joinAnyway = true;
        break;
    case kUnchecked:
        m_unchecked = true;
        break;
    case kCheckAgainst:
        options.checkAgainst = argument;
        if (options.checkAgainst.empty()) {
            result.error = TextFill::Fill(Catalog::Translated("invalid checksum file: %s"),
                                          {shellQuoted(argument, true)});
        }
        break;
    case kNoChecksumSearch:
        options.checksumSearch = false;
        break;
    case kSha256:
        options.printSha256 = true;
        break;
    case kStopAtBlock:
        if (const auto count = blockCount(argument)) {
            options.stopAtBlock = *count;
        } else {
            result.error = TextFill::Fill(Catalog::Translated("invalid number of blocks: %s"),
                                          {shellQuoted(argument, true)});
        }
        break;
    default:
        result.error = optionError(code, argument);
        break;
    }
    return result.error.empty();
}

void Reader::operand(const char* argument) {
    if (!result.error.empty()) {
        return;
    }
    if (!m_haveTarget) {
        if (m_unchecked) {
            result.error = TextFill::Fill(
                Catalog::Translated("'--unchecked' applies to a SOURCE, not to TARGET %s"),
                {shellQuoted(argument, true)});
            return;
        }
        result.options.target = argument;
        m_haveTarget = true;
        return;
    }
    result.options.rows.push_back({argument, !m_unchecked});
    m_unchecked = false;
}

void Reader::finish() {
    if (!result.error.empty()) {
        return;
    }
    if (!m_haveTarget) {
        result.error = Catalog::Translated("missing operand");
    } else if (m_unchecked) {
        result.error = Catalog::Translated("missing SOURCE operand after '--unchecked'");
    } else if (result.options.rows.empty()) {
        result.error = TextFill::Fill(Catalog::Translated("missing SOURCE operand after %s"),
                                      {shellQuoted(result.options.target, true)});
    }
}

} // namespace

CommandLine CommandLine::parse(int argc, char** argv) {
    Reader reader;
    opterr = 0;
    // 0, not 1: only then does getopt forget where it was inside an earlier line's "-abc".
    optind = 0;
    int code = 0;
    while ((code = getopt_long(argc, argv, kShortOptions, kLongOptions.data(), nullptr)) != -1) {
        const bool takesValue = code == 1 || code == kStopAtBlock || code == kCheckAgainst;
        if (!reader.option(code, takesValue ? optarg : argv[optind - 1])) {
            return reader.result;
        }
    }
    // After "--", every argument is an operand, even one that begins with "-".
    for (int at = optind; at < argc; ++at) {
        reader.operand(argv[at]);
    }
    reader.finish();
    return reader.result;
}
