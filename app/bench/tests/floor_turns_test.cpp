// The turns against the floor: when they stop, the figures they give, and the
// job lines the ratios are taken from over one session or two.
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

TEST(FloorTurns, PastTheLeastTurnsATurnIsTakenOnlyIfTheLongestSoFarFits) {
    const floorbench::TurnRule oneTurnAtLeast{1, 4, 0.05};
    struct Case {
        const char* what;
        floorbench::TurnRule rule;
        TurnTimes times;
        double msLeft;
        bool another;
    };
    const Case cases[] = {
        {"the least turns, with no time left", kRule, {{100}, {100}}, 0, true},
        {"one turn tells no spread", oneTurnAtLeast, {{100}, {100}}, 200, true},
        {"one turn, the next not fitting", oneTurnAtLeast, {{100}, {100}}, 199, false},
        {"the longest turn just fits", kRule, {{100, 110}, {100, 100}}, 210, true},
        {"the longest turn a hair over", kRule, {{100, 110}, {100, 100}}, 209.9, false},
        {"agreeing, with time to spare", kRule, {{100, 101}, {100, 100}}, 1e9, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(floorbench::wantsAnotherTurn(c.times, c.rule, c.msLeft), c.another) << c.what;
}

TEST(FloorTurns, JobLinesReadBackAndOthersAreNotTakenForThem) {
    const floorbench::JobFigures job{"2", "print 32 pages", true, 4970.8, 5070, 1663848};
    floorbench::JobFigures read;
    ASSERT_TRUE(floorbench::parseJobLine(floorbench::jobLine(job), read));
    EXPECT_EQ(read.session, "2");
    EXPECT_EQ(read.name, "print 32 pages");
    EXPECT_TRUE(read.program);
    EXPECT_DOUBLE_EQ(read.wallMs, 4970.8);
    EXPECT_DOUBLE_EQ(read.cpuMs, 5070);
    EXPECT_DOUBLE_EQ(read.faults, 1663848);
    for (const char* line :
         {"job|1|print 32 pages|floor|4970.8|5070", "job|1|x|both|1|2|3", "job|1|x|floor|1|2ms|3",
          "job|1|x|floor||2|3", "load|1|x|0.1 0.2 0.3|0.4 0.5 0.6|", "print 32 pages  CPU 1.0"})
        EXPECT_FALSE(floorbench::parseJobLine(line, read)) << line;
}

TEST(FloorTurns, TurnsPairUpWithinEachSessionAndJoinOverSessions) {
    using floorbench::JobFigures;
    const std::vector<JobFigures> jobs{
        {"1", "short", true, 110, 11, 0},  {"2", "short", false, 200, 20, 0},
        {"1", "short", false, 100, 10, 0}, {"2", "short", true, 180, 18, 0},
        {"1", "long", true, 300, 30, 0},   {"2", "short", false, 205, 21, 0},
        {"1", "long", false, 290, 29, 0},  {"1", "long", true, 900, 90, 0},
    };
    const std::vector<floorbench::JobTurns> turns = floorbench::turnsByJob(jobs);
    ASSERT_EQ(turns.size(), 2u);
    EXPECT_EQ(turns[0].name, "short");
    EXPECT_EQ(turns[0].sessions, 2u);
    // Session 2's second floor job had no program job to pair with.
    EXPECT_EQ(turns[0].wall.program, (std::vector<double>{110, 180}));
    EXPECT_EQ(turns[0].wall.floor, (std::vector<double>{100, 200}));
    EXPECT_EQ(turns[0].cpu.floor, (std::vector<double>{10, 20}));
    EXPECT_NEAR(floorbench::ratioOf(turns[0].wall).spread, 0.2, 1e-12);
    EXPECT_EQ(turns[1].name, "long");
    EXPECT_EQ(turns[1].sessions, 1u);
    EXPECT_EQ(turns[1].wall.program, (std::vector<double>{300}));
}

} // namespace
