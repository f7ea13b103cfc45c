#include "app/main_window.h"
#include <shellapi.h>

#include <cstring>

#include "app/app_state.h"
#include "resources/commands.h"
#include "base/win/handle_guards.h"
#include "app/help_window.h"
#include "settings/settings.h"
#include "magnifier/magnifier_window.h"
#include "resources/resource_ids.h"
#include "shell/autostart.h"
#include "shell/hide_to_tray.h"
#include "shell/hotkey_dialog.h"
#include "shell/tray_icon.h"
#include "texts/texts.h"

namespace {

void onCreate(HWND window) {
    appState.mainWindow = window;
    addTrayIconForMainWindow(window);

    magnifier.viewWidth = 700;
    magnifier.viewHeight = 300;
    magnifier.viewWidth = readSetting("cx", magnifier.viewWidth);
    magnifier.viewHeight = readSetting("cy", magnifier.viewHeight);
    magnifier.zoom = readSetting("zoom", magnifier.zoom);
    appState.hotkeyUseFlag = readSetting("use_hk", appState.hotkeyUseFlag);
    appState.hotkeyVirtualKey = readSetting("hk_vkey", appState.hotkeyVirtualKey);
    appState.hotkeyModifiers = readSetting("hk_key", appState.hotkeyModifiers);

    magnifier.create(magnifier.viewWidth, magnifier.viewHeight, magnifier.zoom, window);
    SetTimer(window, TIMER_ID, 50, nullptr);
}

void onPaint(HWND window) {
    PaintScope paint(window);
    paintHelpWindow(paint.dc(), window);
}

// Polled rather than registered, so the key works whatever else holds a system hotkey.
void pollHotkey() {
    if (appState.hotkeyUseFlag == 0) {
        return;
    }
    if ((GetAsyncKeyState(appState.hotkeyVirtualKey) & 0x8000) == 0) {
        return;
    }
    if ((GetKeyState(VK_CONTROL) & 0x8000) != 0) {
        magnifier.activate();
    }
}

// Returns true when the command's result is 0 rather than the default procedure's.
bool runCommand(int command) {
    switch (command) {
        case CMD_EXIT:
            DestroyWindow(appState.mainWindow);
            return false;
        case CMD_MAGNIFY:
            magnifier.activate();
            return false;
        case CMD_WEBPAGE:
            ShellExecuteW(nullptr, L"open", uiString(4), nullptr, nullptr, SW_SHOW);
            return true;
        case CMD_HELP:
            ShowWindow(appState.mainWindow, SW_SHOWMAXIMIZED);
            SetFocus(appState.mainWindow);
            return false;
        case CMD_SET_HOTKEY:
            showHotkeyDialog(appState.mainWindow);
            return false;
        case CMD_AUTOSTART:
            toggleAutostart();
            return false;
        default:
            return false;
    }
}

}  // namespace

void registerMainClass(HINSTANCE instance) {
    lstrcpynA(appState.windowTitle, instanceName.text() ? instanceName.text() : "",
              sizeof(appState.windowTitle));
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VISTREL));
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VISTREL));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = nullptr;
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDM_MENUBAR);
    windowClass.lpszClassName = appState.className;
    RegisterClassExA(&windowClass);
}

BOOL CALLBACK wakeEnumCallback(HWND window, LPARAM) {
    DWORD_PTR reply = 0;
    LRESULT sent = SendMessageTimeoutA(window, appState.wakeMessage, 0, 0,
                                       SMTO_BLOCK | SMTO_ABORTIFHUNG, 10000, &reply);
    if (sent != 0 && reply == appState.wakeMessage) {
        return FALSE;
    }
    return TRUE;
}

int createMainWindow(HINSTANCE instance) {
    appState.moduleInstance = instance;
    CreateMutexA(nullptr, FALSE, instanceName.text());
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) {
        EnumWindows(wakeEnumCallback, 0);
        PostQuitMessage(EXIT_CODE_SECOND_START);
    }
    HWND window = CreateWindowExA(0, appState.className, appState.windowTitle, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 600, 400, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr) {
        return 0;
    }
    ShowWindow(window, SW_HIDE);
    UpdateWindow(window);
    return 1;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    trayIcon();
    if (message == appState.wakeMessage && message != 0) {
        handleWakeMessage(window);
        return appState.wakeMessage;
    }
    if (handleTaskbarCreated(message)) {
        return 0;
    }
    switch (message) {
        case WM_CREATE:
            onCreate(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_PAINT:
            onPaint(window);
            return 0;
        case WM_KEYDOWN:
            handleHelpWindowKey(window);
            return 0;
        case WM_CLOSE:
            hideToTray();
            return 0;
        case WM_TIMER:
            pollHotkey();
            return 0;
        case WM_COMMAND:
            if (runCommand(LOWORD(wParam))) {
                return 0;
            }
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_TRAYNOTIFY:
            handleTrayNotify(window, lParam);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

int runVistrel(HINSTANCE instance) {
    LoadStringA(instance, IDS_APP_NAME, appState.windowTitle, sizeof(appState.windowTitle));
    LoadStringA(instance, IDS_APP_NAME, appState.className, sizeof(appState.className));
    registerMainClass(instance);
    loadSettings();
    loadTexts();

    appState.autostartFlag = startupAutostartFlag();

    if (!createMainWindow(instance)) {
        return 0;
    }
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_ACCELERATORS));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(message.hwnd, accelerators, &message) == 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    saveViewSettings();
    return static_cast<int>(message.wParam);
}
