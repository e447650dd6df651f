#include "ControlIds.h"
#include "DialogForm.h"
#include "FileRows.h"
#include "TypedName.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace fs = std::filesystem;

TEST(DialogFormTest, EveryControlLiesInsideItsDialogAndIdsAreUnique) {
    for (const DialogForm* form : {&DialogForms::Main(), &DialogForms::About()}) {
        std::set<int> ids;
        for (const FormControl& c : form->controls) {
            EXPECT_GE(c.rect.x, 0) << c.name;
            EXPECT_LE(c.rect.x + c.rect.width, form->width) << c.name;
            EXPECT_LE(c.rect.y + c.rect.height, form->height) << c.name;
            EXPECT_TRUE(c.id == ControlIds::ID_NONE || ids.insert(c.id).second) << c.name;
            EXPECT_EQ(&form->control(c.name), &c);
        }
    }
    EXPECT_STREQ(DialogForms::Main().control(ControlIds::IDC_START).text, "确定");
    EXPECT_THROW(DialogForms::Main().control("nothing"), std::out_of_range);
}

TEST(TypedNameTest, AppendsTheDefaultSuffixOnlyToANewNameWithoutADot) {
    const fs::path dir = fs::temp_directory_path() / "veltrane-typed-name";
    fs::create_directories(dir);
    std::ofstream(dir / "xaa").put('x');
    struct Case {
        const char* typed;
        const char* expected;
    };
    const std::array cases{
        Case{"disk", "disk.vmdk"},
        Case{"disk.img", "disk.img"},
        Case{"xaa", "xaa"},
        Case{".hidden", ".hidden"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TypedName::WithDefaultSuffix(dir / c.typed), dir / c.expected) << c.typed;
    }
    fs::remove_all(dir);
}

TEST(FileRowsTest, SpaceGivesEverySelectedRowTheFocusedRowsNewState) {
    EXPECT_EQ(FileRows::IndexText(12), "12");
    const auto ticks = FileRows::SpaceTicks(2, true, {0, 2, 5});
    ASSERT_EQ(ticks.size(), 3U);
    EXPECT_EQ(ticks[0].row, 2);
    EXPECT_EQ(ticks[1].row, 0);
    EXPECT_EQ(ticks[2].row, 5);
    for (const auto& tick : ticks) {
        EXPECT_FALSE(tick.checked);
    }
    EXPECT_TRUE(FileRows::SpaceTicks(1, false, {}).front().checked);
}
