#pragma once

#include <string>
#include <string_view>

// A name as coreutils shows it in a message, which a shell reads back as the same name: as it
// stands where it needs nothing, 'a b' where a shell would split or expand it, "it's" where it
// holds a single quote, and 'a'$'\n''b' with octal escapes for every byte that could steer the
// terminal or the reading order: controls, format characters, line and paragraph separators,
// and bytes that are no well-formed UTF-8. `always` quotes a name that needs nothing too.
std::string shellQuoted(std::string_view name, bool always = false);
