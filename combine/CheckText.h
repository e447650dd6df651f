#pragma once

#include "RunMessage.h"
#include "RunOutcome.h"

#include <functional>
#include <string>
#include <vector>

// The words of a target's check, alike in every host: each name quoted by `quote`, each text
// of its own put into the user's language by `translate`.
namespace CheckText {
using Quote = std::function<std::string(const std::string&)>;
using Translate = std::function<std::string(const char*)>;

// What follows a mismatch's text, a line each: the checksum file and both digests.
std::vector<std::string> MismatchLines(const RunMessage& message, const Quote& quote,
                                       const Translate& translate);
// The line under "combine end" for `outcome`, naming the checksum file of a checked run;
// empty for a complete run.
std::string OutcomeText(RunOutcome outcome, const std::string& checksumFile, const Quote& quote,
                        const Translate& translate);
} // namespace CheckText
