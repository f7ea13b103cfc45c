// Wine's per-program library override for vistrel.exe, set for the life of the object:
// "native,builtin" makes Wine take the first gdiplus.dll found on the search path, as
// Windows does (by default Wine prefers its own); "" disables the library, as on a system
// without GDI+. Windows does not read this key.
#pragma once

#include <windows.h>

namespace e2e {

class ProgramDllOverride {
  public:
    ProgramDllOverride(const char* library, const char* order);
    ~ProgramDllOverride();
    ProgramDllOverride(const ProgramDllOverride&) = delete;
    ProgramDllOverride& operator=(const ProgramDllOverride&) = delete;
    bool set() const { return set_; }

  private:
    HKEY key_ = nullptr;
    const char* library_;
    bool set_ = false;
};

}  // namespace e2e
