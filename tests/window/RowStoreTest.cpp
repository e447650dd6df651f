#include "RowStore.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using Rows = std::vector<RowStore::Row>;

// A row read alone agrees with the snapshot; ticks out of range change nothing, and a row the
// store does not hold reads unticked, with no path.
TEST(RowStoreTest, RowsReadOneByOneAndAtOnceAgree) {
    const std::vector<std::pair<std::vector<std::pair<int, bool>>, Rows>> cases{
        {{}, {{"a", false}, {"дв", false}}},
        {{{1, true}, {0, true}, {1, false}}, {{"a", true}, {"дв", false}}},
        {{{2, true}, {-1, true}}, {{"a", false}, {"дв", false}}},
    };
    for (const auto& [ticks, expected] : cases) {
        RowStore store;
        store.append("a");
        store.append("дв");
        for (const auto& [row, checked] : ticks) {
            store.setChecked(row, checked);
        }
        EXPECT_EQ(store.snapshot(), expected);
        Rows oneByOne;
        for (int row = 0; row < store.count(); ++row) {
            oneByOne.push_back({store.path(row), store.isChecked(row)});
        }
        EXPECT_EQ(oneByOne, expected);
        EXPECT_TRUE(store.path(-1).empty() && store.path(2).empty() && !store.isChecked(2));
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
            store.append(std::to_string(row));
            store.setChecked(row, true);
        }
        done = true;
    });
    // Checked after the join: a failed assertion must not leave the thread running.
    bool whole = true;
    for (std::size_t seen = 0; whole && (!done || seen < kRows);) {
        const Rows rows = store.snapshot();
        whole = rows.size() >= seen;
        for (std::size_t row = 0; whole && row < rows.size(); ++row) {
            whole = rows[row].path == std::to_string(row) &&
                    (rows[row].checked || row + 1 == rows.size());
        }
        seen = rows.size();
    }
    window.join();
    EXPECT_TRUE(whole);
}
