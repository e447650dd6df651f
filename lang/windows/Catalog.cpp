#include "Catalog.h"

#include "BuiltInCatalogs.h"
#include "LanguageChoice.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <windows.h>

namespace {

std::span<const CatalogEntry> g_entries;
std::string g_language;

// The user's interface language as a locale name: 0x0804 -> "zh_CN".
std::string InterfaceLocale() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    ::LCIDToLocaleName(MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT), name,
                       LOCALE_NAME_MAX_LENGTH, 0);
    std::string locale;
    for (const wchar_t* c = name; *c != L'\0'; ++c) {
        locale += *c == L'-' ? '_' : static_cast<char>(*c);
    }
    return locale;
}

} // namespace

void Catalog::Open(LanguageChoice::Unnamed unnamed) {
    // As gettext's programs do on Windows: a locale in the environment (a shell's, or wine's
    // from the desktop) before the user's interface language.
    const std::vector<std::string> names = LanguageChoice::EnvironmentNamesLocale()
                                               ? LanguageChoice::FromEnvironment(unnamed)
                                               : LanguageChoice::CatalogsFor(InterfaceLocale());
    for (const std::string& name : names) {
        g_entries = BuiltInCatalogs::Find(name.c_str());
        if (!g_entries.empty()) {
            g_language = name;
            return;
        }
    }
}

void Catalog::Close() {
    g_entries = {};
    g_language.clear();
}

const char* Catalog::Translated(const char* text) {
    const auto found = std::ranges::find_if(
        g_entries, [text](const CatalogEntry& entry) { return std::strcmp(entry.id, text) == 0; });
    return found == g_entries.end() ? text : found->text;
}

const char* Catalog::Language() {
    return g_language.c_str();
}
