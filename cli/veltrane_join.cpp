// veltrane-join: joins files into one from the command line, on the window's engine.

#include "CombineEngine.h"
#include "ConsoleHost.h"

#include <charconv>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr const char* kUsage =
    "usage: veltrane-join [OPTIONS] TARGET [--unchecked] SOURCE [[--unchecked] SOURCE ...]\n";

constexpr const char* kHelp = R"(
Writes the SOURCE files back to back, in the order given, into TARGET, which is created or
emptied first. Nothing is added between the pieces and no format is read. Holes in sparse
sources stay holes in the target.

Options:
  -h, --help           show this help and exit
      --version        show the version and exit
      --quiet          no progress line, even on a terminal
      --trace          print each step of the progress bar ("range 0 B", "pos b") on
                       standard output, instead of the progress line
      --plain-copy     move every block through the buffer, never by in-kernel copy
      --stop-at-block N
                       stop the run as its N-th whole block (from 1) begins; that block is
                       still written
      --               end of the options: TARGET may begin with "-"
  --unchecked SOURCE   list SOURCE but leave it out of the run, like a row whose box is clear

On a terminal, standard error shows one progress line per source. A file that cannot be used
is reported as "veltrane-join: PATH: TEXT" on standard error, and the run ends with
"notice: combine end".

Exit status: 0 when the run reported nothing, 1 when it reported a message, 2 for bad usage.
)";

struct Options {
    bool help = false;
    bool version = false;
    bool quiet = false;
    bool trace = false;
    bool plainCopy = false;
    std::uint64_t stopAtBlock = 0;
    std::string target;
    struct Row {
        std::string path;
        bool checked = true;
    };
    std::vector<Row> rows;
};

std::optional<std::uint64_t> parseCount(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value == 0) {
        return std::nullopt;
    }
    return value;
}

bool parseFlags(std::vector<std::string_view>& args, Options& options) {
    while (!args.empty() && args.front().starts_with("-") && args.front().size() > 1 &&
           args.front() != "--unchecked") {
        const std::string_view flag = args.front();
        args.erase(args.begin());
        if (flag == "--") {
            break;
        }
        if (flag == "-h" || flag == "--help") {
            options.help = true;
        } else if (flag == "--version") {
            options.version = true;
        } else if (flag == "--quiet") {
            options.quiet = true;
        } else if (flag == "--trace") {
            options.trace = true;
        } else if (flag == "--plain-copy") {
            options.plainCopy = true;
        } else if (flag == "--stop-at-block" && !args.empty()) {
            const auto count = parseCount(args.front());
            if (!count) {
                return false;
            }
            options.stopAtBlock = *count;
            args.erase(args.begin());
        } else {
            return false;
        }
    }
    return true;
}

bool parseRows(const std::vector<std::string_view>& args, Options& options) {
    bool checked = true;
    for (const std::string_view arg : args) {
        if (arg == "--unchecked" && checked) {
            checked = false;
            continue;
        }
        options.rows.push_back({std::string(arg), checked});
        checked = true;
    }
    return checked && !options.rows.empty();
}

std::optional<Options> parseOptions(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    Options options;
    if (!parseFlags(args, options)) {
        return std::nullopt;
    }
    if (options.help || options.version) {
        return options;
    }
    if (args.empty()) {
        return std::nullopt;
    }
    options.target = args.front();
    args.erase(args.begin());
    if (!parseRows(args, options)) {
        return std::nullopt;
    }
    return options;
}

bool isTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

int join(const Options& options) {
#ifdef SIGXFSZ
    // A target past the file-size limit must fail as a write error, not kill the run.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    ConsoleHost host;
    host.setTarget(options.target);
    for (const auto& row : options.rows) {
        host.addRow(row.path, row.checked);
    }
    host.setTrace(options.trace);
    // The trace shares the terminal; a line redrawn in place would run into it.
    if (!options.quiet && !options.trace && isTerminal(stderr)) {
        host.showProgressOn(stderr);
    }
    {
        CombineEngine engine(host);
        engine.SetPlainCopy(options.plainCopy);
        if (options.stopAtBlock > 0) {
            host.stopAtBlock(engine, options.stopAtBlock);
        }
        if (!engine.OnStart()) {
            return 1;
        }
        host.waitForNotices();
    }
    return host.showedMessage() ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        std::fputs("Try 'veltrane-join --help' for more.\n", stderr);
        return 2;
    }
    if (options->help) {
        std::printf("%s%s", kUsage, kHelp);
        return 0;
    }
    if (options->version) {
        std::printf("veltrane-join %s\n", VELTRANE_VERSION);
        return 0;
    }
    return join(*options);
}
