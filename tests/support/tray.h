// The shell's side of the tray icon and the registry's autostart value, seen from a test.
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

// A raw registry value: its type and the bytes stored.
struct RegistryValue {
    bool present = false;
    DWORD type = 0;
    std::string data;
};

// The default value of the current user's Run key, where the autostart entry lives.
RegistryValue readRunValue();
bool writeRunValue(DWORD type, const std::string& data);
void deleteRunValue();

// Puts back the Run key's default value as the test found it, whatever the test left there.
class RunValueGuard {
  public:
    RunValueGuard();
    ~RunValueGuard();
    RunValueGuard(const RunValueGuard&) = delete;
    RunValueGuard& operator=(const RunValueGuard&) = delete;

  private:
    RegistryValue saved_;
};

}  // namespace e2e
