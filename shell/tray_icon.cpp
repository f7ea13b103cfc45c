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

}  // namespace

// One refresher: its thread, its stop event and copies of what it hands the shell. Given up
// inside a hung shell call, it runs on after the TrayIcon has changed its values, destroyed
// its icon or gone with the process's objects at exit: the TrayIcon and the thread each hold
// a share, and whichever lets go last frees it all.
struct TrayIcon::Refresher {
    HWND owner = nullptr;
    UINT id = 0;
    char tip[kTipLength + 1] = {};
    UniqueIcon icon;
    DWORD intervalMs = 0;
    // Set to end the thread; it waits on this between its passes.
    UniqueKernelHandle stop;
    UniqueKernelHandle thread;
    std::atomic<int> shares{1};
};

void TrayIcon::LetGo::operator()(Refresher* refresher) const {
    if (refresher->shares.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete refresher;
    }
}

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
void TrayIcon::add(UINT id, HICON iconImage, const char* tipText, bool startRefresher) {
    refreshing_ = refreshing_ || startRefresher;
    stopRefresher();
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
    if (refreshing_ && !refresher_) {
        startRefresher();  // one given up earlier, now that the shell answers again
    }
}

BOOL TrayIcon::notify(DWORD message, HICON iconImage, const char* text) const {
    return notifyShell(message, owner_, iconId_, iconImage, text);
}

HANDLE TrayIcon::refresherThread() const {
    return refresher_ ? refresher_->thread.get() : nullptr;
}

// A refresher given up inside a shell call that has still not returned: the shell hangs.
bool TrayIcon::shellAnswers() {
    if (givenUp_ && WaitForSingleObject(givenUp_->thread.get(), 0) == WAIT_TIMEOUT) {
        return false;
    }
    givenUp_.reset();
    return true;
}

// One refresher at most: a start while one runs (an add nested in another add's wait for the
// shell, by a second start's wake) replaces it rather than leave it running beside the new one.
// Without a way to stop it cooperatively, or without its own icon, no refresher runs.
void TrayIcon::startRefresher() {
    stopRefresher();
    RefresherShare refresher(new (std::nothrow) Refresher);
    if (!refresher) {
        return;
    }
    refresher->stop.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    refresher->icon.reset(icon_ ? CopyIcon(icon_.get()) : nullptr);
    if (!refresher->stop || (icon_ && !refresher->icon)) {
        return;
    }
    refresher->owner = owner_;
    refresher->id = iconId_;
    lstrcpynA(refresher->tip, tip_, sizeof(refresher->tip));
    refresher->intervalMs = refreshIntervalMs_;
    refresher->shares = 2;  // the thread's share, taken over by refresherMain
    refresher->thread.reset(CreateThread(nullptr, 0, refresherMain, refresher.get(), 0, nullptr));
    if (!refresher->thread) {
        refresher->shares = 1;
        return;
    }
    refresher_ = std::move(refresher);
}

bool TrayIcon::stopRefresher() {
    if (!refresher_) {
        return true;
    }
    SetEvent(refresher_->stop.get());
    if (WaitForSingleObject(refresher_->thread.get(), kRefresherStopTimeoutMs) == WAIT_OBJECT_0) {
        refresher_.reset();
        return true;
    }
    // Still inside a shell call: the thread ends on its share once the call returns.
    givenUp_ = std::move(refresher_);
    return false;
}

// The shell loses its icons when it restarts; every pass puts ours back if it is gone. The stop
// is asked before every call: a call that outlasted the stop must not be followed by an add
// that brings the icon back after its removal.
DWORD WINAPI TrayIcon::refresherMain(LPVOID context) {
    const RefresherShare share(static_cast<Refresher*>(context));
    const Refresher& refresher = *share;
    const auto stopped = [&refresher](DWORD waitMs) {
        return WaitForSingleObject(refresher.stop.get(), waitMs) != WAIT_TIMEOUT;
    };
    while (!stopped(refresher.intervalMs)) {
        if (!notifyShell(NIM_MODIFY, refresher.owner, refresher.id, refresher.icon.get(),
                         refresher.tip) &&
            !stopped(0)) {
            notifyShell(NIM_ADD, refresher.owner, refresher.id, refresher.icon.get(),
                        refresher.tip);
        }
    }
    return 0;
}

void addTrayIconForMainWindow(TrayIcon& tray, HINSTANCE instance, HWND window, const char* tip) {
    tray.setOwner(window);
    tray.add(TRAY_ICON_ID, loadTrayIconImage(instance), tip, true);
}

// The zoom window first: the right to the foreground the second start handed on runs out at
// the user's next input, and the icon's two calls wait on the shell's process. Both are posted,
// so the second start has its answer at once, and a wake that comes while the main window is
// still being made magnifies once the zoom window exists.
void handleWakeMessage(HWND window) {
    PostMessageA(window, WM_COMMAND, CMD_MAGNIFY, 0);
    PostMessageA(window, WM_TRAY_ICON_AGAIN, 0, 0);
}

void addTrayIconAgain(TrayIcon& tray, HINSTANCE instance, HWND window, const char* tip) {
    tray.remove();
    addTrayIconForMainWindow(tray, instance, window, tip);
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
