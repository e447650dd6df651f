#pragma once

#include <string>
#include <string_view>

// A name as a shell would read it back, as `ls --quoting-style=shell-escape` writes it:
// 'a'$'\n''b'. Quoted only where needed, so that no name can move the cursor or colour the
// terminal: a control character, a byte that is not UTF-8, or `always`.
std::string shellQuoted(std::string_view name, bool always = false);
