#include "tests/support/thumbnail_dialog.h"

#include <cstring>

#include "tests/support/e2e.h"
#include "tests/support/zoom_view.h"

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
    const std::wstring text = widen(path);
    if (!SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
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

namespace {

// Sent messages are handled only once the program's export, which runs inside its key
// handling, has returned.
bool programAtRest(const Program& program) {
    return sendToWindow(program.mainWindow(), WM_NULL, 0, 0);
}

}  // namespace

bool exportThumbnail(const Program& program, HWND zoomWindow, const std::string& typedPath) {
    if (!postKeyDown(zoomWindow, 'T')) {
        return false;
    }
    HWND dialog = waitForDialog(program.processId());
    return dialog != nullptr && chooseSavePath(dialog, typedPath) && waitUntilGone(dialog) &&
           programAtRest(program);
}

bool cancelThumbnail(const Program& program, HWND zoomWindow) {
    if (!postKeyDown(zoomWindow, 'T')) {
        return false;
    }
    HWND dialog = waitForDialog(program.processId());
    if (dialog == nullptr) {
        return false;
    }
    cancelDialog(dialog);
    return waitUntilGone(dialog) && programAtRest(program);
}

}  // namespace e2e
