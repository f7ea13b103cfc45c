// The floor for a tray-resident program at rest, built like vistrel.exe: a hidden window, a
// tray icon, one settings read and the same 50 ms timer, which polls the hotkey's key when the
// settings name one. Woken by the wake floor it does the activation floor: one snapshot of the
// virtual screen, a topmost popup of the view's size at the cursor and one stretched paint.
// A command-line word "gdiplus" also starts GDI+ twice, "comdlg32" loads the common-dialog
// library, "refresher" runs a second thread that renews the tray icon every 5 s, so one run
// can tell what each costs at rest.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "bench/floor_protocol.h"

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTrayIconId = 1;
constexpr int kViewWidth = 700;
constexpr int kViewHeight = 300;
constexpr int kZoom = 2;

struct Snapshot {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
};

HWND popup = nullptr;
Snapshot snapshot;
int hotkeyKey = 0;

void takeSnapshot() {
    HDC screen = GetDC(nullptr);
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    snapshot.dc = CreateCompatibleDC(screen);
    snapshot.bitmap = CreateCompatibleBitmap(screen, width, height);
    snapshot.previous = SelectObject(snapshot.dc, snapshot.bitmap);
    BitBlt(snapshot.dc, 0, 0, width, height, screen, left, top, SRCCOPY);
    ReleaseDC(nullptr, screen);
}

void freeSnapshot() {
    if (snapshot.dc == nullptr) {
        return;
    }
    SelectObject(snapshot.dc, snapshot.previous);
    DeleteDC(snapshot.dc);
    DeleteObject(snapshot.bitmap);
    snapshot = Snapshot();
}

void activate() {
    freeSnapshot();
    takeSnapshot();
    POINT cursor;
    GetCursorPos(&cursor);
    SetWindowPos(popup, HWND_TOPMOST, cursor.x - kViewWidth / 2, cursor.y - kViewHeight / 2,
                 kViewWidth, kViewHeight, SWP_SHOWWINDOW);
    UpdateWindow(popup);
}

void paintPopup(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (snapshot.dc != nullptr) {
        POINT cursor;
        GetCursorPos(&cursor);
        const int sourceWidth = kViewWidth / kZoom;
        const int sourceHeight = kViewHeight / kZoom;
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, kViewWidth, kViewHeight, snapshot.dc,
                   cursor.x - GetSystemMetrics(SM_XVIRTUALSCREEN) - sourceWidth / 2,
                   cursor.y - GetSystemMetrics(SM_YVIRTUALSCREEN) - sourceHeight / 2, sourceWidth,
                   sourceHeight, SRCCOPY);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK popupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        paintPopup(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (hotkeyKey != 0 && (GetAsyncKeyState(hotkeyKey) & 0x8000) != 0 &&
                (GetKeyState(VK_CONTROL) & 0x8000) != 0) {
                activate();
            }
            return 0;
        case kFloorWakeMessage:
            activate();
            return 0;
        case kFloorHideMessage:
            ShowWindow(popup, SW_HIDE);
            freeSnapshot();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The one settings read: the hotkey's key from "<program>.ini" beside the program.
int readHotkeyKey() {
    wchar_t path[MAX_PATH + 8] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 0;
    }
    wchar_t* dot = wcsrchr(path, L'.');
    if (dot == nullptr) {
        return 0;
    }
    lstrcpyW(dot, L".ini");
    wchar_t text[16] = {};
    GetPrivateProfileStringW(L"Program", L"hk_vkey", L"0", text, 16, path);
    return static_cast<int>(wcstol(text, nullptr, 10));
}

struct Refresher {
    NOTIFYICONDATAW* icon;
    HANDLE stop;
};

DWORD WINAPI refresherMain(void* context) {
    auto* refresher = static_cast<Refresher*>(context);
    while (WaitForSingleObject(refresher->stop, 5000) == WAIT_TIMEOUT) {
        Shell_NotifyIconW(NIM_MODIFY, refresher->icon);
    }
    return 0;
}

ULONG_PTR startGdiplus(HMODULE library) {
    struct StartupInput {
        UINT32 version;
        void* callback;
        BOOL suppressThread;
        BOOL suppressCodecs;
    } input = {1, nullptr, FALSE, FALSE};
    using StartupFn = int(WINAPI*)(ULONG_PTR*, const StartupInput*, void*);
    auto startup = reinterpret_cast<StartupFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "GdiplusStartup")));
    ULONG_PTR token = 0;
    if (startup != nullptr) {
        startup(&token, &input, nullptr);
    }
    return token;
}

HMODULE loadFromSystemFolder(const wchar_t* name) {
    wchar_t path[MAX_PATH + 32] = {};
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    lstrcatW(path, L"\\");
    lstrcatW(path, name);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    // The libraries stay loaded (and GDI+ started) to the end of the process, as in vistrel.exe.
    if (strstr(commandLine, "gdiplus") != nullptr) {
        HMODULE gdiplus = loadFromSystemFolder(L"gdiplus.dll");
        if (gdiplus != nullptr) {
            startGdiplus(gdiplus);
            startGdiplus(gdiplus);
        }
    }
    if (strstr(commandLine, "comdlg32") != nullptr) {
        loadFromSystemFolder(L"comdlg32.dll");
    }
    hotkeyKey = readHotkeyKey();

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = mainProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kTrayFloorClass;
    RegisterClassExA(&windowClass);
    windowClass.lpfnWndProc = popupProc;
    windowClass.lpszClassName = kFloorPopupClass;
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, kTrayFloorClass, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 600, 400, nullptr, nullptr, instance, nullptr);
    popup = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kFloorPopupClass, "",
                            WS_POPUP | WS_THICKFRAME, 0, 0, kViewWidth, kViewHeight, window,
                            nullptr, instance, nullptr);
    if (window == nullptr || popup == nullptr) {
        return 0;
    }

    NOTIFYICONDATAW icon = {};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = kTrayIconId;
    icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    icon.uCallbackMessage = kFloorTrayMessage;
    icon.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    lstrcpyW(icon.szTip, L"Floor");
    Shell_NotifyIconW(NIM_ADD, &icon);
    SetTimer(window, kTimerId, 50, nullptr);
    Refresher refresher = {&icon, nullptr};
    HANDLE refresherThread = nullptr;
    if (strstr(commandLine, "refresher") != nullptr) {
        refresher.stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        refresherThread = CreateThread(nullptr, 0, refresherMain, &refresher, 0, nullptr);
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (refresherThread != nullptr) {
        SetEvent(refresher.stop);
        WaitForSingleObject(refresherThread, 10000);
        CloseHandle(refresherThread);
    }
    if (refresher.stop != nullptr) {
        CloseHandle(refresher.stop);
    }
    Shell_NotifyIconW(NIM_DELETE, &icon);
    freeSnapshot();
    return 0;
}
