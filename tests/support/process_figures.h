// What a process holds, as load tests compare it before and after: windows, kernel handles and
// private memory. Under Wine 8 GetProcessHandleCount answers 0 for every process and
// PROCESS_MEMORY_COUNTERS_EX leaves PrivateUsage 0, so each figure falls back to a source that
// Wine does fill; on Windows the first source answers.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

struct ProcessFigures {
    long windows = -1;            // top-level windows and all their descendants
    long handles = -1;            // kernel handles the process holds
    long threads = -1;            // threads running in the process
    long long privateBytes = -1;  // memory committed for the process alone
};

// The figures of a process; -1 where one could not be read.
ProcessFigures processFigures(HANDLE process, DWORD processId);
std::string describeFigures(const ProcessFigures& figures);

}  // namespace e2e
