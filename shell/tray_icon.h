// The notification-area icon of the process, its refresher thread and its mouse events.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "base/win/handle_guards.h"

// Owns the icon handle given to add from then on: it stays valid for as long as the shell
// may be handed it again, and is destroyed once, by remove, by a later add with another
// icon, or by the destructor, unless a refresher given up took it along. The refresher works
// on a copy of the values, so it never reads the TrayIcon.
//
// A hung shell: its calls are sent messages, so a refresher inside one cannot be stopped. The
// stop gives it up after a bounded wait; from then until that call has come back, remove,
// add and restore keep their values but make no shell call and start no refresher (the call
// would hang the window's thread with it), so an exit or a second start's wake ends within
// the stop's bound. The icon is left to the shell then; the next add or restore after the
// call came back (a wake, or the TaskbarCreated of a restarted shell) shows it again.
class TrayIcon {
  public:
    // The refresher's pause between two passes: the shell's restarts are rare.
    explicit TrayIcon(DWORD refreshIntervalMs = 5000);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void setOwner(HWND window);
    int add(UINT id, HICON iconImage, const char* tipText, int startRefresher);
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
    HANDLE refresherThread() const { return thread_.get(); }

  private:
    struct RefresherCopy;

    void startRefresher();
    // False when the refresher had to be given up inside a shell call.
    bool stopRefresher();
    bool shellAnswers();
    static DWORD WINAPI refresherMain(LPVOID context);

    HWND owner_ = nullptr;
    UINT iconId_ = 0;
    char tip_[1024] = {};
    UniqueIcon icon_;
    UniqueKernelHandle thread_;
    // Set to end the refresher; it waits on this between its passes.
    UniqueKernelHandle stopEvent_;
    DWORD refreshIntervalMs_;
    // A refresher asked for by an add and not ended by a remove since.
    bool refreshing_ = false;
    // The thread of a refresher given up inside a shell call, until that call has returned.
    UniqueKernelHandle givenUp_;
    // What the running refresher works on.
    std::unique_ptr<RefresherCopy> refresher_;
};

// The record of one shell call: the first published layout of the wide record, the tip
// (Windows-1252, as every text the program carries) widened and cut to 63 characters.
void fillNotifyRecord(NOTIFYICONDATAW& record, HWND owner, UINT id, HICON iconImage,
                      const char* text);

// WM_CREATE: load icon 107 of instance and add it for the main window with a running
// refresher; the TrayIcon owns the icon from then on.
void addTrayIconForMainWindow(TrayIcon& tray, HINSTANCE instance, HWND window, const char* tip);
// The wake message of a second start: re-add the icon and magnify.
void handleWakeMessage(TrayIcon& tray, HINSTANCE instance, HWND window, const char* tip);
// WM_TRAYNOTIFY: lParam carries the mouse message; the right button opens the menu.
void handleTrayNotify(HWND window, LPARAM lParam, HINSTANCE instance);
// The shell's broadcast after it (re)started: true when message is it, and the icon is back.
bool handleTaskbarCreated(TrayIcon& tray, UINT message);
