#include "tests/support/process_figures.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <vector>

#include "tests/support/e2e.h"

namespace e2e {

namespace {

BOOL CALLBACK countChild(HWND, LPARAM context) {
    ++*reinterpret_cast<long*>(context);
    return TRUE;
}

long windowCountOf(DWORD processId) {
    long count = 0;
    for (HWND window : topLevelWindowsOf(processId)) {
        ++count;
        EnumChildWindows(window, countChild, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

// The layout of SystemExtendedHandleInformation (64), the same on Windows and Wine.
struct HandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTrace;
    USHORT typeIndex;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

// The system's handle table, counted for one process: what Wine offers instead of
// GetProcessHandleCount.
long handlesInSystemTable(DWORD processId) {
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        return -1;
    }
    const ULONG kExtendedHandleInformation = 64;
    const LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    // The table of a test session holds a few thousand handles; 64 MB is far beyond it.
    for (size_t size = 1 << 20; size <= (64u << 20); size *= 2) {
        std::vector<char> buffer(size);
        ULONG needed = 0;
        LONG status =
            query(kExtendedHandleInformation, buffer.data(), static_cast<ULONG>(size), &needed);
        if (status == kInfoLengthMismatch) {
            continue;
        }
        if (status != 0) {
            return -1;
        }
        const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
        long count = 0;
        for (ULONG_PTR i = 0; i < table->count; ++i) {
            if (table->entries[i].processId == processId) {
                ++count;
            }
        }
        return count;
    }
    return -1;
}

long threadsOf(DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    long count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == processId ? 1 : 0;
    }
    CloseHandle(snapshot);
    return count;
}

}  // namespace

ProcessFigures processFigures(HANDLE process, DWORD processId) {
    ProcessFigures figures;
    figures.windows = windowCountOf(processId);
    figures.threads = threadsOf(processId);
    DWORD handles = 0;
    figures.handles = GetProcessHandleCount(process, &handles) && handles > 0
                          ? static_cast<long>(handles)
                          : handlesInSystemTable(processId);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    if (K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                sizeof(memory))) {
        // Windows counts the commit charge in both fields; Wine only in the older one.
        figures.privateBytes = static_cast<long long>(
            memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage);
    }
    return figures;
}

std::string describeFigures(const ProcessFigures& figures) {
    char text[128];
    snprintf(text, sizeof(text), "%ld windows, %ld handles, %ld threads, %lld private bytes",
             figures.windows, figures.handles, figures.threads, figures.privateBytes);
    return text;
}

}  // namespace e2e
