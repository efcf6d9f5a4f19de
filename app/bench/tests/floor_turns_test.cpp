// The turns against the floor: when they stop, and the figures they give.
#include <gtest/gtest.h>

#include "app/bench/floor_turns.h"

namespace {

using floorbench::TurnTimes;

const floorbench::TurnRule kRule{2, 4, 0.05};

TEST(FloorTurns, MedianOfAnEvenCountIsTheMeanOfTheMiddleTwo) {
    EXPECT_DOUBLE_EQ(floorbench::medianOf({30, 10, 20}), 20);
    EXPECT_DOUBLE_EQ(floorbench::medianOf({40, 10, 30, 20}), 25);
    EXPECT_DOUBLE_EQ(floorbench::medianOf({12, 10}), 11);
}

TEST(FloorTurns, RatioIsOfTheMediansAndSpreadOfTheTurnByTurnRatios) {
    const TurnTimes times{{110, 100, 120}, {100, 100, 100}};
    const floorbench::RatioFigures figures = floorbench::ratioOf(times);
    EXPECT_DOUBLE_EQ(figures.ratio, 1.10);
    EXPECT_NEAR(figures.spread, 0.20, 1e-12);
}

TEST(FloorTurns, TurnsGoOnUntilTheRatiosAgreeWithinTheLeastAndTheMost) {
    struct Case {
        const char* what;
        TurnTimes times;
        bool another;
    };
    const Case cases[] = {
        {"no turn yet", {{}, {}}, true},
        {"one turn, however close", {{100}, {100}}, true},
        {"two turns agreeing", {{100, 104}, {100, 100}}, false},
        {"two turns a hair apart", {{100, 105}, {100, 100}}, true},
        {"three turns still apart", {{100, 110, 100}, {100, 100, 100}}, true},
        {"the most turns, still apart", {{100, 110, 100, 110}, {100, 100, 100, 100}}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(floorbench::wantsAnotherTurn(c.times, kRule), c.another) << c.what;
}

} // namespace
