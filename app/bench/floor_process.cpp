#include "app/bench/floor_process.h"

#include <cstdlib>

FloorProcess::~FloorProcess() {
    // Closing its input ends the floor's loop.
    if (m_toChild)
        CloseHandle(m_toChild);
    if (m_process.hProcess) {
        WaitForSingleObject(m_process.hProcess, 10000);
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
    }
    if (m_fromChild)
        CloseHandle(m_fromChild);
}

BOOL FloorProcess::Start(const std::string& exePath) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE childIn = nullptr, childOut = nullptr;
    if (!CreatePipe(&childIn, &m_toChild, &inherited, 0))
        return FALSE;
    if (!CreatePipe(&m_fromChild, &childOut, &inherited, 0)) {
        CloseHandle(childIn);
        return FALSE;
    }
    // Our ends stay ours.
    SetHandleInformation(m_toChild, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(m_fromChild, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childIn;
    startup.hStdOutput = childOut;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string commandLine = "\"" + exePath + "\"";
    const BOOL started = CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        0, nullptr, nullptr, &startup, &m_process);
    CloseHandle(childIn);
    CloseHandle(childOut);
    if (!started)
        return FALSE;
    greeting = ReadLine();
    return greeting.rfind("ready", 0) == 0;
}

std::string FloorProcess::ReadLine() {
    std::string line;
    char c = 0;
    DWORD got = 0;
    while (ReadFile(m_fromChild, &c, 1, &got, nullptr) && got == 1 && c != '\n')
        line.push_back(c);
    return line;
}

double FloorProcess::Run(const char* job) {
    const std::string request = std::string(job) + "\n";
    DWORD written = 0;
    if (!WriteFile(m_toChild, request.data(), static_cast<DWORD>(request.size()), &written,
                   nullptr) ||
        written != request.size())
        return -1;
    const std::string reply = ReadLine();
    return reply.empty() ? -1 : std::atof(reply.c_str());
}
