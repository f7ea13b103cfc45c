#include "base/win/system_library.h"

#include <cstring>

#include "base/path_text.h"

namespace {

// Spelled out: not every SDK declares the function for a Windows 7 target.
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

}  // namespace

bool restrictLibrarySearch() {
    // Removes the current folder from the search even where the call below is missing.
    SetDllDirectoryW(L"");
    auto setDefault = libraryExport<SetDefaultDllDirectoriesFn>(GetModuleHandleW(L"kernel32.dll"),
                                                                "SetDefaultDllDirectories");
    return setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE loadSystemLibraryByPath(const char* fileName) {
    char path[kPathCapacity] = {};
    UINT length = GetSystemDirectoryA(path, static_cast<UINT>(kPathCapacity));
    size_t nameLength = strlen(fileName);
    if (length == 0 || length + 1 + nameLength >= kPathCapacity) {
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
