#pragma once

#include "JoinFinding.h"

#include <functional>
#include <string>
#include <vector>

// The question both windows ask when the check before a run found something: a line for each
// of the first ten findings, one saying how many more there are, then "Join anyway?". The
// windows offer Yes and No, No the default; each line is translated on its own.
namespace JoinQuestion {
using Quote = std::function<std::string(const std::string&)>;
using Translate = std::function<std::string(const char*)>;

constexpr std::size_t kMostFindingsShown = 10;

std::vector<std::string> Lines(const std::vector<JoinFinding>& findings, const Quote& quote,
                               const Translate& translate);
} // namespace JoinQuestion
