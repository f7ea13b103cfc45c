// vistrel.exe at rest against its floors, all measured in this one run: start to idle, the
// libraries loaded and the private bytes at idle, the CPU time spent hidden, the private bytes
// while the zoom window is shown and after it hides, and a second start until the running
// instance's zoom window is shown. Timings are paired (the program and its floor one after
// the other, the order alternating) and reported as the median of the pairs' ratios, steadier
// than a ratio of medians while the machine's load drifts. Variants of the tray floor with
// GDI+, with comdlg32 and with a refresher thread tell what each of those costs at rest.
// Usage: rest_bench <folder> <paired runs> <seconds at rest>. The folder holds vistrel.exe,
// tray_floor.exe, wake_floor.exe and minimal_program.exe. Prints "name value" lines.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/floor_protocol.h"
#include "resources/commands.h"
#include "resources/window_classes.h"
#include "tests/support/e2e.h"

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;
constexpr DWORD kShowTimeoutMs = 20000;
constexpr DWORD kSettleMs = 3000;
constexpr double kMiB = 1024.0 * 1024.0;

std::wstring folder;

double pairedRatio(const std::vector<double>& real, const std::vector<double>& floor) {
    std::vector<double> ratios;
    for (size_t i = 0; i < real.size() && i < floor.size(); ++i) {
        if (real[i] > 0 && floor[i] > 0) {  // 0: that start failed
            ratios.push_back(real[i] / floor[i]);
        }
    }
    return median(ratios);
}

// The tests' waits, polling every millisecond: the second start is timed by them.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    return e2e::waitUntil(condition, timeoutMs, 1);
}

double windowsPrivateMiB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    if (!K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof(counters))) {
        return 0;
    }
    return static_cast<double>(counters.PrivateUsage) / kMiB;
}

double fileTimeMs(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 10000.0;
}

// User and kernel time of the process's running threads.
double windowsCpuMs(DWORD processId) {
    double total = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId) {
            continue;
        }
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (thread == nullptr) {
            continue;
        }
        FILETIME created, exited, kernel, user;
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
            total += fileTimeMs(kernel) + fileTimeMs(user);
        }
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return total;
}

// Under Wine the kernel's own figures of the process's Unix side: Wine reports no private
// bytes for another process and no process times but the caller's. A Windows process is
// found there by its command line, which Wine gives its Unix process; none is found on
// Windows, where the Windows figures serve.
std::string readUnixFile(const std::wstring& path) {
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return text;
    }
    char buffer[4096];
    DWORD read = 0;
    while (text.size() < 65536 && ReadFile(file, buffer, sizeof(buffer), &read, nullptr) &&
           read > 0) {
        text.append(buffer, read);
    }
    CloseHandle(file);
    return text;
}

std::wstring unixProcFile(unsigned unixPid, const wchar_t* name) {
    return L"Z:\\proc\\" + std::to_wstring(unixPid) + L"\\" + name;
}

bool sameCommandLine(const std::string& unixCommandLine, const std::wstring& path,
                     const std::wstring& arguments) {
    // NUL-separated words, padded with NULs.
    std::wstring words;
    for (char c : unixCommandLine) {
        words.push_back(c == '\0' ? L' ' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    while (!words.empty() && words.back() == L' ') {
        words.pop_back();
    }
    std::wstring expected = arguments.empty() ? path : path + L" " + arguments;
    return _wcsicmp(words.c_str(), expected.c_str()) == 0;
}

unsigned findUnixPid(const std::wstring& path, const std::wstring& arguments) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    unsigned found = 0;
    do {
        wchar_t* end = nullptr;
        const unsigned long pid = wcstoul(entry.cFileName, &end, 10);
        if (pid == 0 || end == nullptr || *end != L'\0') {
            continue;
        }
        if (sameCommandLine(readUnixFile(unixProcFile(pid, L"cmdline")), path, arguments)) {
            found = static_cast<unsigned>(pid);
        }
    } while (found == 0 && FindNextFileW(search, &entry));
    FindClose(search);
    return found;
}

// Anonymous resident memory and swap: what the process holds for itself alone.
double unixPrivateMiB(unsigned unixPid) {
    const std::string status = readUnixFile(unixProcFile(unixPid, L"status"));
    double kib = 0;
    for (const char* key : {"RssAnon:", "VmSwap:"}) {
        const size_t at = status.find(key);
        if (at != std::string::npos) {
            kib += strtod(status.c_str() + at + strlen(key), nullptr);
        }
    }
    return kib / 1024.0;
}

// User and system time of all its threads, ended ones included, in clock ticks of 10 ms.
double unixCpuMs(unsigned unixPid) {
    const std::string stat = readUnixFile(unixProcFile(unixPid, L"stat"));
    const size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos) {
        return 0;
    }
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    unsigned long user = 0;
    unsigned long system = 0;
    if (sscanf(stat.c_str() + nameEnd + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu",
               &user, &system) != 2) {
        return 0;
    }
    return 10.0 * static_cast<double>(user + system);
}

