#include "LanguageChoice.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool isSet(const char* value) {
    return value != nullptr && *value != '\0';
}

// "zh_CN.UTF-8@variant" -> "zh_CN".
std::string_view bareName(std::string_view name) {
    return name.substr(0, name.find_first_of(".@"));
}

bool isPlain(std::string_view locale) {
    return locale == "C" || locale == "POSIX";
}

void addOnce(std::vector<std::string>& names, std::string_view name) {
    if (std::ranges::find(names, name) == names.end()) {
        names.emplace_back(name);
    }
}

std::string_view languageOf(std::string_view locale) {
    return locale.substr(0, locale.find('_'));
}

// The locale's own names, "zh_TW" and "zh", without the stand-in a catalog may lack.
void addOwnNames(std::vector<std::string>& names, std::string_view locale) {
    addOnce(names, locale);
    addOnce(names, languageOf(locale));
}

void addStandIn(std::vector<std::string>& names, std::string_view locale) {
    addOnce(names, languageOf(locale) == "zh" ? "zh_CN" : "en");
}

// gettext tries every entry before the texts as written; ours then tries each entry's stand-in.
std::vector<std::string> catalogsForList(std::string_view list) {
    std::vector<std::string> entries;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        const std::string_view entry = bareName(list.substr(start, end - start));
        if (isPlain(entry)) {
            break;
        }
        if (!entry.empty()) {
            entries.emplace_back(entry);
        }
        start = end + 1;
    }
    std::vector<std::string> names;
    std::ranges::for_each(entries, [&](const std::string& entry) { addOwnNames(names, entry); });
    std::ranges::for_each(entries, [&](const std::string& entry) { addStandIn(names, entry); });
    return names;
}

} // namespace

std::vector<std::string> LanguageChoice::CatalogsFor(std::string_view localeName) {
    const std::string_view locale = bareName(localeName);
    if (locale.empty() || isPlain(locale)) {
        return {};
    }
    std::vector<std::string> names;
    addOwnNames(names, locale);
    addStandIn(names, locale);
    return names;
}

std::vector<std::string> LanguageChoice::FromVariables(const char* language, const char* lcAll,
                                                       const char* lcMessages, const char* lang,
                                                       Unnamed unnamed) {
    const char* locale = isSet(lcAll) ? lcAll : isSet(lcMessages) ? lcMessages : lang;
    const std::string_view localeName = isSet(locale) ? locale : "C";
    // As gettext: LANGUAGE counts under every locale but plain C, C.UTF-8 included.
    std::vector<std::string> names;
    if (isSet(language) && !isPlain(localeName)) {
        names = catalogsForList(language);
    }
    if (names.empty()) {
        names = CatalogsFor(localeName);
    }
    if (names.empty() && unnamed == Unnamed::English) {
        names.emplace_back("en");
    }
    return names;
}

std::vector<std::string> LanguageChoice::FromEnvironment(Unnamed unnamed) {
    return FromVariables(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                         std::getenv("LANG"), unnamed);
}

bool LanguageChoice::EnvironmentNamesLocale() {
    return isSet(std::getenv("LC_ALL")) || isSet(std::getenv("LC_MESSAGES")) ||
           isSet(std::getenv("LANG"));
}
