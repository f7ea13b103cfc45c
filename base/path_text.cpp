#include "base/path_text.h"

#include <cwchar>

bool replaceFileName(const wchar_t* path, size_t length, const wchar_t* fileName, wchar_t* out,
                     size_t capacity) {
    if (out == nullptr || capacity == 0) {
        return false;
    }
    out[0] = L'\0';
    if (path == nullptr || fileName == nullptr) {
        return false;
    }
    size_t folderLength = 0;
    for (size_t i = 0; i < length && path[i] != L'\0'; ++i) {
        if (path[i] == L'\\' || path[i] == L'/') {
            folderLength = i + 1;
        }
    }
    // A bare name has no folder to put the file beside.
    if (folderLength == 0) {
        return false;
    }
    size_t nameLength = wcslen(fileName);
    if (nameLength == 0 || folderLength + nameLength >= capacity) {
        return false;
    }
    wmemcpy(out, path, folderLength);
    wmemcpy(out + folderLength, fileName, nameLength + 1);
    return true;
}
