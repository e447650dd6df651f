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
    const char* name = LanguageChoice::CatalogName(
        LanguageChoice::FromWindowsLanguageId(GetUserDefaultUILanguage()));
    if (name != nullptr) {
        g_entries = BuiltInCatalogs::Find(name);
    }
}

const char* Catalog::Translated(const char* text) {
    const auto* found =
        std::find_if(g_entries.begin(), g_entries.end(), [text](const CatalogEntry& entry) {
            return std::strcmp(entry.id, text) == 0;
        });
    return found == g_entries.end() ? text : found->text;
}
