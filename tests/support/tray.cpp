#include "tests/support/tray.h"

#include <shellapi.h>

#include <cstring>
#include <vector>

#include "tests/support/e2e.h"

namespace e2e {

const WCHAR kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const WCHAR kApprovalKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

namespace {

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

std::string RegistryValue::text() const {
    std::wstring wide(data.size() / sizeof(WCHAR), L'\0');
    memcpy(&wide[0], data.data(), wide.size() * sizeof(WCHAR));
    return narrow(wide.c_str());
}

RegistryValue readRunValue(const char* name, const WCHAR* keyPath) {
    RegistryValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return value;
    }
    const std::wstring wideName = widen(name);
    DWORD size = 0;
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &value.type, nullptr, &size) ==
        ERROR_SUCCESS) {
        std::vector<char> bytes(size + 2, '\0');
        DWORD read = size;
        if (RegQueryValueExW(key, wideName.c_str(), nullptr, &value.type,
                             reinterpret_cast<BYTE*>(bytes.data()), &read) == ERROR_SUCCESS) {
            value.present = true;
            value.data.assign(bytes.data(), read);
        }
    }
    RegCloseKey(key);
    return value;
}

bool writeRunValue(DWORD type, const std::string& data, const char* name, const WCHAR* keyPath) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    LONG result =
        RegSetValueExW(key, widen(name).c_str(), 0, type,
                       reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool writeRunText(const std::string& text, const char* name) {
    std::wstring wide = widen(text);
    std::string bytes(reinterpret_cast<const char*>(wide.c_str()),
                      (wide.size() + 1) * sizeof(WCHAR));
    return writeRunValue(REG_SZ, bytes, name);
}

void deleteRunValue(const char* name, const WCHAR* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, widen(name).c_str());
        RegCloseKey(key);
    }
}

RunValueGuard::RunValueGuard(const char* name, const WCHAR* keyPath)
    : name_(name), keyPath_(keyPath), saved_(readRunValue(name, keyPath)) {}

RunValueGuard::~RunValueGuard() {
    if (saved_.present) {
        writeRunValue(saved_.type, saved_.data, name_.c_str(), keyPath_);
    } else {
        deleteRunValue(name_.c_str(), keyPath_);
    }
}

}  // namespace e2e
