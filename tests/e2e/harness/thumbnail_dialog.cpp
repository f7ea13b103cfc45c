#include "tests/e2e/harness/thumbnail_dialog.h"

#include <cstring>

#include "tests/e2e/harness/e2e.h"

namespace e2e {

namespace {

constexpr int kFileNameComboId = 1148;

bool isDialog(HWND window) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof(name));
    return strcmp(name, "#32770") == 0 && IsWindowVisible(window);
}

BOOL CALLBACK findEdit(HWND child, LPARAM context) {
    char name[32] = {};
    GetClassNameA(child, name, sizeof(name));
    if (strcmp(name, "Edit") == 0) {
        *reinterpret_cast<HWND*>(context) = child;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND waitForDialog(DWORD processId, DWORD timeoutMs) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            for (HWND window : topLevelWindowsOf(processId)) {
                if (isDialog(window)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

HWND fileNameField(HWND dialog) {
    HWND combo = GetDlgItem(dialog, kFileNameComboId);
    if (combo == nullptr) {
        return nullptr;
    }
    HWND edit = nullptr;
    EnumChildWindows(combo, findEdit, reinterpret_cast<LPARAM>(&edit));
    return edit;
}

bool chooseSavePath(HWND dialog, const std::string& path) {
    HWND field = fileNameField(dialog);
    if (field == nullptr) {
        return false;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                             SMTO_ABORTIFHUNG, 5000, &result)) {
        return false;
    }
    HWND save = GetDlgItem(dialog, IDOK);
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                        reinterpret_cast<LPARAM>(save)) != 0;
}

void cancelDialog(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}

bool waitUntilGone(HWND window, DWORD timeoutMs) {
    return waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

}  // namespace e2e
