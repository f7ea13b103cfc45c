// Ending the shell's tray host under a running program, and a host to take its place.
//
// Under Wine the tray host is explorer.exe /desktop, which also owns the desktop window. That
// window outlives its owner as long as any program uses the desktop, and a new explorer.exe
// /desktop that finds it exits at once: Wine cannot start the tray host again while the program
// runs. So the test runs on a desktop of its own (whose tray host Wine starts with its first
// window), ends that host, and puts a host of its own in its place.
//
// A program started from a thread of that desktop runs there with all its threads. (Named in
// STARTUPINFOW.lpDesktop from another desktop, Wine 8 puts only its first thread there: the
// threads it makes later land on the desktop of the thread that started it.)
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <utility>

namespace e2e {

class TrayDesktop {
  public:
    TrayDesktop();
    ~TrayDesktop();
    TrayDesktop(const TrayDesktop&) = delete;
    TrayDesktop& operator=(const TrayDesktop&) = delete;

    bool valid() const { return desktop_ != nullptr; }
    // Runs the work on a fresh thread of this desktop (only such a thread finds the desktop's
    // windows) and waits for its end; false when it could not start or did not end in time.
    bool run(const std::function<void()>& work, DWORD timeoutMs);

  private:
    HDESK desktop_ = nullptr;
};

// The process owning the tray window of the calling thread's desktop, or 0 when there is none.
DWORD trayHostProcessId();
// Ends the process by its id when the process snapshot names it explorer.exe, and waits until
// the calling thread's desktop has no tray window; true then.
bool endTrayHost(DWORD processId, DWORD timeoutMs = 10000);

// A tray window of the calling thread, answering the shell's notification calls as a freshly
// started host does: it knows no icon until one is added. Wine's Shell_NotifyIcon sends each
// call as WM_COPYDATA, the NIM_ code in dwData and the data beginning with the owner window
// (32 bits) and the icon's id. The thread pumps its messages while it waits.
class StandInTrayHost {
  public:
    StandInTrayHost();
    ~StandInTrayHost();
    StandInTrayHost(const StandInTrayHost&) = delete;
    StandInTrayHost& operator=(const StandInTrayHost&) = delete;

    bool valid() const { return window_ != nullptr; }
    // The icons the host holds for the owner window.
    size_t iconsOf(HWND owner) const;
    // At the next addition, sends the message to the icon's owner before answering, as a
    // second start's wake may arrive while the program awaits the answer.
    void sendToOwnerAtNextAdd(UINT message) { messageAtNextAdd_ = message; }
    // At the next call, runs then(owner) and answers only once until is signalled or maxMs have
    // passed, as a hung host does; hangEndedBySignal() tells which ended it.
    void hangAtNextCall(std::function<void(HWND)> then, HANDLE until, DWORD maxMs) {
        hangThen_ = std::move(then);
        hangUntil_ = until;
        hangMs_ = maxMs;
    }
    bool hangEndedBySignal() const { return hangEndedBySignal_; }
    size_t addsAfterHang() const { return addsAfterHang_; }

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onCopyData(const COPYDATASTRUCT& data);

    HWND window_ = nullptr;
    std::set<std::pair<LONG, UINT>> icons_;
    UINT messageAtNextAdd_ = 0;
    std::function<void(HWND)> hangThen_;
    HANDLE hangUntil_ = nullptr;
    DWORD hangMs_ = 0;
    bool hung_ = false;
    bool hangEndedBySignal_ = false;
    size_t addsAfterHang_ = 0;
};

}  // namespace e2e
