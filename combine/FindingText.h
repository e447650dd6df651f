#pragma once

#include "JoinFinding.h"

#include <functional>
#include <string>

// One line of text about `finding`, in the user's language, each name quoted by `quote`.
std::string FindingText(const JoinFinding& finding,
                        const std::function<std::string(const std::string&)>& quote);
