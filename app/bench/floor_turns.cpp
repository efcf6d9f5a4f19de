#include "app/bench/floor_turns.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace floorbench {

double medianOf(std::vector<double> times) {
    if (times.empty())
        return 0;
    std::sort(times.begin(), times.end());
    const size_t middle = times.size() / 2;
    return times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
}

std::size_t turnsOf(const TurnTimes& times) {
    return std::min(times.program.size(), times.floor.size());
}

RatioFigures ratioOf(const TurnTimes& times) {
    const size_t turns = turnsOf(times);
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

bool wantsAnotherTurn(const TurnTimes& times, const TurnRule& rule, double msLeft) {
    const size_t turns = turnsOf(times);
    if (turns < rule.leastTurns)
        return true;
    if (turns >= rule.mostTurns)
        return false;
    if (turns >= 2 && ratioOf(times).spread < rule.spreadLimit)
        return false;
    double longestTurn = 0;
    for (size_t i = 0; i < turns; ++i)
        longestTurn = std::max(longestTurn, times.program[i] + times.floor[i]);
    return longestTurn <= msLeft;
}

std::string jobLine(const JobFigures& job) {
    char figures[96];
    std::snprintf(figures, sizeof figures, "|%.1f|%.0f|%.0f", job.wallMs, job.cpuMs, job.faults);
    return "job|" + job.session + "|" + job.name + (job.program ? "|program" : "|floor") + figures;
}

bool parseJobLine(const std::string& line, JobFigures& job) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '|');)
        fields.push_back(field);
    if (fields.size() != 7 || fields[0] != "job" ||
        (fields[3] != "program" && fields[3] != "floor"))
        return false;
    char* end = nullptr;
    double numbers[3];
    for (int i = 0; i < 3; ++i) {
        const std::string& text = fields[4 + i];
        numbers[i] = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0')
            return false;
    }
    job = {fields[1], fields[2], fields[3] == "program", numbers[0], numbers[1], numbers[2]};
    return true;
}

std::vector<JobTurns> turnsByJob(const std::vector<JobFigures>& jobs) {
    std::vector<JobTurns> turns;
    std::vector<std::string> names;
    for (const JobFigures& job : jobs) {
        if (std::find(names.begin(), names.end(), job.name) == names.end())
            names.push_back(job.name);
    }
    for (const std::string& name : names) {
        JobTurns job{name, {}, {}, 0};
        std::vector<std::string> sessions;
        for (const JobFigures& figures : jobs) {
            if (figures.name == name &&
                std::find(sessions.begin(), sessions.end(), figures.session) == sessions.end())
                sessions.push_back(figures.session);
        }
        for (const std::string& session : sessions) {
            TurnTimes wall, cpu;
            for (const JobFigures& figures : jobs) {
                if (figures.name != name || figures.session != session)
                    continue;
                (figures.program ? wall.program : wall.floor).push_back(figures.wallMs);
                (figures.program ? cpu.program : cpu.floor).push_back(figures.cpuMs);
            }
            const size_t pairs = turnsOf(wall);
            const auto append = [pairs](std::vector<double>& to, const std::vector<double>& from) {
                to.insert(to.end(), from.begin(), from.begin() + static_cast<long>(pairs));
            };
            append(job.wall.program, wall.program);
            append(job.wall.floor, wall.floor);
            append(job.cpu.program, cpu.program);
            append(job.cpu.floor, cpu.floor);
            job.sessions += pairs > 0;
        }
        turns.push_back(job);
    }
    return turns;
}

} // namespace floorbench
