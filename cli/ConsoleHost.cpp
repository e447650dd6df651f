#include "ConsoleHost.h"

#include "Catalog.h"
#include "CheckText.h"
#include "CombineEngine.h"
#include "Console.h"
#include "FindingText.h"
#include "ShellQuote.h"
#include "TextFill.h"
#include "TextMark.h"

#include <cerrno>
#include <cstdio>
#include <string_view>

namespace {

const char* const kProgram = "veltrane-join: ";
#ifdef _WIN32
constexpr std::string_view kSeparators = "/\\";
constexpr bool kBackslashSeparates = true;
#else
constexpr std::string_view kSeparators = "/";
constexpr bool kBackslashSeparates = false;
#endif

// What the engine's text leaves out, for a user at a shell: which row, or the system's reason.
std::string reasonOf(const RunMessage& message) {
    switch (message.kind) {
    case RunMessage::Kind::TargetIsSource:
        return TextFill::Fill(Catalog::Translated("also listed as source %s"),
                              {shellQuoted(message.otherPath)});
    case RunMessage::Kind::TargetNotEmpty:
        return Catalog::Translated("not empty; -f or --force replaces it");
    case RunMessage::Kind::SourceEndedEarly:
        return Catalog::Translated("ended before its length; the rest of its span is zeros");
    case RunMessage::Kind::SourceGrew:
        return Catalog::Translated(
            "grew during the run; the bytes past its first length are not in the target");
    case RunMessage::Kind::ChecksumMismatch: {
        std::string lines;
        for (const std::string& line : CheckText::MismatchLines(
                 message, [](const std::string& name) { return shellQuoted(name); },
                 [](const char* text) { return std::string(Catalog::Translated(text)); })) {
            lines.append("\n  ").append(line);
        }
        return lines;
    }
    default:
        break;
    }
    std::string reason = message.error ? message.error.message() : std::string();
    // Some systems end their reasons with a full stop and a line break.
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == '.' || reason.back() == ' ')) {
        reason.pop_back();
    }
    return reason;
}

// A name as sha256sum prints it: with a backslash before the digest when it needs escapes.
// Backslashes separate the folders of a Windows path and are left as they are there.
std::string checksumLine(const std::string& digest, const std::string& name) {
    std::string escaped;
    for (const char c : name) {
        escaped.append(c == '\\' && !kBackslashSeparates ? R"(\\)"
                       : c == '\n'                       ? R"(\n)"
                       : c == '\r'                       ? R"(\r)"
                                                         : std::string(1, c));
    }
    return (escaped == name ? "" : "\\") + digest + "  " + escaped + "\n";
}

} // namespace

void ConsoleHost::showProgressOn(std::FILE* terminal) {
    m_progress = std::make_unique<ProgressLine>(terminal);
}

void ConsoleHost::stopForSignal(CombineEngine& engine, int number) {
    m_stopSignal = number;
    m_stoppedEngine = &engine;
    engine.OnStop();
}

std::vector<ListedRow> ConsoleHost::listedRows() {
    // The run asks once it holds the target, before it empties it.
    if (CombineEngine* engine = m_stoppedEngine) {
        engine->OnStop();
    }
    return LineHost::listedRows();
}

void ConsoleHost::runPlanned(const std::vector<SourceFacts>& pieces) {
    m_walkEnded = false;
    m_checking = false;
    if (m_progress) {
        m_progress->plan(pieces);
    }
}

std::string ConsoleHost::rowPath(int row) {
    std::string path = LineHost::rowPath(row);
    if (m_progress) {
        const std::size_t slash = path.find_last_of(kSeparators);
        m_progress->reachPiece(
            shellQuoted(slash == std::string::npos ? path : path.substr(slash + 1)));
    }
    return path;
}

void ConsoleHost::setSourceLength(std::uint64_t length) {
    m_sourceLength = length;
}

void ConsoleHost::setProgressRange(std::uint32_t lower, std::uint32_t upper) {
    LineHost::setProgressRange(lower, upper);
    if (m_progress && !m_checking) {
        m_progress->begin(m_sourceLength);
    }
}

void ConsoleHost::setProgressPosition(std::uint32_t position) {
    LineHost::setProgressPosition(position);
    if (m_progress && !m_checking) {
        m_progress->update(position);
    }
}

void ConsoleHost::checkingTarget(std::uint64_t /*length*/) {
    // The join is complete: its summary stands, and the reading back draws no line of its own.
    if (m_progress) {
        m_progress->finish(ProgressLine::Outcome::Complete);
    }
    m_checking = true;
}

void ConsoleHost::targetDigested(const TargetDigest& digest) {
    LineHost::targetDigested(digest);
    if (digest.algorithm == Digest::Algorithm::Sha256) {
        m_sha256 = digest.hex;
    }
    if (!digest.checksumFile.empty()) {
        m_checksumFile = digest.checksumFile;
    }
}

