#include "DropOrder.h"
#include "FileRows.h"
#include "LatestPosition.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// One update posted while none is on its way; a take shows the latest once, and the next offer
// posts again.
TEST(LatestPositionTest, PostsOnlyWhenNoneIsOnItsWayAndTakesTheLatestOnce) {
    LatestPosition latest;
    EXPECT_FALSE(latest.take());
    EXPECT_TRUE(latest.offer(1));
    EXPECT_FALSE(latest.offer(2));
    EXPECT_TRUE(latest.waiting());
    EXPECT_EQ(latest.take(), 2U);
    EXPECT_FALSE(latest.waiting());
    EXPECT_FALSE(latest.take());
    EXPECT_TRUE(latest.offer(3));
}

// The name decides, the full path only between equal names, and equal ones keep the drop's order.
TEST(DropOrderTest, ByNameThenByPathKeepingTheDropsOrderOfEqualOnes) {
    const auto lower = [](std::string text) {
        std::ranges::transform(text, text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    };
    std::vector<std::string> files{"2/b", "1/B", "2/a", "1/A", "1/a"};
    DropOrder::Sort(
        files, [](const std::string& path) { return path.substr(path.find('/') + 1); },
        [](const std::string& path) { return path; },
        [&lower](const std::string& a, const std::string& b) {
            return lower(a).compare(lower(b));
        });
    EXPECT_EQ(files, (std::vector<std::string>{"1/A", "1/a", "2/a", "1/B", "2/b"}));
}

TEST(FileRowsTest, ABatchScrollsToItsLastRowThenItsFirst) {
    EXPECT_EQ(FileRows::RowsToScrollTo(3, 3), std::vector<int>{});
    EXPECT_EQ(FileRows::RowsToScrollTo(3, 10), (std::vector<int>{9, 3}));
}
