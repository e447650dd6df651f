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
#include <utility>
#include <vector>

namespace {

// The options meant for tests are left to the manual page.
constexpr const char* kHelp = Translatable(
    "Usage: veltrane-join [OPTION]... TARGET [--unchecked] SOURCE...\n"
    "Write the SOURCE files back to back, in the order given, into TARGET. Nothing\n"
    "is added between the pieces and no format is read. Holes in sparse sources\n"
    "stay holes in the target.\n"
    "\n"
    "TARGET is created when it is absent or empty. One that holds data is left as it\n"
    "is, unless --force is given; a TARGET that is also a SOURCE is never written.\n"
    "\n"
    "Options may stand anywhere before \"--\"; after it, each argument is a file name.\n"
    "  -f, --force        empty and replace a TARGET that holds data\n"
    "      --join-anyway  join even where the check before writing finds a piece\n"
    "                     missing or out of order, volumes of a format, no room\n"
    "      --unchecked    leave out the SOURCE that follows, like a row whose box is\n"
    "                     clear\n"
    "      --check-against=FILE  check the finished TARGET against the checksum that\n"
    "                     FILE gives for it (GNU or BSD lines, .sfv)\n"
    "      --no-checksum-search  look for no checksum beside TARGET or the first\n"
    "                     SOURCE (TARGET.sha256, SHA256SUMS, MD5SUMS, .sfv, ...)\n"
    "      --sha256       print TARGET's SHA-256 as read back, as sha256sum does\n"
    "  -q, --quiet        print nothing but errors: no progress line, no notice\n"
    "      --plain-copy   move every block through memory, never by the system's\n"
    "                     file-to-file copy, so that no extent is shared\n"
    "  -h, --help         show this help and exit\n"
    "      --version      show the version and exit\n"
    "\n"
    "A complete TARGET is read back from the disk and checked when a checksum is\n"
    "found for it; a mismatch is an error.\n"
    "\n"
    "On a terminal, standard error shows the run's progress. A file that cannot be\n"
    "used is reported as \"veltrane-join: PATH: TEXT: REASON\" on standard error, and\n"
    "the run ends with \"notice: combine end\".\n"
    "\n"
    "The manual page, veltrane-join(1), also describes the options meant for tests.\n");

int usageError(const std::string& error) {
    Console::write(
        stderr, "veltrane-join: " + error + "\n" +
                    Catalog::Translated("Try 'veltrane-join --help' for more information.") + "\n");
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
    Console::write(stderr, std::string("veltrane-join: ") + Catalog::Translated("write error") +
                               (error != 0 ? std::string(": ") + std::strerror(error) : "") + "\n");
    return status != 0 ? status : 1;
}

int exitStatus(const ConsoleHost& host) {
    if (host.stoppedBySignal() != 0) {
        return 128 + host.stoppedBySignal();
    }
    return host.stopped() || host.showedMessage() || host.declined() ? 1 : 0;
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
    host.setJoinAnyway(options.joinAnyway);
    // The trace shares the terminal; a line redrawn in place would run into it.
    if (!options.quiet && !options.trace && Console::canRedrawLine(stderr)) {
        host.showProgressOn(stderr);
    }
    {
        CombineEngine engine(host);
        engine.SetPlainCopy(options.plainCopy);
        engine.SetRefuseNonEmptyTarget(!options.force);
        engine.SetStopAtBlock(options.stopAtBlock);
        CombineEngine::CheckOptions check{options.checkAgainst, options.checksumSearch, {}};
        if (options.printSha256) {
            check.shown.push_back(Digest::Algorithm::Sha256);
            host.printSha256();
        }
        engine.SetCheck(std::move(check));
        const StopSignals signals([&](int number) { host.stopForSignal(engine, number); });
        if (!engine.OnStart()) {
            return 1;
        }
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
        Console::write(stdout, std::string(Catalog::Translated(kHelp)) + "\n" +
                                   Catalog::Translated(Console::stopHelp()));
        return closeStdout(0);
    }
    if (options.version) {
        Console::write(stdout, "veltrane-join " VELTRANE_VERSION "\n");
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
