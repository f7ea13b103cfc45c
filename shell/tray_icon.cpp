#include "shell/tray_icon.h"

#include <atomic>
#include <new>

#include "resources/commands.h"
#include "resources/resource_ids.h"
#include "shell/tray_menu.h"
#include "texts/windows1252.h"

namespace {

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

BOOL notifyShell(DWORD message, HWND owner, UINT id, HICON iconImage, const char* text) {
    NOTIFYICONDATAW record;
    fillNotifyRecord(record, owner, id, iconImage, text);
    return Shell_NotifyIconW(message, &record);
}

enum RefresherCopyState { kRefresherRuns, kRefresherEnded, kRefresherGivenUp };

}  // namespace

// What one refresher works on: given up inside a shell call, it may run on after the TrayIcon
// has changed its values, destroyed its icon or gone with the process's objects at exit. The
// TrayIcon frees it once the thread has ended; a thread given up frees it, and the icon and
// stop event handed over with it, when it ends.
struct TrayIcon::RefresherCopy {
    HWND owner = nullptr;
    UINT id = 0;
    char tip[kTipLength + 1] = {};
    // The TrayIcon's, borrowed while the thread may be waited for.
    HICON icon = nullptr;
    HANDLE stop = nullptr;
    UniqueIcon iconHandedOver;
    UniqueKernelHandle stopHandedOver;
    DWORD intervalMs = 0;
    // Whichever of the thread's end and the stop's giving up comes second frees the copy.
    std::atomic<int> state{kRefresherRuns};
};

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

TrayIcon::TrayIcon(DWORD refreshIntervalMs) : refreshIntervalMs_(refreshIntervalMs) {}

TrayIcon::~TrayIcon() {
    remove();
}

void TrayIcon::setOwner(HWND window) {
    owner_ = window;
}

// A running refresher holds copies of the old values: it ends, and a new one takes the new.
int TrayIcon::add(UINT id, HICON iconImage, const char* tipText, int startRefresher) {
    refreshing_ = refreshing_ || startRefresher != 0;
    const bool sameIcon = iconImage != nullptr && icon_.get() == iconImage;
    if (!stopRefresher() && sameIcon) {
        iconImage = CopyIcon(iconImage);  // the given-up refresher took the held one along
    }
    iconId_ = id;
    if (icon_.get() != iconImage) {
        icon_.reset(iconImage);
    }
    lstrcpynA(tip_, tipText != nullptr ? tipText : "", sizeof(tip_));
    if (shellAnswers()) {
        notify(NIM_ADD, icon_.get(), tip_);
        if (refreshing_) {
            this->startRefresher();
        }
    }
    return 1;
}

// The refresher ends first: stopped after the delete, it could add the icon back.
// A process that never added one (a second start, at its end) does not call the shell at all.
void TrayIcon::remove() {
    refreshing_ = false;
    if (stopRefresher() && shellAnswers() && owner_ != nullptr) {
        notify(NIM_DELETE, nullptr, nullptr);
    }
    icon_.reset();
}

void TrayIcon::restore() {
    if (owner_ == nullptr || !icon_ || !shellAnswers()) {
        return;
    }
    if (!notify(NIM_ADD, icon_.get(), tip_)) {
        notify(NIM_MODIFY, icon_.get(), tip_);
    }
    if (refreshing_ && !thread_) {
        startRefresher();  // one given up earlier, now that the shell answers again
    }
}

BOOL TrayIcon::notify(DWORD message, HICON iconImage, const char* text) const {
    return notifyShell(message, owner_, iconId_, iconImage, text);
}

// A refresher given up inside a shell call that has still not returned: the shell hangs.
bool TrayIcon::shellAnswers() {
    if (givenUp_ && WaitForSingleObject(givenUp_.get(), 0) == WAIT_TIMEOUT) {
        return false;
    }
    givenUp_.reset();
    return true;
}

