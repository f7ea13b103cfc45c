#include "shell/tray_icon.h"

#include "resources/commands.h"
#include "resources/resource_ids.h"
#include "shell/tray_menu.h"
#include "texts/windows1252.h"

namespace {

const DWORD kRefreshIntervalMs = 5000;
// The characters the first layout's tip holds before its terminator.
const size_t kTipLength = 63;

// A fresh copy of icon 107 at the system's large-icon size, owned by whoever keeps it.
HICON loadTrayIconImage(HINSTANCE instance) {
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_VISTREL), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                         LR_DEFAULTCOLOR));
}

}  // namespace

void fillNotifyRecord(NOTIFYICONDATAW& record, HWND owner, UINT id, HICON iconImage,
                      const char* text) {
    ZeroMemory(&record, sizeof(record));
    // The first published layout: 152 bytes in a 32-bit build, 168 in a 64-bit one.
    record.cbSize = NOTIFYICONDATAW_V1_SIZE;
    record.hWnd = owner;
    record.uID = id;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = WM_TRAYNOTIFY;
    record.hIcon = iconImage;
    const char* tip = text != nullptr ? text : "";
    size_t length = 0;
    while (length < kTipLength && tip[length] != '\0') {
        length++;
    }
    widenWindows1252(tip, length, record.szTip);
    record.szTip[length] = L'\0';
}

TrayIcon::TrayIcon()
    : threadId(0),
      thread(nullptr),
      tip{},
      icon(nullptr),
      iconId(0),
      owner(nullptr),
      stopEvent(nullptr),
      refreshIntervalMs(kRefreshIntervalMs) {}

TrayIcon::~TrayIcon() {
    remove();
}

void TrayIcon::setOwner(HWND window) {
    owner = window;
}

int TrayIcon::add(UINT id, HICON iconImage, const char* tipText, int startRefresher) {
    // The refresher reads the fields about to change: it pauses while they do.
    bool refresherRan = thread != nullptr;
    stopRefresher();
    iconId = id;
    if (icon != iconImage) {
        releaseIcon();
        icon = iconImage;
    }
    lstrcpynA(tip, tipText != nullptr ? tipText : "", sizeof(tip));
    notify(NIM_ADD, icon, tip);
    if (startRefresher != 0 || refresherRan) {
        this->startRefresher();
    }
    return 1;
}

// The refresher ends first: stopped after the delete, it could add the icon back.
void TrayIcon::remove() {
    stopRefresher();
    notify(NIM_DELETE, nullptr, nullptr);
    releaseIcon();
}

void TrayIcon::restore() {
    if (owner == nullptr || icon == nullptr) {
        return;
    }
    if (!notify(NIM_ADD, icon, tip)) {
        notify(NIM_MODIFY, icon, tip);
    }
}

BOOL TrayIcon::notify(DWORD message, HICON iconImage, const char* text) const {
    NOTIFYICONDATAW record;
    fillNotifyRecord(record, owner, iconId, iconImage, text);
    return Shell_NotifyIconW(message, &record);
}

void TrayIcon::startRefresher() {
    stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (stopEvent == nullptr) {
        return;  // without a way to stop it cooperatively, no refresher runs
    }
    thread = CreateThread(nullptr, 0, refresherMain, this, 0, &threadId);
    if (thread == nullptr) {
        CloseHandle(stopEvent);
        stopEvent = nullptr;
        threadId = 0;
    }
}

void TrayIcon::stopRefresher() {
    if (thread == nullptr) {
        return;
    }
    SetEvent(stopEvent);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(stopEvent);
    thread = nullptr;
    stopEvent = nullptr;
    threadId = 0;
}

void TrayIcon::releaseIcon() {
    if (icon != nullptr) {
        DestroyIcon(icon);
        icon = nullptr;
    }
}

// The shell loses its icons when it restarts; every pass puts ours back if it is gone.
DWORD WINAPI TrayIcon::refresherMain(LPVOID context) {
    TrayIcon* self = static_cast<TrayIcon*>(context);
    while (WaitForSingleObject(self->stopEvent, self->refreshIntervalMs) == WAIT_TIMEOUT) {
        if (!self->notify(NIM_MODIFY, self->icon, self->tip)) {
            self->notify(NIM_ADD, self->icon, self->tip);
        }
    }
    return 0;
}

namespace {
// The shell's answer is awaited inside a sent message, and messages sent to the main window,
// a second start's wake among them, are handled meanwhile. A wake that arrives while the icon
// is being put in place leaves it to the call under way: re-adding it there would start a
// second refresher, whose handle the outer call then overwrites.
bool iconBeingPlaced = false;
}  // namespace

void addTrayIconForMainWindow(TrayIcon& tray, HINSTANCE instance, HWND window, const char* tip) {
    iconBeingPlaced = true;
    tray.setOwner(window);
    tray.add(TRAY_ICON_ID, loadTrayIconImage(instance), tip, 1);
    iconBeingPlaced = false;
}

void handleWakeMessage(TrayIcon& tray, HINSTANCE instance, HWND window, const char* tip) {
    if (!iconBeingPlaced) {
        iconBeingPlaced = true;
        tray.remove();
        tray.setOwner(window);
        tray.add(TRAY_ICON_ID, loadTrayIconImage(instance), tip, 1);
        iconBeingPlaced = false;
    }
    PostMessageA(window, WM_COMMAND, CMD_MAGNIFY, 0);
}

void handleTrayNotify(HWND window, LPARAM lParam, HINSTANCE instance, int autostartFlag) {
    switch (lParam) {
        case WM_LBUTTONDOWN:
            PostMessageA(window, WM_COMMAND, CMD_MAGNIFY, 0);
            break;
        case WM_RBUTTONDOWN:
            showTrayMenu(window, instance, autostartFlag);
            break;
        default:
            break;
    }
}

bool handleTaskbarCreated(TrayIcon& tray, UINT message) {
    static const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    if (taskbarCreated == 0 || message != taskbarCreated) {
        return false;
    }
    tray.restore();
    return true;
}
