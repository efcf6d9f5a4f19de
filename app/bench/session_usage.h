// The CPU time and the page faults of every process of this Wine session,
// read from Linux's /proc through Wine's Z: drive: the program, the floor,
// wineserver and the X server the session runs on alike. A session's
// processes are told apart from the machine's others (a busy loop beside the
// session, say) by an environment entry they all inherit and nothing else
// has: KESTRA_TEST_OUTPUT, which scripts/wine-test.sh makes for each session.
#pragma once

#include <map>
#include <string>

namespace sessionusage {

struct Usage {
    double cpuMs = 0; // user and system time together
    double minorFaults = 0;
};

// From one /proc/<pid>/stat line; false when the line is not one.
bool parseStatLine(const std::string& line, Usage& usage);

// Whether a /proc/<pid>/environ block (entries ended by NUL) holds `entry`
// ("NAME=value") as one whole entry.
bool environHolds(const std::string& block, const std::string& entry);

using Sample = std::map<int, Usage>; // by Linux process id

// What the processes did between two samples; a process in only one of them
// (started or ended between) is left out.
Usage usageBetween(const Sample& before, const Sample& after);

class Session {
  public:
    // Finds the session's processes now; later ones are not followed.
    // Empty (and every sample empty) outside Wine or without the entry.
    void FindProcesses();
    Sample Take() const;
    std::size_t ProcessCount() const { return m_pids.size(); }

  private:
    std::map<int, std::string> m_pids; // id, and its stat file's path
};

} // namespace sessionusage
