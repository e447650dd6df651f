#include "LanguageChoice.h"

#include "TextFill.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// LANGUAGE, LC_ALL, LC_MESSAGES, LANG (null: unset), and the catalogs to try.
struct Variables {
    const char* language;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    Names expected;
};

TEST(LanguageChoiceTest, FollowsTheVariablesInGnuOrder) {
    const Names chinese{"zh_CN", "zh"};
    const Names english{"en_US", "en"};
    const std::vector<Variables> cases{
        {nullptr, nullptr, nullptr, nullptr, {}},
        {nullptr, nullptr, nullptr, "C.UTF-8", {}},
        {nullptr, nullptr, nullptr, "POSIX", {}},
        {"", "", "", "zh_CN.UTF-8", chinese},
        {nullptr, "C", nullptr, "zh_CN.UTF-8", {}},
        {nullptr, "en_US.UTF-8", "C", "C", english},
        {nullptr, nullptr, "zh_CN.GB2312", "en_GB.UTF-8", chinese},
        {"en_US:zh_CN", nullptr, nullptr, "zh_CN.UTF-8", english},
        // Under C, LANGUAGE is not read: scripts keep their texts.
        {"zh_CN", nullptr, nullptr, "C", {}},
    };
    for (const Variables& c : cases) {
        EXPECT_EQ(LanguageChoice::FromVariables(c.language, c.lcAll, c.lcMessages, c.lang),
                  c.expected)
            << (c.lang != nullptr ? c.lang : "-");
    }
}

// A catalog of the locale's own language wins where there is one; Chinese and English stand in.
TEST(LanguageChoiceTest, FallsBackToChineseOrEnglish) {
    EXPECT_EQ(LanguageChoice::CatalogsFor("zh_TW.Big5"), (Names{"zh_TW", "zh", "zh_CN"}));
    EXPECT_EQ(LanguageChoice::CatalogsFor("de_AT.UTF-8@euro"), (Names{"de_AT", "de", "en"}));
    EXPECT_EQ(LanguageChoice::CatalogsFor("en"), (Names{"en"}));
}

TEST(TextFillTest, PutsValuesWhereTheTranslationPutsTheMarks) {
    EXPECT_EQ(TextFill::Fill("%s 之后缺少 SOURCE 操作数", {"a%sb"}), "a%sb 之后缺少 SOURCE 操作数");
    EXPECT_EQ(TextFill::Fill("%s and %s", {"1"}), "1 and %s");
    EXPECT_EQ(TextFill::Fill("100%", {}), "100%");
}

} // namespace
