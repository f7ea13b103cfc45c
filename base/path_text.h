// Path text rules for wide paths, kept free of the platform so they can be tested anywhere.
#pragma once

#include <cstddef>

// The longest path the program uses, terminator included: the system's classic limit. A
// path that would need more is refused rather than cut, since a cut path names another file.
constexpr size_t kPathCapacity = 260;

// Writes the folder of path (its first `length` characters, up to and including the last
// backslash or slash) followed by fileName into out. Returns true when the result fits in
// capacity characters with its terminator; otherwise false with out empty.
bool replaceFileName(const wchar_t* path, size_t length, const wchar_t* fileName, wchar_t* out,
                     size_t capacity);