// One started program of the folder; ended through its message loop (its exit-time work, the
// tray icon's removal included, runs), or killed when that takes too long.
class Running {
  public:
    Running(const wchar_t* exe, const wchar_t* arguments) {
        path_ = folder + L"\\" + exe;
        arguments_ = arguments;
        std::wstring commandLine = L"\"" + path_ + L"\" " + arguments_;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        started_ = CreateProcessW(path_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                                  nullptr, folder.c_str(), &startup, &process_) != 0;
        if (!started_) {
            fwprintf(stderr, L"cannot start %ls\n", path_.c_str());
        }
    }
    ~Running() { end(); }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    bool started() const { return started_; }
    HANDLE process() const { return process_.hProcess; }
    DWORD id() const { return process_.dwProcessId; }
    bool waitForIdle() const {
        return started_ && WaitForInputIdle(process_.hProcess, kStartTimeoutMs) == 0;
    }
    // The exit code once the process has ended by itself within the time.
    bool waitForExit(DWORD* code) const {
        if (!started_) {
            return false;
        }
        if (!waitUntil([&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; },
                       kExitTimeoutMs)) {
            return false;
        }
        return GetExitCodeProcess(process_.hProcess, code) != 0;
    }
    double privateMiB() {
        return unixPid() != 0 ? unixPrivateMiB(unixPid_) : windowsPrivateMiB(process_.hProcess);
    }
    double cpuMs() {
        return unixPid() != 0 ? unixCpuMs(unixPid_) : windowsCpuMs(process_.dwProcessId);
    }
    void end() {
        if (!started_) {
            return;
        }
        PostThreadMessageW(process_.dwThreadId, WM_QUIT, 0, 0);
        if (!waitUntil([&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; },
                       kExitTimeoutMs)) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, kExitTimeoutMs);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
        started_ = false;
    }

  private:
    unsigned unixPid() {
        if (unixPid_ == 0) {
            unixPid_ = findUnixPid(path_, arguments_);
        }
        return unixPid_;
    }

    std::wstring path_;
    std::wstring arguments_;
    PROCESS_INFORMATION process_ = {};
    unsigned unixPid_ = 0;
    bool started_ = false;
};

double startToIdleMs(const wchar_t* exe, const wchar_t* arguments) {
    const double begin = nowMs();
    Running program(exe, arguments);
    if (!program.waitForIdle()) {
        return 0;
    }
    const double elapsed = nowMs() - begin;
    program.end();
    e2e::pumpFor(300);
    return elapsed;
}

std::vector<std::wstring> moduleNames(DWORD processId) {
    std::vector<std::wstring> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return names;
    }
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Module32FirstW(snapshot, &entry); more;
         more = Module32NextW(snapshot, &entry)) {
        std::wstring name = entry.szModule;
        for (wchar_t& c : name) {
            c = static_cast<wchar_t>(towlower(c));
        }
        names.push_back(name);
    }
    CloseHandle(snapshot);
    return names;
}

