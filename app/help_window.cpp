#include "app/help_window.h"

void paintHelpWindow(HDC, HWND) {}

void handleHelpWindowKey(HWND window) {
    if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) {
        DestroyWindow(window);
    }
}