void ConsoleHost::showWindowMessage(const RunMessage& message) {
    using Kind = RunMessage::Kind;
    // A piece that would not open, ended short or grew leaves the walk going.
    const Kind kind = message.kind;
    m_walkEnded = m_walkEnded || (kind != Kind::OpenSource && kind != Kind::SourceEndedEarly &&
                                  kind != Kind::SourceGrew);
    // The message stands on a line of its own, the run's line below it.
    if (m_progress) {
        m_progress->clear();
    }
    LineHost::showWindowMessage(message);
    if (m_progress) {
        m_progress->redraw();
    }
}

bool ConsoleHost::askToJoinAnyway(const std::vector<JoinFinding>& findings) {
    for (const JoinFinding& finding : findings) {
        writeMessageLine(kProgram +
                         FindingText(
                             finding, [](const std::string& name) { return shellQuoted(name); },
                             [](const char* text) { return Catalog::Translated(text); }));
    }
    const bool join = LineHost::joinsAnyway();
    m_declined = !join;
    return join;
}

void ConsoleHost::showApplicationNotice(const std::string& text, RunOutcome outcome) {
    // A refused run said why; one that ended unchanged without a word was stopped.
    const bool stoppedUnchanged =
        outcome == RunOutcome::Unchanged && !showedMessage() && !m_declined;
    // A check that ended without a word was stopped.
    const bool checkStopped = outcome == RunOutcome::NotChecked && !showedMessage();
    m_stopped = outcome == RunOutcome::Stopped || stoppedUnchanged || checkStopped;
    m_stoppedBy = m_stopped ? m_stopSignal.load() : 0;
    if (m_progress) {
        m_progress->finish(progressOutcome(outcome));
    }
    // The digest follows the trace, and both are complete before anyone waiting goes on.
    if (m_printSha256 && !m_sha256.empty() && outcome != RunOutcome::NotChecked) {
        noteTraceResult(Console::write(stdout, checksumLine(m_sha256, targetBoxText())));
    }
    noteTraceResult(std::fflush(stdout) == 0);
    if (m_stopped && !checkStopped) {
        const char* said = stoppedUnchanged ? Translatable("stopped: %s was not changed")
                                            : Translatable("stopped: %s is incomplete");
        writeMessageLine(kProgram +
                         TextFill::Fill(Catalog::Translated(said), {shellQuoted(targetBoxText())}));
    }
    tellCheck(outcome);
    LineHost::showApplicationNotice(Catalog::Translated(text.c_str()), outcome);
}

ProgressLine::Outcome ConsoleHost::progressOutcome(RunOutcome outcome) const {
    switch (outcome) {
    case RunOutcome::Complete:
    case RunOutcome::Checked:
    case RunOutcome::NotChecked:
    case RunOutcome::Mismatch:
        return ProgressLine::Outcome::Complete;
    case RunOutcome::Stopped:
        return ProgressLine::Outcome::Stopped;
    default:
        return m_walkEnded ? ProgressLine::Outcome::Failed : ProgressLine::Outcome::PieceFailed;
    }
}

void ConsoleHost::tellCheck(RunOutcome outcome) {
    if (outcome != RunOutcome::Checked && outcome != RunOutcome::NotChecked) {
        return;
    }
    const std::string line = CheckText::OutcomeText(
        outcome, m_checksumFile, [](const std::string& name) { return shellQuoted(name); },
        [](const char* text) { return std::string(Catalog::Translated(text)); });
    // A stopped check is worth saying even to -q: the run's exit status tells of a stop.
    if (outcome == RunOutcome::NotChecked) {
        writeMessageLine(kProgram + shellQuoted(targetBoxText()) + ": " + line);
    } else {
        writeNoticeLine(kProgram + shellQuoted(targetBoxText()) + ": " + line);
    }
}

void ConsoleHost::writeProgressLine(const std::string& line) {
    if (m_trace) {
        noteTraceResult(Console::write(stdout, line + "\n"));
    }
}

void ConsoleHost::noteTraceResult(bool written) {
    // The first failure's reason: later ones follow from it.
    int none = 0;
    if (!written) {
        m_traceError.compare_exchange_strong(none, errno);
    }
}

void ConsoleHost::writeMessageLine(const std::string& line) {
    Console::write(stderr, line + "\n");
}

void ConsoleHost::writeNoticeLine(const std::string& line) {
    if (!m_quiet) {
        writeMessageLine(line);
    }
}

std::string ConsoleHost::messageLine(const RunMessage& message) {
    const std::string path = message.path.empty() ? "" : shellQuoted(message.path) + ": ";
    const std::string reason = reasonOf(message);
    // A reason of its own lines follows the text without a colon.
    const std::string separator = reason.empty() || reason.front() == '\n' ? "" : ": ";
    return kProgram + path + Catalog::Translated(message.text()) + separator + reason;
}
