#include "app/bench/floor_turns.h"

#include <algorithm>

namespace floorbench {

double medianOf(std::vector<double> times) {
    if (times.empty())
        return 0;
    std::sort(times.begin(), times.end());
    const size_t middle = times.size() / 2;
    return times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
}

RatioFigures ratioOf(const TurnTimes& times) {
    const size_t turns = std::min(times.program.size(), times.floor.size());
    if (turns == 0)
        return {0, 0};
    double least = 0, most = 0;
    for (size_t i = 0; i < turns; ++i) {
        const double ratio = times.program[i] / times.floor[i];
        least = i == 0 ? ratio : std::min(least, ratio);
        most = i == 0 ? ratio : std::max(most, ratio);
    }
    return {medianOf(times.program) / medianOf(times.floor), most - least};
}

bool wantsAnotherTurn(const TurnTimes& times, const TurnRule& rule) {
    const size_t turns = std::min(times.program.size(), times.floor.size());
    if (turns < rule.leastTurns)
        return true;
    if (turns >= rule.mostTurns)
        return false;
    return ratioOf(times).spread >= rule.spreadLimit;
}

} // namespace floorbench