void writeHotkeySettings(const wchar_t* iniName) {
    // The hotkey on (Ctrl+Z), so the timer polls its key as it does for a user who set one.
    const std::wstring path = folder + L"\\" + iniName;
    WritePrivateProfileStringW(L"Program", L"use_hk", L"1", path.c_str());
    WritePrivateProfileStringW(L"Program", L"hk_vkey", L"90", path.c_str());
    WritePrivateProfileStringW(L"Program", L"hk_key", L"2", path.c_str());
}

// ---- the measurements ----

void measureStartToIdle(int runs) {
    struct Starter {
        const wchar_t* exe;
        const wchar_t* arguments;
        std::vector<double> times;
    };
    Starter starters[] = {{L"vistrel.exe", L"", {}},
                          {L"tray_floor.exe", L"", {}},
                          {L"minimal_program.exe", L"", {}},
                          {L"tray_floor.exe", L"gdiplus", {}}};
    const int count = static_cast<int>(sizeof(starters) / sizeof(starters[0]));
    for (int run = 0; run < runs; ++run) {
        // Rotate the order, so none always follows the same one.
        for (int turn = 0; turn < count; ++turn) {
            Starter& starter = starters[(turn + run) % count];
            starter.times.push_back(startToIdleMs(starter.exe, starter.arguments));
        }
    }
    const std::vector<double>& real = starters[0].times;
    const std::vector<double>& tray = starters[1].times;
    printf(
        "start_to_idle_ms vistrel %.1f, tray floor %.1f, minimal program %.1f, tray floor + "
        "GDI+ started twice %.1f (medians of %d)\n",
        median(real), median(tray), median(starters[2].times), median(starters[3].times), runs);
    printf("start_to_idle_ratio_to_tray_floor %.2f (goal <= 1.2)\n", pairedRatio(real, tray));
    printf("start_to_idle_ratio_to_minimal_program %.2f\n", pairedRatio(real, starters[2].times));
    printf("start_to_idle_ratio_of_tray_floor_with_gdiplus_to_tray_floor %.2f\n",
           pairedRatio(starters[3].times, tray));
}

struct AtRest {
    const char* name;
    Running* program;
    std::vector<std::wstring> modules;
    double privateIdle = 0;
};

void reportLibraries(std::vector<AtRest>& programs) {
    printf("libraries_at_idle");
    for (AtRest& each : programs) {
        each.modules = moduleNames(each.program->id());
        printf("%s %s %zu", &each == &programs.front() ? "" : ",", each.name, each.modules.size());
    }
    printf("\n");
    // What vistrel.exe loads beyond the tray floor, by name.
    std::set<std::wstring> floorModules(programs[1].modules.begin(), programs[1].modules.end());
    printf("libraries_beyond_tray_floor");
    for (const std::wstring& name : programs[0].modules) {
        if (floorModules.count(name) == 0 && name != L"vistrel.exe") {
            printf(" %ls", name.c_str());
        }
    }
    printf("\n");
}

void reportPrivateBytes(std::vector<AtRest>& programs) {
    printf("private_mib_at_idle");
    for (AtRest& each : programs) {
        each.privateIdle = each.program->privateMiB();
        printf("%s %s %.2f", &each == &programs.front() ? "" : ",", each.name, each.privateIdle);
    }
    printf("\n");
    const double floor = programs[1].privateIdle;
    printf("private_mib_above_tray_floor vistrel %+.2f (goal <= +1)",
           programs[0].privateIdle - floor);
    for (size_t i = 2; i < programs.size(); ++i) {
        printf(", %s %+.2f", programs[i].name, programs[i].privateIdle - floor);
    }
    printf("\n");
}

// The refresher variant of the floor runs alongside, to tell what its thread adds.
void measureCpu(Running& real, Running& tray, Running& withRefresher, int seconds) {
    const double realBefore = real.cpuMs();
    const double trayBefore = tray.cpuMs();
    const double refresherBefore = withRefresher.cpuMs();
    e2e::pumpFor(static_cast<DWORD>(seconds) * 1000);
    const double realSpent = real.cpuMs() - realBefore;
    const double traySpent = tray.cpuMs() - trayBefore;
    const double refresherSpent = withRefresher.cpuMs() - refresherBefore;
    printf(
        "cpu_ms_hidden_over_%ds vistrel %.0f, tray floor %.0f, tray floor + refresher thread "
        "%.0f (clock ticks of 10 ms)\n",
        seconds, realSpent, traySpent, refresherSpent);
    printf("cpu_hidden_ratio_to_tray_floor %.2f (goal <= 1.2)\n",
           traySpent > 0 ? realSpent / traySpent : 0.0);
    printf("private_mib_after_%ds vistrel %.2f, tray floor %.2f\n", seconds, real.privateMiB(),
           tray.privateMiB());
}

