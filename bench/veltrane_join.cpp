// Runs one combine through the real engine from the command line, for benchmarks and scripts.

#include "CombineEngine.h"
#include "ConsoleHost.h"

#include <charconv>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage = "usage: veltrane-join [--trace] [--plain-copy] [--stop-at-block N] "
                               "TARGET [--unchecked] SOURCE [[--unchecked] SOURCE ...]\n";

struct Options {
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
    while (!args.empty() && args.front().starts_with("--")) {
        const std::string_view flag = args.front();
        args.erase(args.begin());
        if (flag == "--trace") {
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
    if (!parseFlags(args, options) || args.empty()) {
        return std::nullopt;
    }
    options.target = args.front();
    args.erase(args.begin());
    if (!parseRows(args, options)) {
        return std::nullopt;
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    // A target past the file-size limit must fail as a write error, not kill the run.
    std::signal(SIGXFSZ, SIG_IGN);
    ConsoleHost host;
    host.setTarget(options->target);
    for (const auto& row : options->rows) {
        host.addRow(row.path, row.checked);
    }
    host.setTrace(options->trace);
    {
        CombineEngine engine(host);
        engine.SetPlainCopy(options->plainCopy);
        if (options->stopAtBlock > 0) {
            host.stopAtBlock(engine, options->stopAtBlock);
        }
        if (!engine.OnStart()) {
            return 1;
        }
        host.waitForNotices();
    }
    return host.showedMessage() ? 1 : 0;
}
