#include "Catalog.h"

#include "BuiltInCatalogs.h"
#include "LanguageChoice.h"

#include <algorithm>
#include <cstring>
#include <windows.h>

namespace {

std::span<const CatalogEntry> g_entries;

} // namespace

void Catalog::Open() {
    // As gettext's programs do on Windows: a locale in the environment (a shell's, or wine's
    // from the desktop) before the user's interface language.
    const Language language =
        LanguageChoice::EnvironmentNamesLocale()
            ? LanguageChoice::FromEnvironment()
            : LanguageChoice::FromWindowsLanguageId(GetUserDefaultUILanguage());
    const char* name = LanguageChoice::CatalogName(language);
    if (name != nullptr) {
        g_entries = BuiltInCatalogs::Find(name);
    }
}

const char* Catalog::Translated(const char* text) {
    const auto found = std::ranges::find_if(
        g_entries, [text](const CatalogEntry& entry) { return std::strcmp(entry.id, text) == 0; });
    return found == g_entries.end() ? text : found->text;
}
