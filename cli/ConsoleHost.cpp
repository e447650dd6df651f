#include "ConsoleHost.h"

#include "Catalog.h"
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
#else
constexpr std::string_view kSeparators = "/";
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
    if (m_progress) {
        m_progress->begin(m_sourceLength);
    }
}

void ConsoleHost::setProgressPosition(std::uint32_t position) {
    LineHost::setProgressPosition(position);
    if (m_progress) {
        m_progress->update(position);
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
    m_stopped = outcome == RunOutcome::Stopped || stoppedUnchanged;
    m_stoppedBy = m_stopped ? m_stopSignal.load() : 0;
    if (m_progress) {
        m_progress->finish(progressOutcome(outcome));
    }
    // The trace on standard output is complete before anyone waiting for the end goes on.
    noteTraceResult(std::fflush(stdout) == 0);
    if (m_stopped) {
        const char* said = stoppedUnchanged ? Translatable("stopped: %s was not changed")
                                            : Translatable("stopped: %s is incomplete");
        writeMessageLine(kProgram +
                         TextFill::Fill(Catalog::Translated(said), {shellQuoted(targetBoxText())}));
    }
    LineHost::showApplicationNotice(Catalog::Translated(text.c_str()), outcome);
}

ProgressLine::Outcome ConsoleHost::progressOutcome(RunOutcome outcome) const {
    switch (outcome) {
    case RunOutcome::Complete:
        return ProgressLine::Outcome::Complete;
    case RunOutcome::Stopped:
        return ProgressLine::Outcome::Stopped;
    default:
        return m_walkEnded ? ProgressLine::Outcome::Failed : ProgressLine::Outcome::PieceFailed;
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
    return kProgram + path + Catalog::Translated(message.text()) +
           (reason.empty() ? "" : ": " + reason);
}
