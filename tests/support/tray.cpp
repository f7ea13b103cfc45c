#include "tests/support/tray.h"

#include <shellapi.h>

#include <cstring>
#include <vector>

#include "tests/support/e2e.h"

namespace e2e {

namespace {

const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

NOTIFYICONDATAA emptyRecord(HWND owner, UINT id) {
    NOTIFYICONDATAA record = {};
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = owner;
    record.uID = id;
    return record;
}

}  // namespace

bool trayIconPresent(HWND owner, UINT id) {
    NOTIFYICONDATAA record = emptyRecord(owner, id);
    return Shell_NotifyIconA(NIM_MODIFY, &record) != 0;
}

bool deleteTrayIcon(HWND owner, UINT id) {
    NOTIFYICONDATAA record = emptyRecord(owner, id);
    return Shell_NotifyIconA(NIM_DELETE, &record) != 0;
}

namespace {

void collectIconWindows(HWND parent, std::vector<HWND>& found) {
    HWND child = nullptr;
    while ((child = FindWindowExA(parent, child, "__winex11_tray_icon", nullptr)) != nullptr) {
        found.push_back(child);
    }
}

}  // namespace

std::vector<HWND> trayIconWindows() {
    std::vector<HWND> found;
    collectIconWindows(nullptr, found);  // docked into a system tray of the X desktop
    HWND tray = nullptr;
    while ((tray = FindWindowExA(nullptr, tray, "__winex11_standalone_tray", nullptr)) != nullptr) {
        collectIconWindows(tray, found);
    }
    return found;
}

OwnTrayIcon::OwnTrayIcon() {
    window_ = CreateWindowExA(0, "STATIC", "tray probe", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    NOTIFYICONDATAA record = emptyRecord(window_, 1);
    record.uFlags = NIF_ICON;
    record.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION, shared
    Shell_NotifyIconA(NIM_ADD, &record);
}

OwnTrayIcon::~OwnTrayIcon() {
    deleteTrayIcon(window_, 1);
    DestroyWindow(window_);
}

bool OwnTrayIcon::present() const {
    return trayIconPresent(window_, 1);
}

HWND visiblePopupMenuOf(DWORD processId) {
    for (HWND window : topLevelWindowsOf(processId)) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof(name));
        if (strcmp(name, "#32768") == 0 && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

RegistryValue readRunValue() {
    RegistryValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return value;
    }
    DWORD size = 0;
    if (RegQueryValueExA(key, "", nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<char> bytes(size + 1, '\0');
        DWORD read = size;
        if (RegQueryValueExA(key, "", nullptr, &value.type, reinterpret_cast<BYTE*>(bytes.data()),
                             &read) == ERROR_SUCCESS) {
            value.present = true;
            value.data.assign(bytes.data(), read);
        }
    }
    RegCloseKey(key);
    return value;
}

bool writeRunValue(DWORD type, const std::string& data) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    LONG result = RegSetValueExA(key, "", 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

void deleteRunValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "");
        RegCloseKey(key);
    }
}

RunValueGuard::RunValueGuard() : saved_(readRunValue()) {}

RunValueGuard::~RunValueGuard() {
    if (saved_.present) {
        writeRunValue(saved_.type, saved_.data);
    } else {
        deleteRunValue();
    }
}

}  // namespace e2e
