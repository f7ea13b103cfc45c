#include "tests/support/gdiplus_override.h"

#include <cstring>

namespace e2e {

ProgramDllOverride::ProgramDllOverride(const char* library, const char* order) : library_(library) {
    static const char kKey[] = "Software\\Wine\\AppDefaults\\vistrel.exe\\DllOverrides";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    set_ = RegSetValueExA(key_, library_, 0, REG_SZ, reinterpret_cast<const BYTE*>(order),
                          static_cast<DWORD>(strlen(order) + 1)) == ERROR_SUCCESS;
}

ProgramDllOverride::~ProgramDllOverride() {
    if (key_ != nullptr) {
        RegDeleteValueA(key_, library_);
        RegCloseKey(key_);
    }
}

}  // namespace e2e
