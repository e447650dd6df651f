#include "Catalog.h"

#include "LanguageChoice.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <libintl.h>

namespace {

constexpr const char* kDomain = "veltrane";

// The catalogs lie in share/locale beside bin/, both installed and in the build tree.
std::string localeFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return (program.parent_path().parent_path() / "share" / "locale").string();
}

} // namespace

void Catalog::Open() {
    const std::vector<std::string> names = LanguageChoice::FromEnvironment();
    if (names.empty()) {
        return;
    }
    // gettext tries LANGUAGE's entries in turn; the rule adds the fallback it lacks. C.UTF-8
    // still reads LANGUAGE where the user's locale is not generated.
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "" : ":") + name;
    }
    setenv("LANGUAGE", list.c_str(), 1);
    if (std::setlocale(LC_MESSAGES, "") == nullptr) {
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    }
    bindtextdomain(kDomain, localeFolder().c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
    // The system's reasons come translated too, in UTF-8 whatever the locale's character set.
    bind_textdomain_codeset("libc", "UTF-8");
}

const char* Catalog::Translated(const char* text) {
    // gettext answers the empty text with the catalog's header.
    return *text == '\0' ? text : dgettext(kDomain, text);
}
