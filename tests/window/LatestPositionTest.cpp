#include "LatestPosition.h"

#include <gtest/gtest.h>

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
