#pragma once

#include "JoinFinding.h"

#include <functional>
#include <string>

// One line of text about `finding`, each name quoted by `quote` and each text of its own put
// into the user's language by `translate`, as the host shows its texts.
std::string FindingText(const JoinFinding& finding,
                        const std::function<std::string(const std::string&)>& quote,
                        const std::function<std::string(const char*)>& translate);
