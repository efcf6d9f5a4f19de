// The ratios against the floor, from the job lines the printing benchmark
// prints (floor_turns.h), over every session given on standard input: one
// session on all cores, or two that ran side by side on one core. One line a
// job, with the spread of its turns, the ratio of the CPU the sessions spent
// and the machine's load before and after.
//   floor_ratios CONFIGURATION < session logs
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "app/bench/floor_turns.h"

namespace {

using namespace floorbench;

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

struct Loads {
    std::string before, after;
};

// load|session|job|before|after: the first session's load before, the last one's after.
void readLoadLine(const std::string& line, std::map<std::string, Loads>& loads) {
    std::vector<std::string> fields;
    for (size_t start = 0; start <= line.size();) {
        const size_t end = std::min(line.find('|', start), line.size());
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    if (fields.size() != 5)
        return;
    Loads& job = loads[fields[2]];
    if (job.before.empty())
        job.before = fields[3];
    job.after = fields[4];
}

void printRatio(const JobTurns& job, const std::string& configuration, const Loads& loads) {
    const RatioFigures wall = ratioOf(job.wall), cpu = ratioOf(job.cpu);
    const size_t turns = turnsOf(job.wall);
    // The spread takes two turns; of one there is none to tell.
    const bool agree = turns >= 2 && wall.spread < kSpreadLimit;
    std::printf("ratio %-26s %-22s %.3f  spread %.3f over %zu turns in %zu session%s (within "
                "%.2f: %s)  CPU %.3f  load %s .. %s  (target <= %.2f: %s)\n",
                job.name.c_str(), configuration.c_str(), wall.ratio, wall.spread, turns,
                job.sessions, job.sessions == 1 ? "" : "s", kSpreadLimit, agree ? "yes" : "no",
                cpu.ratio, loads.before.empty() ? "?" : loads.before.c_str(),
                loads.after.empty() ? "?" : loads.after.c_str(), kRatioTarget,
                verdict(turns > 0 && wall.ratio <= kRatioTarget));
}

} // namespace

int main(int argc, char** argv) {
    const std::string configuration = argc > 1 ? argv[1] : "";
    std::vector<JobFigures> jobs;
    std::map<std::string, Loads> loads;
    for (std::string line; std::getline(std::cin, line);) {
        // The sessions are Windows programs: their lines end in CR LF.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        JobFigures job;
        if (parseJobLine(line, job))
            jobs.push_back(job);
        else if (line.rfind("load|", 0) == 0)
            readLoadLine(line, loads);
    }
    const std::vector<JobTurns> turns = turnsByJob(jobs);
    for (const JobTurns& job : turns)
        printRatio(job, configuration, loads[job.name]);
    if (turns.empty())
        std::printf("ratio: no job was printed in %s\n", configuration.c_str());
    return turns.empty() ? 1 : 0;
}
