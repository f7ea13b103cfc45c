#include "picture/library_search.h"

#include <windows.h>

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
