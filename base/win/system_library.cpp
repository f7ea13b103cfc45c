#include "base/win/system_library.h"

#include <cstring>

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

}  // namespace

int restrictLibrarySearch() {
    // Removes the current folder from the search even where the call below is missing.
    SetDllDirectoryW(L"");
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) {
        return 0;
    }
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault == nullptr) {
        return 0;
    }
    return setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) ? 1 : 0;
}

HMODULE loadSystemLibraryByPath(const char* fileName) {
    char path[MAX_PATH] = {};
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    size_t nameLength = strlen(fileName);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) {
        return nullptr;
    }
    path[length] = '\\';
    memcpy(path + length + 1, fileName, nameLength + 1);
    // The altered search order looks beside the library, not beside the program, for the
    // libraries it needs in turn.
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE loadSystemLibrary(const char* fileName) {
    // Where the loader knows LOAD_LIBRARY_SEARCH_SYSTEM32 (Windows 8, or 7 with KB2533623,
    // which also brought AddDllDirectory), the library and its dependencies come from there.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel != nullptr && GetProcAddress(kernel, "AddDllDirectory") != nullptr) {
        HMODULE library = LoadLibraryExA(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (library != nullptr) {
            return library;
        }
    }
    return loadSystemLibraryByPath(fileName);
}
