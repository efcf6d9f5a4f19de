// How many turns a job takes against the floor, and what its figures are. A
// turn is one job of the program and one of the floor; the turns go on until
// the turn-by-turn ratios agree, within a least and a most number of turns.
#pragma once

#include <cstddef>
#include <vector>

namespace floorbench {

struct TurnTimes {
    std::vector<double> program; // milliseconds, one a turn
    std::vector<double> floor;
};

struct TurnRule {
    std::size_t leastTurns;
    std::size_t mostTurns;
    double spreadLimit; // the turn-by-turn ratios agree when closer than this
};

struct RatioFigures {
    double ratio;  // median of the program's times over median of the floor's
    double spread; // largest turn-by-turn ratio less the smallest
};

// The middle time; of an even count, the mean of the two middle ones.
double medianOf(std::vector<double> times);

RatioFigures ratioOf(const TurnTimes& times);

bool wantsAnotherTurn(const TurnTimes& times, const TurnRule& rule);

} // namespace floorbench
