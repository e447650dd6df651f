// veltrane-join: joins files into one from the command line, on the window's engine.

#include "Catalog.h"
#include "CombineEngine.h"
#include "CommandLine.h"
#include "Console.h"
#include "ConsoleHost.h"
#include "StopSignals.h"
#include "TextFill.h"
#include "TextMark.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kHelp = Translatable(
    "Usage: veltrane-join [OPTION]... TARGET [--unchecked] SOURCE...\n"
    "Write the SOURCE files back to back, in the order given, into TARGET. Nothing is added\n"
    "between the pieces and no format is read. Holes in sparse sources stay holes in the target.\n"
    "\n"
    "TARGET is created when it is absent or empty. One that holds data is left as it is, unless\n"
    "--force is given; a TARGET that is also a SOURCE is never written.\n"
    "\n"
    "Options may stand anywhere before \"--\"; after it, every argument is a file name.\n"
    "  -f, --force          empty and replace a TARGET that holds data\n"
    "      --unchecked      leave out the SOURCE that follows, like a row whose box is clear\n"
    "      --quiet          print nothing but errors: no progress line, no notice\n"
    "      --trace          print each step of the progress bar (\"range 0 B\", \"pos b\") on\n"
    "                       standard output, instead of the progress line\n"
    "      --plain-copy     move every block through the buffer, never by in-kernel copy\n"
    "      --stop-at-block=N\n"
    "                       stop the run as its N-th whole block (from 1) begins; that block is\n"
    "                       still written\n"
    "  -h, --help           show this help and exit\n"
    "      --version        show the version and exit\n"
    "\n"
    "On a terminal, standard error shows one progress line per source. A file that cannot be used\n"
    "is reported as \"veltrane-join: PATH: TEXT: REASON\" on standard error, and the run ends "
    "with\n"
    "\"notice: combine end\".\n"
    "\n"
    "The first SIGINT, SIGTERM or SIGHUP stops the run after the block being copied; a second one\n"
    "ends the program at once. A run stopped with blocks or files left, or a failed one, leaves\n"
    "TARGET incomplete; a stop that comes after the last block leaves the run complete.\n"
    "\n"
    "Exit status: 0 when the run was complete and reported nothing, 1 when it reported a message "
    "or\n"
    "--stop-at-block cut it short, 2 for bad usage, 128 + N when signal N cut it short.\n");

int usageError(const std::string& error) {
    std::fprintf(stderr, "veltrane-join: %s\n%s\n", error.c_str(),
                 Catalog::Translated("Try 'veltrane-join --help' for more information."));
    return 2;
}

// What was printed must have reached standard output: a full disk or a closed pipe is an error.
// `earlier` is the reason of a failure seen before, whose buffer is gone.
int closeStdout(int status, int earlier = 0) {
    errno = 0;
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) {
        return status;
    }
    const int error = errno != 0 ? errno : earlier;
    std::fprintf(stderr, "veltrane-join: %s%s%s\n", Catalog::Translated("write error"),
                 error != 0 ? ": " : "", error != 0 ? std::strerror(error) : "");
    return status != 0 ? status : 1;
}

int exitStatus(const ConsoleHost& host) {
    if (host.stoppedBySignal() != 0) {
        return 128 + host.stoppedBySignal();
    }
    return host.stopped() || host.showedMessage() ? 1 : 0;
}

int join(const JoinOptions& options) {
    // What reads a trace must find the same texts in every locale.
    if (options.trace) {
        Catalog::Close();
    }
    ConsoleHost host;
    host.setTarget(options.target);
    for (const auto& row : options.rows) {
        host.addRow(row.path, row.checked);
    }
    host.setTrace(options.trace);
    host.setQuiet(options.quiet);
    // The trace shares the terminal; a line redrawn in place would run into it.
    if (!options.quiet && !options.trace && Console::canRedrawLine(stderr)) {
        host.showProgressOn(stderr);
    }
    {
        CombineEngine engine(host);
        engine.SetPlainCopy(options.plainCopy);
        engine.SetRefuseNonEmptyTarget(!options.force);
        engine.SetStopAtBlock(options.stopAtBlock);
        host.showRunOf(engine);
        const StopSignals signals([&](int number) { host.stopForSignal(engine, number); });
        if (!engine.OnStart()) {
            return 1;
        }
        host.keepEarlyStop(engine);
        host.waitForNotices();
    }
    return closeStdout(exitStatus(host), host.traceError());
}

int run(std::vector<std::string> arguments) {
#ifndef _WIN32
    // A target past the file-size limit, or standard output into a closed pipe, must fail as a
    // write error with its reason, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
#endif
    Catalog::Open(LanguageChoice::Unnamed::English);
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const CommandLine commandLine =
        CommandLine::parse(static_cast<int>(arguments.size()), argv.data());
    if (!commandLine.error.empty()) {
        return usageError(commandLine.error);
    }
    const JoinOptions& options = commandLine.options;
    if (options.help) {
        std::fputs(Catalog::Translated(kHelp), stdout);
        return closeStdout(0);
    }
    if (options.version) {
        std::printf("veltrane-join %s\n", VELTRANE_VERSION);
        return closeStdout(0);
    }
    return join(options);
}

} // namespace

#ifdef _WIN32
// The narrow arguments are in the process's code page, which is UTF-8 only where the system
// honours the manifest; the wide ones hold any name on every version.
int wmain(int argc, wchar_t** argv) {
    return run(Console::utf8Arguments(argc, argv));
}
#else
int main(int argc, char** argv) {
    return run({argv, argv + argc});
}
#endif
