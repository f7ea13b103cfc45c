#include "shell/tray_icon.h"

#include "resources/commands.h"
#include "resources/resource_ids.h"
#include "shell/tray_menu.h"
#include "texts/windows1252.h"

namespace {

const DWORD kRefreshIntervalMs = 5000;
// A shell that never answers a refresher's call must not hang the program with it.
const DWORD kRefresherStopTimeoutMs = 10000;
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
    size_t length = 0;
    while (text != nullptr && length < kTipLength && text[length] != '\0') {
        length++;
    }
    widenWindows1252(text != nullptr ? text : "", length, record.szTip);
    record.szTip[length] = L'\0';
}

TrayIcon::TrayIcon()
    : threadId(0), tip{}, iconId(0), owner(nullptr), refreshIntervalMs(kRefreshIntervalMs) {}

TrayIcon::~TrayIcon() {
    remove();
}

void TrayIcon::setOwner(HWND window) {
    owner = window;
}

int TrayIcon::add(UINT id, HICON iconImage, const char* tipText, int startRefresher) {
    // The refresher reads the fields about to change: it pauses while they do.
    bool refresherRan = static_cast<bool>(thread);
    stopRefresher();
    iconId = id;
    if (icon.get() != iconImage) {
        icon.reset(iconImage);
    }
    lstrcpynA(tip, tipText != nullptr ? tipText : "", sizeof(tip));
    notify(NIM_ADD, icon.get(), tip);
    if (startRefresher != 0 || refresherRan) {
        this->startRefresher();
    }
    return 1;
}

// The refresher ends first: stopped after the delete, it could add the icon back.
// A process that never added one (a second start, at its end) does not call the shell at all.
void TrayIcon::remove() {
    stopRefresher();
    if (owner != nullptr) {
        notify(NIM_DELETE, nullptr, nullptr);
    }
    icon.reset();
}

void TrayIcon::restore() {
    if (owner == nullptr || !icon) {
        return;
    }
    if (!notify(NIM_ADD, icon.get(), tip)) {
        notify(NIM_MODIFY, icon.get(), tip);
    }
}

BOOL TrayIcon::notify(DWORD message, HICON iconImage, const char* text) const {
    NOTIFYICONDATAW record;
    fillNotifyRecord(record, owner, iconId, iconImage, text);
    return Shell_NotifyIconW(message, &record);
}

// The stop event exists before the thread that waits on it, and goes only after it.
// One refresher at most: a start while one runs (an add nested in another add's wait for the
// shell, by a second start's wake) replaces it rather than leave it running beside the new one.
void TrayIcon::startRefresher() {
    stopRefresher();
    stopEvent.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!stopEvent) {
        return;  // without a way to stop it cooperatively, no refresher runs
    }
    thread.reset(CreateThread(nullptr, 0, refresherMain, this, 0, &threadId));
    if (!thread) {
        stopEvent.reset();
        threadId = 0;
    }
}

void TrayIcon::stopRefresher() {
    if (!thread) {
        return;
    }
    SetEvent(stopEvent.get());
    if (WaitForSingleObject(thread.get(), kRefresherStopTimeoutMs) != WAIT_OBJECT_0) {
        // Still inside a shell call: it keeps its signalled stop event and ends when the call
        // returns. Its two handles are given up rather than closed under it.
        static_cast<void>(thread.release());
        static_cast<void>(stopEvent.release());
    }
    thread.reset();
    stopEvent.reset();
    threadId = 0;
}

// The shell loses its icons when it restarts; every pass puts ours back if it is gone.
DWORD WINAPI TrayIcon::refresherMain(LPVOID context) {
    TrayIcon* self = static_cast<TrayIcon*>(context);
    // Read once: a refresher given up by stopRefresher must not wait on a later one's event.
    const HANDLE stop = self->stopEvent.get();
    while (WaitForSingleObject(stop, self->refreshIntervalMs) == WAIT_TIMEOUT) {
        if (!self->notify(NIM_MODIFY, self->icon.get(), self->tip)) {
            self->notify(NIM_ADD, self->icon.get(), self->tip);
        }
    }
    return 0;
}

void addTrayIconForMainWindow(TrayIcon& tray, HINSTANCE instance, HWND window, const char* tip) {
    tray.setOwner(window);
    tray.add(TRAY_ICON_ID, loadTrayIconImage(instance), tip, 1);
}

void handleWakeMessage(TrayIcon& tray, HINSTANCE instance, HWND window, const char* tip) {
    tray.remove();
    tray.setOwner(window);
    tray.add(TRAY_ICON_ID, loadTrayIconImage(instance), tip, 1);
    PostMessageA(window, WM_COMMAND, CMD_MAGNIFY, 0);
}

void handleTrayNotify(HWND window, LPARAM lParam, HINSTANCE instance, int autostartFlag) {
    switch (lParam) {
        case WM_LBUTTONDOWN:
            // While the shell's permission from the click holds, as for the menu.
            SetForegroundWindow(window);
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
