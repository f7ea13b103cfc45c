// The process's search for libraries loaded at run time by bare name: the system folder only.
#pragma once

#include <windows.h>

// Takes the program's own folder and the current folder out of the search for every later
// library load in the process: only the system folder where the loader can be told so
// (SetDefaultDllDirectories, Windows 8, or 7 with KB2533623), and never the current folder on
// any system. True when the search is limited to the system folder.
bool restrictLibrarySearch();

// A system library from the system folder, never from the program's own folder or the
// current one: by the system-folder search where the platform offers it, else by full path.
HMODULE loadSystemLibrary(const char* fileName);
HMODULE loadSystemLibraryByPath(const char* fileName);

// The export of that name typed as Function (a decltype of its declaration); null when the
// library or the export is missing. Resolved once by the caller and kept while the library is.
template <typename Function>
Function libraryExport(HMODULE library, const char* exportName) {
    if (library == nullptr) {
        return nullptr;
    }
    // Through void*: FARPROC and a function pointer of another type are not interconvertible.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, exportName)));
}
