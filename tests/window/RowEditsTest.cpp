#include "RowEdits.h"

#include <gtest/gtest.h>
#include <string>

using RowEdits::Direction;

// Rows a..f in `order`, the selected ones in capitals.
static std::string Shown(const std::vector<int>& order, const std::vector<int>& selected) {
    std::string shown;
    for (const int row : order) {
        shown += static_cast<char>(
            (std::count(selected.begin(), selected.end(), row) != 0 ? 'A' : 'a') + row);
    }
    return shown;
}

// Selected rows pass one unselected neighbour, those held at an edge stay; removal keeps the
// rest in order and hands the selection on.
TEST(RowEditsTest, SelectedRowsMoveOnePlaceOrGo) {
    const std::vector<std::tuple<std::vector<int>, std::string, std::string, std::string, int>>
        cases{{{}, "abcdef", "abcdef", "abcdef", -1},
              {{0}, "Abcdef", "bAcdef", "bcdef", 0},
              {{5}, "abcdFe", "abcdeF", "abcde", 4},
              {{3, 1}, "BaDcef", "acBeDf", "acef", 1},
              {{0, 1, 4}, "ABcEdf", "cABdfE", "cdf", 0},
              {{0, 1, 2, 3, 4, 5}, "ABCDEF", "ABCDEF", "", -1},
              {{-1, 9}, "abcdef", "abcdef", "abcdef", -1}};
    for (const auto& [selected, up, down, kept, next] : cases) {
        const std::vector<int> movedUp = RowEdits::MovedOrder(6, selected, Direction::Up);
        EXPECT_EQ(Shown(movedUp, selected), up);
        EXPECT_EQ(Shown(RowEdits::MovedOrder(6, selected, Direction::Down), selected), down);
        EXPECT_EQ(RowEdits::Changes(movedUp), Shown(movedUp, {}) != "abcdef");
        const std::vector<int> left = RowEdits::KeptOrder(6, selected);
        EXPECT_EQ(Shown(left, selected), kept);
        EXPECT_EQ(RowEdits::PlaceAfterRemoval(left, selected), std::min(next, 5)) << up;
    }
    EXPECT_EQ(RowEdits::PlacesOf(RowEdits::MovedOrder(4, {2}, Direction::Up), {2, 0}),
              (std::vector<int>{0, 1}));
}
