#include "LanguageChoice.h"

#include "TextFill.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

using LanguageChoice::Unnamed;

// LANGUAGE, LC_ALL, LC_MESSAGES, LANG (null: unset), the catalogs to try, and what the program
// reads where nothing names a language.
struct Variables {
    const char* language;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    Names expected;
    Unnamed unnamed = Unnamed::AsWritten;
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
        // Entry by entry, each entry's stand-in only after all of them; an entry C ends the list.
        {"en_US:zh_CN", nullptr, nullptr, "zh_CN.UTF-8", {"en_US", "en", "zh_CN", "zh"}},
        {"fr:zh_CN", nullptr, nullptr, "en_US.UTF-8", {"fr", "zh_CN", "zh", "en"}},
        {"de_AT.UTF-8::zh_TW",
         nullptr,
         nullptr,
         "C.UTF-8",
         {"de_AT", "de", "zh_TW", "zh", "en", "zh_CN"}},
        {"C:zh_CN", nullptr, nullptr, "en_US.UTF-8", english},
        // Under plain C, LANGUAGE is not read; under C.UTF-8 it is.
        {"zh_CN", nullptr, nullptr, "C", {}},
        {"zh_CN", nullptr, "POSIX", nullptr, {"en"}, Unnamed::English},
        {"zh_CN", nullptr, nullptr, "C.UTF-8", chinese, Unnamed::English},
        {nullptr, nullptr, nullptr, "C.UTF-8", {"en"}, Unnamed::English},
        {"", nullptr, nullptr, "zh_CN.UTF-8", chinese, Unnamed::English},
    };
    for (const Variables& c : cases) {
        EXPECT_EQ(
            LanguageChoice::FromVariables(c.language, c.lcAll, c.lcMessages, c.lang, c.unnamed),
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
