#include "RunProgress.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kMiB = 1 << 20;

// One step of a walk as the worker tells it: a row reached ('r'), its source opened with a length
// ('o'), or a block of it reached ('b'); then the share done.
struct Step {
    char kind;
    std::uint64_t value;
    double done;
};

struct Case {
    std::string name;
    std::vector<SourceFacts> planned;
    std::vector<Step> steps;
};

SourceFacts piece(std::uint64_t length) {
    return {"p", length > 0, length, length};
}

} // namespace

// The share is counted in bytes over the whole run: earlier sources whole, the current one up to
// the block being copied; rows ticked during the run widen the whole.
TEST(RunProgressTest, SharesTheWholeRunInBytes) {
    const std::vector<Case> cases{
        {"two sources",
         {piece(4 * kMiB), piece(4 * kMiB)},
         {{'r', 0, 0},
          {'o', 4 * kMiB, 0},
          {'b', 2, 0.25},
          {'b', 3, 0.375},
          {'r', 0, 0.5},
          {'o', 4 * kMiB, 0.5},
          {'b', 2, 0.75}}},
        {"a source that no longer opens stays undone",
         {piece(2 * kMiB), piece(2 * kMiB)},
         {{'r', 0, 0}, {'o', 2 * kMiB, 0}, {'b', 1, 0.25}, {'r', 0, 0.5}}},
        {"a row ticked during the run widens the whole",
         {piece(2 * kMiB)},
         {{'r', 0, 0}, {'o', 2 * kMiB, 0}, {'r', 0, 1}, {'o', 2 * kMiB, 0.5}, {'b', 1, 0.75}}},
        {"nothing planned", {}, {{'b', 3, 0}}},
        {"empty sources only", {piece(0)}, {{'r', 0, 0}, {'o', 0, 0}}},
    };
    for (const Case& c : cases) {
        RunProgress progress;
        progress.planned({piece(kMiB)});
        progress.sourceReached();
        progress.sourceBegins(kMiB);
        progress.planned(c.planned);
        EXPECT_EQ(progress.done(), 0) << c.name;
        for (const Step& step : c.steps) {
            if (step.kind == 'r') {
                progress.sourceReached();
            } else if (step.kind == 'o') {
                progress.sourceBegins(step.value);
            } else {
                progress.blockReached(static_cast<std::uint32_t>(step.value));
            }
            EXPECT_DOUBLE_EQ(progress.done(), step.done) << c.name << " after " << step.kind;
        }
    }
}
