#include "RunBoxText.h"

#include "CheckText.h"
#include "ShellQuote.h"

namespace {

std::string quoted(const std::string& name) {
    return shellQuoted(name);
}

} // namespace

std::string RunBoxText::Message(const RunMessage& message, const Translate& translate) {
    std::string text = translate(message.text());
    if (message.kind == RunMessage::Kind::ChecksumMismatch) {
        for (const std::string& line : CheckText::MismatchLines(message, quoted, translate)) {
            text.append("\n").append(line);
        }
    }
    return text;
}

std::string RunBoxText::Notice(const std::string& text, RunOutcome outcome,
                               const std::string& checksumFile, const Translate& translate) {
    std::string shown = translate(text.c_str());
    const std::string line = CheckText::OutcomeText(outcome, checksumFile, quoted, translate);
    if (!line.empty()) {
        shown.append("\n").append(line);
    }
    return shown;
}