// A program's window shown over a full-screen snapshot, then hidden again: private bytes
// above the program's own idle level, each after a second of rest.
struct ShownMemory {
    double shown = 0;
    double hidden = 0;
    bool measured = false;
};

ShownMemory shownMemory(Running& program, HWND window, const std::function<void()>& show,
                        const std::function<void()>& hide) {
    ShownMemory memory;
    const double idle = program.privateMiB();
    show();
    if (!waitUntil([&] { return IsWindowVisible(window) != 0; }, kShowTimeoutMs)) {
        return memory;
    }
    e2e::pumpFor(1000);
    memory.shown = program.privateMiB() - idle;
    hide();
    waitUntil([&] { return IsWindowVisible(window) == 0; }, kShowTimeoutMs);
    e2e::pumpFor(1000);
    memory.hidden = program.privateMiB() - idle;
    memory.measured = true;
    return memory;
}

void measureShown(Running& real, Running& tray) {
    HWND mainWindow = e2e::findWindowOf(real.id(), kMainWindowClass);
    HWND zoom = e2e::findWindowOf(real.id(), kZoomWindowClass);
    HWND trayMain = e2e::findWindowOf(tray.id(), kTrayFloorClass);
    HWND popup = e2e::findWindowOf(tray.id(), kFloorPopupClass);
    if (mainWindow == nullptr || zoom == nullptr || trayMain == nullptr || popup == nullptr) {
        printf("private_mib_shown n/a (windows not found)\n");
        return;
    }
    const ShownMemory realMemory = shownMemory(
        real, zoom, [&] { PostMessageW(mainWindow, WM_COMMAND, CMD_MAGNIFY, 0); },
        [&] { PostMessageW(zoom, WM_KEYDOWN, VK_ESCAPE, 0); });
    const ShownMemory floorMemory = shownMemory(
        tray, popup, [&] { PostMessageW(trayMain, kFloorWakeMessage, 0, 0); },
        [&] { PostMessageW(trayMain, kFloorHideMessage, 0, 0); });
    if (!realMemory.measured || !floorMemory.measured) {
        printf("private_mib_shown n/a (a window did not show)\n");
        return;
    }
    const double bitmapMiB =
        4.0 * GetSystemMetrics(SM_CXVIRTUALSCREEN) * GetSystemMetrics(SM_CYVIRTUALSCREEN) / kMiB;
    printf(
        "private_mib_shown_%dx%d_above_idle vistrel %+.2f, activation floor %+.2f; snapshot "
        "bitmap %.2f; vistrel beyond idle + bitmap %+.2f (goal <= +1)\n",
        GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
        realMemory.shown, floorMemory.shown, bitmapMiB, realMemory.shown - bitmapMiB);
    printf("private_mib_after_hiding_above_idle vistrel %+.2f, activation floor %+.2f\n",
           realMemory.hidden, floorMemory.hidden);
}

// From CreateProcess of the second start until the running instance's window is visible.
double secondStartMs(const wchar_t* exe, HWND watched, bool* exitedAsExpected, DWORD expectedCode) {
    const double begin = nowMs();
    Running second(exe, L"");
    if (!second.started() ||
        !waitUntil([&] { return IsWindowVisible(watched) != 0; }, kShowTimeoutMs)) {
        *exitedAsExpected = false;
        return 0;
    }
    const double elapsed = nowMs() - begin;
    DWORD code = 0;
    *exitedAsExpected = second.waitForExit(&code) && code == expectedCode;
    return elapsed;
}

