#include "RunProgress.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kMiB = 1 << 20;

// One step of a run as the worker tells it: a source opened (its length), or a block reached.
struct Step {
    bool opens;
    std::uint64_t value;
    double done;
};

struct Case {
    std::string name;
    std::vector<SourceFacts> planned;
    std::vector<Step> steps;
};

SourceFacts piece(std::uint64_t length, bool opened = true) {
    return {"p", opened, length, length};
}

} // namespace

// The share is counted in bytes over the whole run: earlier sources whole, the current one up to
// the block being copied; sources the run met beyond its plan widen the whole.
TEST(RunProgressTest, CountsTheWholeRunInBytes) {
    const std::vector<Case> cases{
        {"two sources",
         {piece(4 * kMiB), piece(4 * kMiB)},
         {{true, 4 * kMiB, 0},
          {false, 2, 0.25},
          {false, 3, 0.375},
          {true, 4 * kMiB, 0.5},
          {false, 2, 0.75}}},
        {"unopened piece counts for nothing",
         {piece(2 * kMiB), piece(100 * kMiB, false), piece(2 * kMiB)},
         {{true, 2 * kMiB, 0}, {false, 1, 0.25}, {true, 2 * kMiB, 0.5}}},
        {"short source jumps to the next",
         {piece(10), piece(kMiB - 10)},
         {{true, 10, 0}, {true, kMiB - 10, 10.0 / kMiB}}},
        {"a source beyond the plan widens the whole",
         {piece(2 * kMiB)},
         {{true, 2 * kMiB, 0}, {true, 2 * kMiB, 0.5}, {false, 1, 0.75}}},
        {"a block past the length stays within the source",
         {piece(kMiB), piece(kMiB)},
         {{true, kMiB / 2, 0}, {false, 5, 0.25}}},
        {"nothing planned", {}, {{false, 3, 0}}},
        {"empty sources only", {piece(0)}, {{true, 0, 0}}},
    };
    for (const Case& c : cases) {
        RunProgress progress;
        progress.blockReached(7);
        progress.planned(c.planned);
        EXPECT_EQ(progress.done(), 0) << c.name;
        for (const Step& step : c.steps) {
            if (step.opens) {
                progress.sourceBegins(step.value);
            } else {
                progress.blockReached(static_cast<std::uint32_t>(step.value));
            }
            EXPECT_DOUBLE_EQ(progress.done(), step.done) << c.name << " after " << step.value;
        }
    }
}

// A new plan starts from nothing, whatever the run before reached.
TEST(RunProgressTest, ANewPlanStartsAgain) {
    RunProgress progress;
    progress.planned({piece(kMiB)});
    progress.sourceBegins(kMiB);
    progress.sourceBegins(kMiB);
    EXPECT_DOUBLE_EQ(progress.done(), 0.5);
    progress.planned({piece(kMiB)});
    progress.sourceBegins(4 * kMiB);
    progress.blockReached(1);
    EXPECT_DOUBLE_EQ(progress.done(), 0.25);
}
