#include "MiddleCut.h"

#include <gtest/gtest.h>

// Whole folders go first, from the one before the name back; then characters from the middle,
// the end keeping the odd one. What fits stays whole.
TEST(MiddleCutTest, PathsAreCutWhereTheirEndsStayInSight) {
    const std::vector<std::tuple<std::u16string, int, std::u16string>> cases{
        {u"/home/user/images/disk-s01.vmdk", 30, u"/home/…/images/disk-s01.vmdk"},
        {u"/home/user/images/disk-s01.vmdk", 21, u"/home/…/disk-s01.vmdk"},
        {u"/home/user/images/disk-s01.vmdk", 20, u"/home/use…k-s01.vmdk"},
        {uR"(C:\Users\me\Temp\a.bin)", 16, uR"(C:\…\Temp\a.bin)"},
        {uR"(\\server\share\dir\a.bin)", 19, uR"(\\server\…\a.bin)"},
        {u"abc", 0, u"…"},
    };
    // Every character one unit wide.
    const auto length = [](const std::u16string& text) { return static_cast<int>(text.size()); };
    for (const auto& [path, width, expected] : cases) {
        EXPECT_EQ(MiddleCut::Cut(path, width, length), expected) << width;
    }
}
