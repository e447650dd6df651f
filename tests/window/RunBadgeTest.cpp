#include "RunBadge.h"

#include "RecordingBadge.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using State = ProgressBadge::State;
using Shown = RecordingBadge::Shown;
using std::chrono::milliseconds;

// One thing the window tells the badge with the run's share done, `at` ms into the run for a
// move.
struct Event {
    enum Kind { Start, Move, Stop, End, Close } kind;
    double done = 0;
    int at = 0;
    std::optional<RunOutcome> outcome = std::nullopt;
};

struct Case {
    std::string name;
    std::vector<Event> events;
    std::vector<Shown> shown;
};

Event move(double done, int at) {
    return {Event::Move, done, at};
}
Event stop(double done) {
    return {Event::Stop, done};
}
Event end(RunOutcome outcome, double done) {
    return {Event::End, done, 0, outcome};
}

} // namespace

TEST(RunBadgeTest, ShowsTheRunFromItsFirstSourceToItsNotice) {
    const Event start{Event::Start};
    const Event close{Event::Close};
    const std::vector<Case> cases{
        {"complete, moves a few times a second",
         {start, move(0, 0), move(0.1, 100), move(0.2, 260), move(0.3, 400), move(0.4, 520),
          end(RunOutcome::Complete, 0.45), close},
         {{State::Normal, 0},
          {State::Normal, 0.2},
          {State::Normal, 0.4},
          {State::Normal, 1},
          {State::Hidden, 0}}},
        {"stopped: paused at once, until the notice closes",
         {start, move(0.2, 0), stop(0.22), move(0.25, 10), end(RunOutcome::Stopped, 0.3), close},
         {{State::Normal, 0.2}, {State::Paused, 0.22}, {State::Paused, 0.3}, {State::Hidden, 0}}},
        {"failed",
         {start, move(0.5, 0), move(0.6, 50), end(RunOutcome::Failed, 0.7), close},
         {{State::Normal, 0.5}, {State::Error, 0.7}, {State::Hidden, 0}}},
        {"stop before the first source: paused from it on",
         {start, stop(0), move(0, 0), end(RunOutcome::Stopped, 0.1), close},
         {{State::Paused, 0}, {State::Paused, 0.1}, {State::Hidden, 0}}},
        {"refused before any source: nothing at all",
         {start, end(RunOutcome::Unchanged, 0), close},
         {}},
        {"no run: moves, stops and notices show nothing",
         {move(0.5, 0), stop(0.5), end(RunOutcome::Failed, 0.5), close},
         {}},
        {"a second run starts unpaused",
         {start, move(0.1, 0), stop(0.1), end(RunOutcome::Stopped, 0.1), close, start,
          move(0.3, 1000)},
         {{State::Normal, 0.1},
          {State::Paused, 0.1},
          {State::Paused, 0.1},
          {State::Hidden, 0},
          {State::Normal, 0.3}}},
    };
    for (const Case& c : cases) {
        RecordingBadge badge;
        RunBadge run(badge);
        const RunBadge::Clock::time_point zero{};
        for (const Event& event : c.events) {
            switch (event.kind) {
            case Event::Start:
                run.runStarted();
                break;
            case Event::Move:
                run.moved(event.done, zero + milliseconds(event.at));
                break;
            case Event::Stop:
                run.stopAsked(event.done);
                break;
            case Event::End:
                run.runEnded(*event.outcome, event.done);
                break;
            case Event::Close:
                run.noticeClosed();
                break;
            }
        }
        EXPECT_EQ(badge.shown(), c.shown) << c.name;
    }
}
