#pragma once

#include <string>
#include <string_view>
#include <vector>

// The one rule by which every program picks its catalog: the locale's own language where a
// catalog has it, else Chinese under a zh locale and English under every other; none under C
// and POSIX, whose users read the texts as written.
namespace LanguageChoice {
// The catalog names to try, best first, for a locale name such as "de_AT.UTF-8@euro" or "zh_TW".
std::vector<std::string> CatalogsFor(std::string_view localeName);
// GNU order: LC_ALL, LC_MESSAGES, LANG name the locale; LANGUAGE's first entry then decides,
// unless the locale is C. Null stands for an unset variable.
std::vector<std::string> FromVariables(const char* language, const char* lcAll,
                                       const char* lcMessages, const char* lang);
std::vector<std::string> FromEnvironment();
// Whether LC_ALL, LC_MESSAGES or LANG names a locale: where the system has another way to tell
// the language (Windows), a locale set for the program still comes first.
bool EnvironmentNamesLocale();
} // namespace LanguageChoice
