// How many turns a job takes against the floor, and what its figures are. A
// turn is one job of the program and one of the floor; the turns go on until
// the turn-by-turn ratios agree, within a least and a most number of turns
// and the time the job may take.
//
// Each job's figures are printed as a line of its own, so that the ratios can
// also be taken over the turns of sessions that ran side by side (two on one
// core, each the other's competitor): see floor_ratios.cpp.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace floorbench {

// The program's job may take this much of the floor's time.
constexpr double kRatioTarget = 1.05;
// The turn-by-turn ratios agree when closer than this.
constexpr double kSpreadLimit = 0.05;

struct TurnTimes {
    std::vector<double> program; // one a turn
    std::vector<double> floor;
};

struct TurnRule {
    std::size_t leastTurns; // taken whatever the time
    std::size_t mostTurns;
    double spreadLimit;
};

struct RatioFigures {
    double ratio;  // median of the program's times over median of the floor's
    double spread; // largest turn-by-turn ratio less the smallest
};

// The middle time; of an even count, the mean of the two middle ones.
double medianOf(std::vector<double> times);

std::size_t turnsOf(const TurnTimes& times);

RatioFigures ratioOf(const TurnTimes& times);

// Past the least turns, another turn is taken while the ratios still differ
// (which takes two turns to tell), the most turns are not reached, and the
// longest turn so far would fit in `msLeft`.
bool wantsAnotherTurn(const TurnTimes& times, const TurnRule& rule,
                      double msLeft = std::numeric_limits<double>::infinity());

// One job as a line: job|session|name|program or floor|wall ms|CPU ms|faults
struct JobFigures {
    std::string session;
    std::string name;
    bool program = false;
    double wallMs = 0;
    double cpuMs = 0;
    double faults = 0;
};

std::string jobLine(const JobFigures& job);

// False when the line is not a job line.
bool parseJobLine(const std::string& line, JobFigures& job);

struct JobTurns {
    std::string name;
    TurnTimes wall, cpu;
    std::size_t sessions = 0;
};

// The turns of each job, named in the order they first appear; within a
// session a program job and a floor job pair up in the order they ran, and a
// job left without its pair is left out.
std::vector<JobTurns> turnsByJob(const std::vector<JobFigures>& jobs);

} // namespace floorbench