void measureSecondStart(const Running& real, const Running& tray, int runs) {
    HWND zoom = e2e::findWindowOf(real.id(), kZoomWindowClass);
    HWND popup = e2e::findWindowOf(tray.id(), kFloorPopupClass);
    HWND trayMain = e2e::findWindowOf(tray.id(), kTrayFloorClass);
    if (zoom == nullptr || popup == nullptr || trayMain == nullptr) {
        printf("second_start n/a (windows not found)\n");
        return;
    }
    std::vector<double> realTimes, floorTimes;
    int expectedExits = 0;
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool realTurn = (turn == 0) == (run % 2 == 0);
            bool exited = false;
            if (realTurn) {
                realTimes.push_back(
                    secondStartMs(L"vistrel.exe", zoom, &exited, EXIT_CODE_SECOND_START));
                expectedExits += exited ? 1 : 0;
                PostMessageW(zoom, WM_KEYDOWN, VK_ESCAPE, 0);
                waitUntil([&] { return IsWindowVisible(zoom) == 0; }, kShowTimeoutMs);
            } else {
                floorTimes.push_back(secondStartMs(L"wake_floor.exe", popup, &exited, 0));
                PostMessageW(trayMain, kFloorHideMessage, 0, 0);
                waitUntil([&] { return IsWindowVisible(popup) == 0; }, kShowTimeoutMs);
            }
            e2e::pumpFor(300);
        }
    }
    printf("second_start_ms vistrel %.1f, floor %.1f (medians of %d), ratio %.2f (goal <= 1.2)\n",
           median(realTimes), median(floorTimes), runs, pairedRatio(realTimes, floorTimes));
    printf("second_start_exits_with_45054 %d of %d\n", expectedExits, runs);
}

LRESULT CALLBACK keeperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 4) {
        fprintf(stderr, "usage: rest_bench <folder> <paired runs> <seconds at rest>\n");
        return 2;
    }
    folder = argv[1];
    const int runs = std::max(1, _wtoi(argv[2]));
    const int seconds = std::max(1, _wtoi(argv[3]));
    LocalFree(argv);
    writeHotkeySettings(L"vistrel.ini");
    writeHotkeySettings(L"tray_floor.ini");

    // A window of the bench's own keeps Wine's desktop process up between the starts.
    WNDCLASSEXW keeperClass = {};
    keeperClass.cbSize = sizeof(keeperClass);
    keeperClass.lpfnWndProc = keeperProc;
    keeperClass.lpszClassName = L"VistrelRestBench";
    RegisterClassExW(&keeperClass);
    HWND keeper = CreateWindowExW(0, L"VistrelRestBench", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);

    measureStartToIdle(runs);
    fflush(stdout);

    Running real(L"vistrel.exe", L"");
    Running tray(L"tray_floor.exe", L"");
    Running minimal(L"minimal_program.exe", L"");
    Running withGdiplus(L"tray_floor.exe", L"gdiplus");
    Running withComdlg(L"tray_floor.exe", L"comdlg32");
    Running withRefresher(L"tray_floor.exe", L"refresher");
    std::vector<AtRest> programs = {{"vistrel", &real, {}, 0},
                                    {"tray floor", &tray, {}, 0},
                                    {"minimal program", &minimal, {}, 0},
                                    {"tray floor + GDI+ started twice", &withGdiplus, {}, 0},
                                    {"tray floor + comdlg32", &withComdlg, {}, 0},
                                    {"tray floor + refresher thread", &withRefresher, {}, 0}};
    for (AtRest& each : programs) {
        if (!each.program->waitForIdle()) {
            fprintf(stderr, "%s did not reach idle\n", each.name);
            return 1;
        }
    }
    e2e::pumpFor(kSettleMs);
    reportLibraries(programs);
    reportPrivateBytes(programs);
    fflush(stdout);
    minimal.end();
    withGdiplus.end();
    withComdlg.end();

    measureCpu(real, tray, withRefresher, seconds);
    withRefresher.end();
    fflush(stdout);
    measureShown(real, tray);
    fflush(stdout);
    measureSecondStart(real, tray, runs);
    fflush(stdout);
    DestroyWindow(keeper);
    return 0;
}
