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

// The key, with Ctrl, whatever modifiers were recorded.
bool hotkeyChordDown(const HotkeySetting& hotkey) {
    return (GetAsyncKeyState(hotkey.virtualKey) & 0x8000) != 0 &&
           (GetKeyState(VK_CONTROL) & 0x8000) != 0;
}

// One press is one activation, however long the chord is held: the chord acts when it goes
// down and not again until it has been released. Windows reports a registered chord once
// (MOD_NOREPEAT), but Wine posts WM_HOTKEY for every auto-repeat, so it passes the same gate.
void hotkeyPressed() {
    if (!appState.hotkeyHeld) {
        appState.hotkeyHeld = true;
        magnify();
    }
}

// A registered chord arrives as WM_HOTKEY instead; any other, or one another program holds,
// is polled, so the key still works, though it also reaches the foreground application. The
// poll notes the release of either.
void pollHotkey() {
    if (appState.hotkey.useFlag == 0) {
        return;
    }
    if (!hotkeyChordDown(appState.hotkey)) {
        appState.hotkeyHeld = false;
    } else if (appState.hotkey.registered == 0) {
        hotkeyPressed();
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
        handleWakeMessage(window);
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
                hotkeyPressed();
            }
            return 0;
        case WM_COMMAND:
            return onCommand(window, wParam, lParam);
        case WM_TRAYNOTIFY:
            handleTrayNotify(window, lParam, appState.moduleInstance);
            return 0;
        case WM_TRAY_ICON_AGAIN:
            addTrayIconAgain(trayIcon, appState.moduleInstance, window, kInstanceName);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

namespace {

// A start that finds the instance name taken but no main window waits this long for one.
const DWORD kWaitForRunningMs = 5000;
const DWORD kWaitStepMs = 50;

// Another instance holds the name (or holds it closed to this process). The handle is never
// closed while this process is the instance: the mutex must exist for as long as it runs, and
// the system closes the handle when the process ends.
bool anotherInstanceRuns(HANDLE& mutex) {
    mutex = CreateMutexA(nullptr, FALSE, kInstanceName);
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED;
}

// The right to the foreground goes to the process whose window is woken, not to any process.
bool wakeWindow(HWND window) {
    DWORD processId = 0;
    if (GetWindowThreadProcessId(window, &processId) != 0) {
        AllowSetForegroundWindow(processId);
    }
    return wakeEnumCallback(window, 0) == FALSE;
}

// The instance may still be making its main window (two starts at once, or a click while the
// logon start is under way), or be ending: this start waits for the window, a bounded while,
// and takes the name over once the other instance has ended. False when it has: this start is
// the instance then. Otherwise every top-level window is asked at the end, as the last resort.
bool wakeRunningInstance(HANDLE& mutex) {
    const DWORD started = GetTickCount();
    for (;;) {
        // Every other top-level window costs a round trip to its process: first the class.
        HWND running = FindWindowA(appState.className, nullptr);
        if (running != nullptr && wakeWindow(running)) {
            return true;
        }
        if (GetTickCount() - started >= kWaitForRunningMs) {
            break;
        }
        Sleep(kWaitStepMs);
        if (mutex != nullptr) {
            CloseHandle(mutex);
        }
        if (!anotherInstanceRuns(mutex)) {
            return false;
        }
    }
    AllowSetForegroundWindow(ASFW_ANY);
    EnumWindows(wakeEnumCallback, 0);
    return true;
}

}  // namespace

// A second start wakes the running instance and does nothing else: it reads and writes no
// settings, checks no autostart entry and makes no window or icon of its own. The shell let
// it take the foreground; it hands that right on for the zoom window the wake calls up.
int runVistrel(HINSTANCE instance) {
    LoadStringA(instance, IDS_APP_NAME, appState.windowTitle, sizeof(appState.windowTitle));
    LoadStringA(instance, IDS_APP_NAME, appState.className, sizeof(appState.className));
    HANDLE mutex = nullptr;
    if (anotherInstanceRuns(mutex) && wakeRunningInstance(mutex)) {
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
