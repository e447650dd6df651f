#include "LanguageChoice.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool isSet(const char* value) {
    return value != nullptr && *value != '\0';
}

// "zh_CN.UTF-8@variant" -> "zh_CN"; "de:en" -> "de".
std::string_view bareName(std::string_view name) {
    return name.substr(0, name.find_first_of(".@:"));
}

void addOnce(std::vector<std::string>& names, std::string_view name) {
    if (std::ranges::find(names, name) == names.end()) {
        names.emplace_back(name);
    }
}

} // namespace

std::vector<std::string> LanguageChoice::CatalogsFor(std::string_view localeName) {
    const std::string_view locale = bareName(localeName);
    if (locale.empty() || locale == "C" || locale == "POSIX") {
        return {};
    }
    const std::string_view language = locale.substr(0, locale.find('_'));
    std::vector<std::string> names{std::string(locale)};
    addOnce(names, language);
    addOnce(names, language == "zh" ? "zh_CN" : "en");
    return names;
}

std::vector<std::string> LanguageChoice::FromVariables(const char* language, const char* lcAll,
                                                       const char* lcMessages, const char* lang) {
    const char* locale = isSet(lcAll) ? lcAll : isSet(lcMessages) ? lcMessages : lang;
    std::vector<std::string> byLocale = CatalogsFor(isSet(locale) ? locale : "C");
    if (byLocale.empty() || !isSet(language)) {
        return byLocale;
    }
    return CatalogsFor(language);
}

std::vector<std::string> LanguageChoice::FromEnvironment() {
    return FromVariables(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                         std::getenv("LANG"));
}

bool LanguageChoice::EnvironmentNamesLocale() {
    return isSet(std::getenv("LC_ALL")) || isSet(std::getenv("LC_MESSAGES")) ||
           isSet(std::getenv("LANG"));
}
