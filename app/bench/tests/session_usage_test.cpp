// The session's figures: read from /proc's text, summed over the processes a
// sample pair has in common, and only over processes of this very session.
#include <gtest/gtest.h>

#include <string>

#include "app/bench/session_usage.h"

namespace {

using sessionusage::Usage;

TEST(SessionUsage, StatLinesGiveFaultsAndUserPlusSystemTime) {
    struct Case {
        const char* what;
        std::string line;
        bool parsed;
        double cpuMs, minorFaults;
    };
    const std::string tail = " 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n";
    const Case cases[] = {
        {"plain name", "4242 (wineserver) S 1 2 3 0 -1 4194368 1715 0 1 0 22 136" + tail, true,
         1580, 1715},
        {"name with spaces and a parenthesis",
         "77 (print (x) bench.exe) R 1 2 3 0 -1 0 900 5 6 7 3 4" + tail, true, 70, 900},
        {"cut short before the system time", "77 (a) R 1 2 3 0 -1 0 900 5 6 7 3", false, 0, 0},
        {"no name", "", false, 0, 0},
    };
    for (const Case& c : cases) {
        Usage usage;
        EXPECT_EQ(sessionusage::parseStatLine(c.line, usage), c.parsed) << c.what;
        if (c.parsed) {
            EXPECT_DOUBLE_EQ(usage.cpuMs, c.cpuMs) << c.what;
            EXPECT_DOUBLE_EQ(usage.minorFaults, c.minorFaults) << c.what;
        }
    }
}

TEST(SessionUsage, OnlyAWholeEntryMarksAProcessOfTheSession) {
    const std::string entry = "KESTRA_TEST_OUTPUT=/tmp/kestra-wine.ab/out";
    const std::string block =
        std::string("HOME=/root\0KESTRA_TEST_OUTPUT=/tmp/kestra-wine.ab/out\0LANG=C\0", 61);
    EXPECT_TRUE(sessionusage::environHolds(block, entry));
    EXPECT_TRUE(sessionusage::environHolds(std::string("A=1\0", 4) + entry, entry)) << "last";
    EXPECT_FALSE(sessionusage::environHolds(block, "KESTRA_TEST_OUTPUT=/tmp/kestra-wine.a"))
        << "another session's folder starting the same";
    EXPECT_FALSE(sessionusage::environHolds(block, entry.substr(1))) << "an entry ending the same";
    EXPECT_FALSE(sessionusage::environHolds("", entry));
}

TEST(SessionUsage, ProcessesInOnlyOneSampleAreLeftOut) {
    const sessionusage::Sample before{{10, {100, 1000}}, {11, {50, 5}}, {12, {7, 7}}};
    const sessionusage::Sample after{{10, {160, 1300}}, {11, {55, 5}}, {13, {9000, 9000}}};
    const Usage used = sessionusage::usageBetween(before, after);
    EXPECT_DOUBLE_EQ(used.cpuMs, 65);
    EXPECT_DOUBLE_EQ(used.minorFaults, 300);
}

} // namespace
