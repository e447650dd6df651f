#pragma once

#include "RunMessage.h"
#include "RunOutcome.h"

#include <functional>
#include <string>

// The text of the boxes a run shows, alike in both windows; each line translated on its own
// by `translate`, names quoted by the one quoting function.
namespace RunBoxText {
using Translate = std::function<std::string(const char*)>;

// A message's text; a mismatch adds the checksum file and both digests, a line each.
std::string Message(const RunMessage& message, const Translate& translate);
// "combine end" and, unless the run was complete, a line with its outcome: for a checked
// target, naming the checksum file.
std::string Notice(const std::string& text, RunOutcome outcome, const std::string& checksumFile,
                   const Translate& translate);
} // namespace RunBoxText
