#include "app/main_window.h"
#include <shellapi.h>

#include <cstring>

#include "app/help_window.h"
#include "app/process_objects.h"
#include "base/win/handle_guards.h"
#include "resources/commands.h"
#include "resources/resource_ids.h"
#include "resources/window_classes.h"
#include "settings/settings.h"
#include "shell/autostart.h"
#include "shell/hide_to_tray.h"
#include "shell/hotkey_dialog.h"
#include "shell/tray_icon.h"
#include "texts/texts.h"

namespace {

void onCreate(HWND window) {
    appState.mainWindow = window;
    addTrayIconForMainWindow(trayIcon, appState.moduleInstance, window, kInstanceName);

    appState.hotkey = loadHotkey();
    registerHotkey(window, appState.hotkey);

    exportLoader.emplace();
    watermarkLoader.emplace();
    magnifier.emplace(loadView(), ThumbnailLoaders{&*exportLoader, &*watermarkLoader});
    magnifier->create(window);
    SetTimer(window, TIMER_ID, 50, nullptr);
}

void magnify() {
    if (magnifier) {
        magnifier->activate();
    }
}

void onPaint(HWND window) {
    PaintScope paint(window);
    paintHelpWindow(paint.dc(), window);
}

// A registered chord arrives as WM_HOTKEY instead; any other, or one another program holds,
// is polled, so the key still works, though it also reaches the foreground application.
void pollHotkey() {
    if (appState.hotkey.useFlag == 0 || appState.hotkey.registered != 0) {
        return;
    }
    if ((GetAsyncKeyState(appState.hotkey.virtualKey) & 0x8000) == 0) {
        return;
    }
    if ((GetKeyState(VK_CONTROL) & 0x8000) != 0) {
        magnify();
    }
}

// A held chord repeats faster than a snapshot is taken: one activation answers every repeat
// already waiting, so none is left to call the window up again after the user has closed it.
void drainQueuedHotkeys(HWND window) {
    MSG queued;
    for (int i = 0; i < 256 && PeekMessageA(&queued, window, WM_HOTKEY, WM_HOTKEY, PM_REMOVE);
         ++i) {
    }
}

// Every command but the web page also goes on to the default procedure.
LRESULT onCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
        case CMD_EXIT:
            // A window that refuses to go does not keep the program: its end comes all the same.
            if (!DestroyWindow(appState.mainWindow)) {
                PostQuitMessage(0);
            }
            break;
        case CMD_MAGNIFY:
            magnify();
            break;
        case CMD_WEBPAGE:
            ShellExecuteW(nullptr, L"open", uiString(UiText::WebPage), nullptr, nullptr, SW_SHOW);
            return 0;
        case CMD_HELP:
            ShowWindow(appState.mainWindow, SW_SHOWMAXIMIZED);
            SetFocus(appState.mainWindow);
            break;
        case CMD_SET_HOTKEY:
            showHotkeyDialog(appState.moduleInstance, appState.mainWindow, appState.hotkey);
            break;
        case CMD_AUTOSTART:
            toggleAutostart();
            break;
        default:
            break;
    }
    return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
}

}  // namespace

void registerMainClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VISTREL));
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VISTREL));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
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
    if (message == appState.wakeMessage && message != 0) {
        handleWakeMessage(trayIcon, appState.moduleInstance, window, kInstanceName);
        return appState.wakeMessage;
    }
    if (handleTaskbarCreated(trayIcon, message)) {
        return 0;
    }
    switch (message) {
        case WM_CREATE:
            onCreate(window);
            return 0;
        case WM_DESTROY:
            unregisterHotkey(window, appState.hotkey);
            PostQuitMessage(0);
            return 0;
        case WM_PAINT:
            onPaint(window);
            return 0;
        case WM_KEYDOWN:
            handleHelpWindowKey(window, appState.language);
            return 0;
        case WM_CLOSE:
            hideToTray(window);
            return 0;
        case WM_TIMER:
            pollHotkey();
            return 0;
        case WM_HOTKEY:
            if (wParam == kHotkeyId) {
                drainQueuedHotkeys(window);
                magnify();
            }
            return 0;
        case WM_COMMAND:
            return onCommand(window, wParam, lParam);
        case WM_TRAYNOTIFY:
            handleTrayNotify(window, lParam, appState.moduleInstance);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// A second start wakes the running instance and does nothing else: it reads and writes no
// settings, checks no autostart entry and makes no window or icon of its own. The shell let
// it take the foreground; it hands that right on for the zoom window the wake calls up.
int runVistrel(HINSTANCE instance) {
    LoadStringA(instance, IDS_APP_NAME, appState.windowTitle, sizeof(appState.windowTitle));
    LoadStringA(instance, IDS_APP_NAME, appState.className, sizeof(appState.className));
    // Never closed: the mutex must exist for as long as this instance runs, and the system
    // closes the handle when the process ends.
    CreateMutexA(nullptr, FALSE, kInstanceName);
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) {
        AllowSetForegroundWindow(ASFW_ANY);
        // The running instance's main window is asked first; every other top-level window
        // costs a round trip to its process, so they are asked only when it did not answer.
        HWND running = FindWindowA(appState.className, nullptr);
        if (running == nullptr || wakeEnumCallback(running, 0) != FALSE) {
            EnumWindows(wakeEnumCallback, 0);
        }
        return EXIT_CODE_SECOND_START;
    }
    registerMainClass(instance);
    openSettingsFile();
    appState.language = loadLanguage();
    loadTexts(appLanguage);

    checkAutostartAtStart();

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
    if (magnifier) {
        magnifier->storeView();
    }
    return static_cast<int>(message.wParam);
}
