#pragma once

#include "Language.h"

#include <string_view>

// The one rule by which every program picks its language: Chinese under a zh locale, the texts
// as written under C and POSIX, English under every other.
namespace LanguageChoice {
Language FromLocaleName(std::string_view name);
// GNU order: LC_ALL, LC_MESSAGES, LANG name the locale; LANGUAGE's first entry then decides,
// unless the locale is C. Null stands for an unset variable.
Language FromVariables(const char* language, const char* lcAll, const char* lcMessages,
                       const char* lang);
Language FromEnvironment();
// Whether LC_ALL, LC_MESSAGES or LANG names a locale: where the system has another way to tell
// the language (Windows), a locale set for the program still comes first.
bool EnvironmentNamesLocale();
// A Windows language id, as GetUserDefaultUILanguage gives it; Windows has no C locale.
Language FromWindowsLanguageId(unsigned short languageId);
// The folder name of the language's catalog; null for the texts as written.
const char* CatalogName(Language language);
} // namespace LanguageChoice
