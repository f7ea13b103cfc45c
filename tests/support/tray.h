// The shell's side of the tray icon and the registry's autostart values, seen from a test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Asks the shell to modify the icon with this owner and id, changing nothing: true while the
// icon exists.
bool trayIconPresent(HWND owner, UINT id);
// Deletes the icon through the shell, as a restarting shell would lose it.
bool deleteTrayIcon(HWND owner, UINT id);

// The windows in which Wine's X11 driver draws the notification icons, one per icon: an icon
// deleted and added again gets a new one, an icon only modified keeps its window.
std::vector<HWND> trayIconWindows();

// An icon of the test process itself: proof that the shell is up while a check expects
// another icon to be gone.
class OwnTrayIcon {
  public:
    OwnTrayIcon();
    ~OwnTrayIcon();
    OwnTrayIcon(const OwnTrayIcon&) = delete;
    OwnTrayIcon& operator=(const OwnTrayIcon&) = delete;
    bool present() const;

  private:
    HWND window_ = nullptr;
};

// The visible popup menu ("#32768") of the process, or null.
HWND visiblePopupMenuOf(DWORD processId);

// A raw registry value: its type and the bytes stored (text values as UTF-16).
struct RegistryValue {
    bool present = false;
    DWORD type = 0;
    std::string data;
    // A text value's characters up to the first zero, as UTF-8.
    std::string text() const;
};

// The current user's Run key, and the key where Task Manager switches its entries off.
extern const WCHAR kRunKey[];
extern const WCHAR kApprovalKey[];

// A value of the current user's Run key (or of keyPath): the default (unnamed) one unless a
// name is given. Names and texts are UTF-8 and go through the W functions.
RegistryValue readRunValue(const char* name = "", const WCHAR* keyPath = kRunKey);
bool writeRunValue(DWORD type, const std::string& data, const char* name = "",
                   const WCHAR* keyPath = kRunKey);
// A REG_SZ value holding the text with its terminator, as programs usually write it.
bool writeRunText(const std::string& text, const char* name = "");
void deleteRunValue(const char* name = "", const WCHAR* keyPath = kRunKey);

// Puts back a Run key value as the test found it, whatever the test left there.
class RunValueGuard {
  public:
    explicit RunValueGuard(const char* name = "", const WCHAR* keyPath = kRunKey);
    ~RunValueGuard();
    RunValueGuard(const RunValueGuard&) = delete;
    RunValueGuard& operator=(const RunValueGuard&) = delete;

  private:
    std::string name_;
    const WCHAR* keyPath_;
    RegistryValue saved_;
};

}  // namespace e2e
