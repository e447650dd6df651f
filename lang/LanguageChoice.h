#pragma once

#include <string>
#include <string_view>
#include <vector>

// The one rule by which every program picks its catalog, as gettext reads the environment: the
// catalogs to try, best first; each program takes the first it has.
namespace LanguageChoice {
// What a program reads where nothing names a language (C, POSIX, C.UTF-8): the windows their
// texts as written, the command line English throughout.
enum class Unnamed { AsWritten, English };

// For a locale name such as "de_AT.UTF-8@euro" or "zh_TW": the locale's own language where a
// catalog has it, else Chinese under zh and English under every other; none under C and POSIX.
std::vector<std::string> CatalogsFor(std::string_view localeName);
// LC_ALL, LC_MESSAGES, LANG name the locale; unless it is plain C or POSIX, LANGUAGE's entries
// then come first, in turn, up to an entry C. Null stands for an unset variable.
std::vector<std::string> FromVariables(const char* language, const char* lcAll,
                                       const char* lcMessages, const char* lang,
                                       Unnamed unnamed = Unnamed::AsWritten);
std::vector<std::string> FromEnvironment(Unnamed unnamed = Unnamed::AsWritten);
// Whether LC_ALL, LC_MESSAGES or LANG names a locale: where the system has another way to tell
// the language (Windows), a locale set for the program still comes first.
bool EnvironmentNamesLocale();
} // namespace LanguageChoice
