#pragma once

#include "JoinFinding.h"
#include "SourceFacts.h"

#include <vector>

// The numbered series among the ticked rows, and what is missing, twice, out of order, left
// out or of another length in each. Reads each series' folder once.
namespace SeriesRule {
std::vector<JoinFinding> Findings(const std::vector<SourceFacts>& rows);
} // namespace SeriesRule
