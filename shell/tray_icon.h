// The notification-area icon of the process, its refresher thread and its mouse events.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "base/win/handle_guards.h"

// The refresher's pause between two passes: the shell's restarts are rare.
constexpr DWORD kTrayRefreshPeriodMs = 5000;

// Owns the icon handle given to add from then on: it stays valid for as long as the shell
// may be handed it again, and is destroyed once, by remove, by a later add with another
// icon, or by the destructor. The refresher works on copies of the values and of the icon,
// so it never reads the TrayIcon.
//
// A hung shell: its calls are sent messages, so a refresher inside one cannot be stopped. The
// stop gives it up after a bounded wait; from then until that call has come back, remove,
// add and restore keep their values but make no shell call and start no refresher (the call
// would hang the window's thread with it), so an exit or a second start's wake ends within
// the stop's bound. The icon is left to the shell then; the next add or restore after the
// call came back (a wake, or the TaskbarCreated of a restarted shell) shows it again.
class TrayIcon {
  public:
    explicit TrayIcon(DWORD refreshIntervalMs = kTrayRefreshPeriodMs);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void setOwner(HWND window);
    void add(UINT id, HICON iconImage, const char* tipText, bool startRefresher);
    // Deletes the icon from the shell and returns once a running refresher has ended or has
    // been given up.
    void remove();
    // Adds the icon again with the values held, for a shell that has just (re)started.
    void restore();

    // One shell call with the owner and id held; returns the shell's result.
    BOOL notify(DWORD message, HICON iconImage, const char* text) const;

    HWND owner() const { return owner_; }
    UINT iconId() const { return iconId_; }
    const char* tip() const { return tip_; }
    HICON icon() const { return icon_.get(); }
    // The running refresher's thread; null when none runs.
    HANDLE refresherThread() const;

  private:
    struct Refresher;
    // Lets go of one share of a refresher: the TrayIcon's or its thread's. The last frees it.
    struct LetGo {
        void operator()(Refresher* refresher) const;
    };
    using RefresherShare = std::unique_ptr<Refresher, LetGo>;

    void startRefresher();
    // False when the refresher had to be given up inside a shell call.
    bool stopRefresher();
    bool shellAnswers();
    static DWORD WINAPI refresherMain(LPVOID context);

    HWND owner_ = nullptr;
    UINT iconId_ = 0;
    char tip_[1024] = {};
    UniqueIcon icon_;
    DWORD refreshIntervalMs_;
    // A refresher asked for by an add and not ended by a remove since.
    bool refreshing_ = false;
    // The running refresher, held jointly with its thread.
    RefresherShare refresher_;
    // One given up inside a shell call, until that call has returned.
    RefresherShare givenUp_;
};

// The record of one shell call: the first published layout of the wide record, the tip
// (Windows-1252, as every text the program carries) widened and cut to 63 characters.
void fillNotifyRecord(NOTIFYICONDATAW& record, HWND owner, UINT id, HICON iconImage,
                      const char* text);

// WM_CREATE: load icon 107 of instance and add it for the main window with a running
// refresher; the TrayIcon owns the icon from then on.
void addTrayIconForMainWindow(TrayIcon& tray, HINSTANCE instance, HWND window, const char* tip);
// The wake message of a second start: magnify, then re-add the icon (WM_TRAY_ICON_AGAIN).
void handleWakeMessage(HWND window);
// WM_TRAY_ICON_AGAIN: the icon removed and added again with a fresh image and refresher.
void addTrayIconAgain(TrayIcon& tray, HINSTANCE instance, HWND window, const char* tip);
// WM_TRAYNOTIFY: lParam carries the mouse message; the right button opens the menu.
void handleTrayNotify(HWND window, LPARAM lParam, HINSTANCE instance);
// The shell's broadcast after it (re)started: true when message is it, and the icon is back.
bool handleTaskbarCreated(TrayIcon& tray, UINT message);
