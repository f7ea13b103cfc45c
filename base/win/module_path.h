// The program file's own path and the files beside it, always as wide text: a folder named in
// any script must reach the file system unchanged.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/path_text.h"

// The full path of module's file (the program's with a null module). Returns its length, or
// 0 with path empty when the system could not report it whole.
size_t moduleFilePath(HMODULE module, wchar_t (&path)[kPathCapacity]);

// fileName in the program's folder. False, with path empty, when the program's path cannot be
// had whole or the result would not fit.
bool programFolderFile(const wchar_t* fileName, wchar_t (&path)[kPathCapacity]);
