// Starting the program with the fault library (tests/support/faults/fault_library.cpp) loaded
// before its first line runs: created suspended, the library loaded by a thread of its own
// that runs LoadLibraryW, then resumed.
#include <string>

#include "tests/support/e2e.h"

namespace e2e {

namespace {

bool loadLibraryInto(HANDLE process, const std::wstring& library) {
    const SIZE_T size = (library.size() + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    if (remote == nullptr) {
        return false;
    }
    DWORD loaded = 0;
    // kernel32 lies at the same address in every process of the session.
    auto* loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryW")));
    HANDLE thread = WriteProcessMemory(process, remote, library.c_str(), size, nullptr)
                        ? CreateRemoteThread(process, nullptr, 0, loadLibrary, remote, 0, nullptr)
                        : nullptr;
    if (thread != nullptr) {
        if (WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0) {
            GetExitCodeThread(thread, &loaded);
        }
        CloseHandle(thread);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return loaded != 0;
}

}  // namespace

bool Program::startWithFaults(const std::string& rules, const char* arguments) {
    std::string environment = "VISTREL_FAULTS=" + rules;
    environment.append(2, '\0');
    if (!launch(arguments, environment.c_str(), CREATE_SUSPENDED)) {
        return false;
    }
    if (!loadLibraryInto(process(), widen(testProgramFolder() + "\\vistrel_faults.dll"))) {
        kill();
        return false;
    }
    return ResumeThread(processInfo_.hThread) != static_cast<DWORD>(-1);
}

}  // namespace e2e
