#include "app/bench/session_usage.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "fw/tests/wine_test_support.h"

namespace sessionusage {
namespace {

// Linux reports times in ticks of 1/100 s on every architecture Wine runs on.
constexpr double kMsPerTick = 10;

bool isNumber(const char* name) {
    if (!*name)
        return false;
    for (; *name; ++name) {
        if (!std::isdigit(static_cast<unsigned char>(*name)))
            return false;
    }
    return true;
}

std::vector<int> linuxProcessIds() {
    std::vector<int> ids;
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE)
        return ids;
    do {
        if (isNumber(entry.cFileName))
            ids.push_back(std::atoi(entry.cFileName));
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return ids;
}

} // namespace

bool parseStatLine(const std::string& line, Usage& usage) {
    // The command name, in parentheses, may itself hold spaces and ')'.
    const size_t nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos)
        return false;
    std::istringstream fields(line.substr(nameEnd + 1));
    // From the state (field 3): minflt is field 10, utime 14, stime 15.
    std::string field;
    double values[13] = {};
    for (int i = 0; i < 13; ++i) {
        if (!(fields >> field))
            return false;
        values[i] = std::atof(field.c_str());
    }
    usage.minorFaults = values[7];
    usage.cpuMs = (values[11] + values[12]) * kMsPerTick;
    return true;
}

bool environHolds(const std::string& block, const std::string& entry) {
    for (size_t start = 0; start < block.size();) {
        size_t end = block.find('\0', start);
        if (end == std::string::npos)
            end = block.size();
        if (block.compare(start, end - start, entry) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

Usage usageBetween(const Sample& before, const Sample& after) {
    Usage total;
    for (const auto& [pid, then] : before) {
        const auto now = after.find(pid);
        if (now == after.end())
            continue;
        total.cpuMs += now->second.cpuMs - then.cpuMs;
        total.minorFaults += now->second.minorFaults - then.minorFaults;
    }
    return total;
}

void Session::FindProcesses() {
    m_pids.clear();
    char marker[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("KESTRA_TEST_OUTPUT", marker, sizeof marker);
    if (length == 0 || length >= sizeof marker)
        return;
    const std::string entry = std::string("KESTRA_TEST_OUTPUT=") + marker;
    for (int pid : linuxProcessIds()) {
        const std::string folder = "Z:\\proc\\" + std::to_string(pid) + "\\";
        if (environHolds(testsupport::readFile(folder + "environ"), entry))
            m_pids[pid] = folder + "stat";
    }
}

Sample Session::Take() const {
    Sample sample;
    for (const auto& [pid, statPath] : m_pids) {
        Usage usage;
        if (parseStatLine(testsupport::readFile(statPath), usage))
            sample[pid] = usage;
    }
    return sample;
}

} // namespace sessionusage
