// Start-to-idle time of a program: CreateProcess until its message loop first waits for
// input. Usage: start_timer <exe> <runs>; prints the median in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: start_timer <exe> <runs>\n");
        return 2;
    }
    int runs = atoi(argv[2]);
    std::vector<double> times;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < runs; ++i) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        char commandLine[MAX_PATH + 4];
        snprintf(commandLine, sizeof(commandLine), "\"%s\"", argv[1]);
        LARGE_INTEGER begin, end;
        QueryPerformanceCounter(&begin);
        if (!CreateProcessA(argv[1], commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process)) {
            fprintf(stderr, "cannot start %s\n", argv[1]);
            return 1;
        }
        WaitForInputIdle(process.hProcess, 20000);
        QueryPerformanceCounter(&end);
        times.push_back(1000.0 * (end.QuadPart - begin.QuadPart) / frequency.QuadPart);
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        Sleep(200);
    }
    std::sort(times.begin(), times.end());
    printf("%.1f\n", times[times.size() / 2]);
    return 0;
}
