#include "RowEdits.h"

#include "RowStore.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

using RowEdits::Direction;

namespace {

// The rows a..f in `order`, selected ones in capitals.
std::string Shown(const std::vector<int>& order, const std::vector<int>& selected) {
    std::string shown;
    for (const int row : order) {
        const bool chosen = std::find(selected.begin(), selected.end(), row) != selected.end();
        shown += static_cast<char>((chosen ? 'A' : 'a') + row);
    }
    return shown;
}

} // namespace

// Selected rows pass one unselected neighbour; those held at an edge stay, and the store
// follows the order, ticks included, leaving out what the order leaves out.
TEST(RowEditsTest, SelectedRowsMoveOnePlaceOrGo) {
    struct Case {
        std::vector<int> selected;
        std::string up;
        std::string down;
        std::string kept;
    };
    const std::vector<Case> cases{
        {{}, "abcdef", "abcdef", "abcdef"},           {{0}, "Abcdef", "bAcdef", "bcdef"},
        {{5}, "abcdFe", "abcdeF", "abcde"},           {{1, 3}, "BaDcef", "acBeDf", "acef"},
        {{0, 1, 4}, "ABcEdf", "cABdfE", "cdf"},       {{1, 2}, "BCadef", "adBCef", "adef"},
        {{0, 1, 2, 3, 4, 5}, "ABCDEF", "ABCDEF", ""}, {{-1, 9}, "abcdef", "abcdef", "abcdef"},
    };
    for (const Case& each : cases) {
        const std::vector<int>& selected = each.selected;
        const auto moved = [&selected](Direction direction) {
            return RowEdits::MovedOrder(6, selected, direction);
        };
        EXPECT_EQ(Shown(moved(Direction::Up), selected), each.up);
        EXPECT_EQ(Shown(moved(Direction::Down), selected), each.down);
        std::string plain = each.up;
        std::transform(plain.begin(), plain.end(), plain.begin(), [](char c) { return c | 0x20; });
        EXPECT_EQ(RowEdits::Changes(moved(Direction::Up)), plain != "abcdef");
        EXPECT_EQ(Shown(RowEdits::KeptOrder(6, selected), selected), each.kept);
    }
    EXPECT_EQ(RowEdits::PlaceAfterRemoval({0, 3}, {2, 1}), 1);
    EXPECT_EQ(RowEdits::PlaceAfterRemoval({0, 1}, {2, 3}), 1);
    EXPECT_EQ(RowEdits::PlaceAfterRemoval({}, {0}), -1);
    const std::vector<int> order = RowEdits::MovedOrder(4, {2}, Direction::Up);
    EXPECT_EQ(RowEdits::PlacesOf(order, {2, 0}), (std::vector<int>{0, 1}));
    RowStore store;
    for (const char* path : {"a", "b", "c", "d"}) {
        store.append(path);
    }
    store.setChecked(2, true);
    store.reorder(order);
    EXPECT_EQ(store.snapshot(),
              (std::vector<RowStore::Row>{{"a", false}, {"c", true}, {"b", false}, {"d", false}}));
    store.reorder({3, 1, 7});
    EXPECT_EQ(store.snapshot(), (std::vector<RowStore::Row>{{"d", false}, {"c", true}}));
}