// The stop event exists before the thread that waits on it, and goes only after it.
// One refresher at most: a start while one runs (an add nested in another add's wait for the
// shell, by a second start's wake) replaces it rather than leave it running beside the new one.
void TrayIcon::startRefresher() {
    stopRefresher();
    refresher_.reset(new (std::nothrow) RefresherCopy);
    stopEvent_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!refresher_ || !stopEvent_) {
        refresher_.reset();
        stopEvent_.reset();
        return;  // without a way to stop it cooperatively, no refresher runs
    }
    refresher_->owner = owner_;
    refresher_->id = iconId_;
    refresher_->icon = icon_.get();
    lstrcpynA(refresher_->tip, tip_, sizeof(refresher_->tip));
    refresher_->stop = stopEvent_.get();
    refresher_->intervalMs = refreshIntervalMs_;
    thread_.reset(CreateThread(nullptr, 0, refresherMain, refresher_.get(), 0, nullptr));
    if (!thread_) {
        refresher_.reset();
        stopEvent_.reset();
    }
}

bool TrayIcon::stopRefresher() {
    if (!thread_) {
        return true;
    }
    SetEvent(stopEvent_.get());
    bool ended = WaitForSingleObject(thread_.get(), kRefresherStopTimeoutMs) == WAIT_OBJECT_0;
    if (!ended) {
        // Still inside a shell call: it ends on its copy once the call returns (closing our
        // handle to its thread disturbs it not), unless it has just ended.
        refresher_->stopHandedOver.reset(stopEvent_.release());
        refresher_->iconHandedOver.reset(icon_.release());  // the one it was started with
        ended = refresher_->state.exchange(kRefresherGivenUp) == kRefresherEnded;
        if (ended) {
            icon_.reset(refresher_->iconHandedOver.release());
        } else {
            static_cast<void>(refresher_.release());
            givenUp_ = std::move(thread_);
        }
    }
    refresher_.reset();
    thread_.reset();
    stopEvent_.reset();
    return ended;
}

// The shell loses its icons when it restarts; every pass puts ours back if it is gone. The stop
// is asked before every call: a call that outlasted the stop must not be followed by an add
// that brings the icon back after its removal.
DWORD WINAPI TrayIcon::refresherMain(LPVOID context) {
    auto* copy = static_cast<RefresherCopy*>(context);
    const auto stopped = [copy](DWORD waitMs) {
        return WaitForSingleObject(copy->stop, waitMs) != WAIT_TIMEOUT;
    };
    while (!stopped(copy->intervalMs)) {
        if (!notifyShell(NIM_MODIFY, copy->owner, copy->id, copy->icon, copy->tip) && !stopped(0)) {
            notifyShell(NIM_ADD, copy->owner, copy->id, copy->icon, copy->tip);
        }
    }
    if (copy->state.exchange(kRefresherEnded) == kRefresherGivenUp) {
        delete copy;
    }
    return 0;
}

void addTrayIconForMainWindow(TrayIcon& tray, HINSTANCE instance, HWND window, const char* tip) {
    tray.setOwner(window);
    tray.add(TRAY_ICON_ID, loadTrayIconImage(instance), tip, 1);
}

void handleWakeMessage(TrayIcon& tray, HINSTANCE instance, HWND window, const char* tip) {
    tray.remove();
    addTrayIconForMainWindow(tray, instance, window, tip);
    PostMessageA(window, WM_COMMAND, CMD_MAGNIFY, 0);
}

void handleTrayNotify(HWND window, LPARAM lParam, HINSTANCE instance) {
    switch (lParam) {
        case WM_LBUTTONDOWN:
            // While the shell's permission from the click holds, as for the menu.
            SetForegroundWindow(window);
            PostMessageA(window, WM_COMMAND, CMD_MAGNIFY, 0);
            break;
        case WM_RBUTTONDOWN:
            showTrayMenu(window, instance);
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
