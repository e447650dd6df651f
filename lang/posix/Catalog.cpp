#include "Catalog.h"

#include "LanguageChoice.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <libintl.h>

namespace {

constexpr const char* kDomain = "veltrane";
constexpr const char* kCatalogFile = "veltrane.mo";

std::string g_language;

// The catalogs lie in share/locale beside bin/, both installed and in the build tree.
std::filesystem::path localeFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return program.parent_path().parent_path() / "share" / "locale";
}

} // namespace

void Catalog::Open(LanguageChoice::Unnamed unnamed) {
    const std::filesystem::path folder = localeFolder();
    const std::vector<std::string> names = LanguageChoice::FromEnvironment(unnamed);
    const auto chosen = std::ranges::find_if(names, [&](const std::string& name) {
        std::error_code error;
        return std::filesystem::exists(folder / name / "LC_MESSAGES" / kCatalogFile, error);
    });
    if (chosen == names.end()) {
        return;
    }
    g_language = *chosen;
    // The chosen catalog alone: the system's reasons (libc's own catalog) then come in the same
    // language, or as the system writes them, never in one LANGUAGE named before ours.
    setenv("LANGUAGE", chosen->c_str(), 1);
    // gettext reads LANGUAGE under every locale but plain C, and C.UTF-8 stands in for a locale
    // that is not generated.
    const char* locale = std::setlocale(LC_MESSAGES, "");
    if (locale == nullptr || std::strcmp(locale, "C") == 0 || std::strcmp(locale, "POSIX") == 0) {
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    }
    bindtextdomain(kDomain, folder.c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
    // The system's reasons in UTF-8 too, whatever the locale's character set.
    bind_textdomain_codeset("libc", "UTF-8");
}

void Catalog::Close() {
    // gettext, libc's reasons included, answers with the texts as written under plain C.
    std::setlocale(LC_MESSAGES, "C");
    g_language.clear();
}

const char* Catalog::Translated(const char* text) {
    // gettext answers the empty text with the catalog's header.
    return *text == '\0' ? text : dgettext(kDomain, text);
}

const char* Catalog::Language() {
    return g_language.c_str();
}
