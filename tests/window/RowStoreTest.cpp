#include "RowStore.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <utility>

namespace {

using Rows = std::vector<RowStore::Row>;

struct Case {
    const char* name;
    // Appends a row for each path, then ticks or clears the rows given.
    std::vector<std::string> paths;
    std::vector<std::pair<int, bool>> ticks;
    Rows expected;
};

const Case kCases[] = {
    {"empty", {}, {{0, true}, {-1, true}}, {}},
    {"appendedUnticked", {"a", "дв"}, {}, {{"a", false}, {"дв", false}}},
    {"tickedAndCleared",
     {"a", "b", "c"},
     {{2, true}, {0, true}, {2, false}},
     {{"a", true}, {"b", false}, {"c", false}}},
    {"outOfRangeTicksIgnored", {"a"}, {{1, true}, {-1, true}}, {{"a", false}}},
};

std::string nameOf(int row) {
    return "/pieces/part" + std::to_string(row);
}

} // namespace

// Each row read alone agrees with the snapshot; a row the store does not hold reads empty.
TEST(RowStoreTest, RowsReadOneByOneAndAtOnceAgree) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        RowStore store;
        for (const std::string& path : c.paths) {
            store.append(path);
        }
        for (const auto& [row, checked] : c.ticks) {
            store.setChecked(row, checked);
        }
        EXPECT_EQ(store.snapshot(), c.expected);
        Rows oneByOne;
        for (int row = -1; row <= store.count(); ++row) {
            oneByOne.push_back({store.path(row), store.isChecked(row)});
        }
        Rows framed = c.expected;
        framed.insert(framed.begin(), RowStore::Row{});
        framed.push_back({});
        EXPECT_EQ(oneByOne, framed);
    }
}

// A worker reads while the window's thread appends and ticks each new row: every read sees
// whole rows, in order, each ticked but perhaps the newest.
TEST(RowStoreTest, ReadsWhileRowsAreAppendedAndTickedSeeWholeRows) {
    constexpr int kRows = 20000;
    RowStore store;
    std::atomic<bool> done{false};
    std::thread window([&] {
        for (int row = 0; row < kRows; ++row) {
            store.append(nameOf(row));
            store.setChecked(row, true);
        }
        done = true;
    });
    // Checked after the join: a failed assertion must not leave the thread running.
    bool whole = true;
    for (int seen = 0; whole && (!done || seen < kRows);) {
        const Rows rows = store.snapshot();
        const int count = static_cast<int>(rows.size());
        whole = count >= seen;
        for (int row = 0; whole && row < count; ++row) {
            const RowStore::Row& read = rows[static_cast<std::size_t>(row)];
            whole = read.path == nameOf(row) && (read.checked || row == count - 1);
        }
        seen = count;
        const int last = store.count() - 1;
        whole = whole && (last < 0 || store.path(last) == nameOf(last));
    }
    window.join();
    EXPECT_TRUE(whole);
}
