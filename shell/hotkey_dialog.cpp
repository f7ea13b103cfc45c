#include "shell/hotkey_dialog.h"

int showHotkeyDialog(HWND) {
    return 0;
}

INT_PTR CALLBACK hotkeyDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}
