#include "LanguageChoice.h"

#include "TextFill.h"

#include <gtest/gtest.h>

namespace {

struct Variables {
    const char* language;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    Language expected;
};

TEST(LanguageChoiceTest, FollowsTheVariablesInGnuOrder) {
    const Variables cases[] = {
        {nullptr, nullptr, nullptr, nullptr, Language::AsWritten},
        {nullptr, nullptr, nullptr, "C", Language::AsWritten},
        {nullptr, nullptr, nullptr, "C.UTF-8", Language::AsWritten},
        {nullptr, nullptr, nullptr, "POSIX", Language::AsWritten},
        {nullptr, nullptr, nullptr, "zh_CN.UTF-8", Language::Chinese},
        {nullptr, nullptr, nullptr, "zh_TW.Big5", Language::Chinese},
        {nullptr, nullptr, nullptr, "en_US.UTF-8", Language::English},
        {nullptr, nullptr, nullptr, "de_DE.UTF-8@euro", Language::English},
        {nullptr, nullptr, nullptr, "zhx_XX", Language::English},
        {"", "", "", "zh_CN.UTF-8", Language::Chinese},
        {nullptr, "C", nullptr, "zh_CN.UTF-8", Language::AsWritten},
        {nullptr, "de_DE.UTF-8", "C", "C", Language::English},
        {nullptr, nullptr, "zh_SG.UTF-8", "en_GB.UTF-8", Language::Chinese},
        {"zh_CN:en", nullptr, nullptr, "en_US.UTF-8", Language::Chinese},
        {"de:zh", nullptr, nullptr, "zh_CN.UTF-8", Language::English},
        // Under C, LANGUAGE is not read: scripts keep their texts.
        {"zh_CN", nullptr, nullptr, "C", Language::AsWritten},
        {"zh_CN", "POSIX", nullptr, nullptr, Language::AsWritten},
    };
    for (const Variables& c : cases) {
        EXPECT_EQ(LanguageChoice::FromVariables(c.language, c.lcAll, c.lcMessages, c.lang),
                  c.expected)
            << (c.language ? c.language : "-") << ' ' << (c.lcAll ? c.lcAll : "-") << ' '
            << (c.lcMessages ? c.lcMessages : "-") << ' ' << (c.lang ? c.lang : "-");
    }
}

TEST(LanguageChoiceTest, ReadsTheWindowsPrimaryLanguage) {
    EXPECT_EQ(LanguageChoice::FromWindowsLanguageId(0x0804), Language::Chinese); // zh-CN
    EXPECT_EQ(LanguageChoice::FromWindowsLanguageId(0x0404), Language::Chinese); // zh-TW
    EXPECT_EQ(LanguageChoice::FromWindowsLanguageId(0x0409), Language::English); // en-US
    EXPECT_EQ(LanguageChoice::FromWindowsLanguageId(0x0407), Language::English); // de-DE
    EXPECT_EQ(LanguageChoice::CatalogName(Language::Chinese), std::string("zh_CN"));
    EXPECT_EQ(LanguageChoice::CatalogName(Language::AsWritten), nullptr);
}

TEST(TextFillTest, PutsValuesWhereTheTranslationPutsTheMarks) {
    EXPECT_EQ(TextFill::Fill("stopped: %s is incomplete", {"'t'"}), "stopped: 't' is incomplete");
    EXPECT_EQ(TextFill::Fill("%s 之后缺少 SOURCE 操作数", {"a%sb"}), "a%sb 之后缺少 SOURCE 操作数");
    EXPECT_EQ(TextFill::Fill("%s and %s", {"1"}), "1 and %s");
    EXPECT_EQ(TextFill::Fill("100%", {}), "100%");
}

} // namespace
