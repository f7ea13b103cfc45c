#include "base/win/module_path.h"

size_t moduleFilePath(HMODULE module, wchar_t (&path)[kPathCapacity]) {
    DWORD length = GetModuleFileNameW(module, path, static_cast<DWORD>(kPathCapacity));
    // A full buffer means the call had to cut the path.
    if (length == 0 || length >= kPathCapacity) {
        path[0] = L'\0';
        return 0;
    }
    return length;
}

bool programFolderFile(const wchar_t* fileName, wchar_t (&path)[kPathCapacity]) {
    wchar_t program[kPathCapacity];
    size_t length = moduleFilePath(nullptr, program);
    if (length == 0) {
        path[0] = L'\0';
        return false;
    }
    return replaceFileName(program, length, fileName, path, kPathCapacity);
}
