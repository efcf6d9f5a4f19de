// The floor program (print_floor.cpp) running beside the benchmark, in the
// same prefix and on the same printer, taking one job at a time so that its
// jobs and the program's can alternate.
#pragma once

#include <windows.h>

#include <string>

class FloorProcess {
  public:
    FloorProcess() = default;
    ~FloorProcess();
    FloorProcess(const FloorProcess&) = delete;
    FloorProcess& operator=(const FloorProcess&) = delete;

    // Starts the program and waits until it has recorded its pages; the
    // reply line ("ready ...") is kept in `greeting`. FALSE on any failure.
    BOOL Start(const std::string& exePath);
    // One job ("plain", "annotated", ...): the floor's milliseconds, negative
    // when the job or the conversation failed.
    double Run(const char* job);

    std::string greeting;

  private:
    std::string ReadLine();

    HANDLE m_toChild = nullptr;
    HANDLE m_fromChild = nullptr;
    PROCESS_INFORMATION m_process{};
};
