#include "LanguageChoice.h"

#include <cstdlib>

namespace {

bool isSet(const char* value) {
    return value != nullptr && *value != '\0';
}

// "zh_CN.UTF-8@variant" -> "zh_CN"; "de:en" -> "de".
std::string_view bareName(std::string_view name) {
    return name.substr(0, name.find_first_of(".@:"));
}

} // namespace

Language LanguageChoice::FromLocaleName(std::string_view name) {
    const std::string_view bare = bareName(name);
    if (bare.empty() || bare == "C" || bare == "POSIX") {
        return Language::AsWritten;
    }
    if (bare == "zh" || bare.starts_with("zh_")) {
        return Language::Chinese;
    }
    return Language::English;
}

Language LanguageChoice::FromVariables(const char* language, const char* lcAll,
                                       const char* lcMessages, const char* lang) {
    const char* locale = isSet(lcAll) ? lcAll : isSet(lcMessages) ? lcMessages : lang;
    const Language byLocale = FromLocaleName(isSet(locale) ? locale : "C");
    if (byLocale == Language::AsWritten || !isSet(language)) {
        return byLocale;
    }
    return FromLocaleName(language);
}

Language LanguageChoice::FromEnvironment() {
    return FromVariables(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                         std::getenv("LANG"));
}

bool LanguageChoice::EnvironmentNamesLocale() {
    return isSet(std::getenv("LC_ALL")) || isSet(std::getenv("LC_MESSAGES")) ||
           isSet(std::getenv("LANG"));
}

Language LanguageChoice::FromWindowsLanguageId(unsigned short languageId) {
    constexpr unsigned short kPrimaryMask = 0x3ff;
    constexpr unsigned short kChinese = 0x04;
    return (languageId & kPrimaryMask) == kChinese ? Language::Chinese : Language::English;
}

const char* LanguageChoice::CatalogName(Language language) {
    switch (language) {
    case Language::English:
        return "en";
    case Language::Chinese:
        return "zh_CN";
    case Language::AsWritten:
        break;
    }
    return nullptr;
}
