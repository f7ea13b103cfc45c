#include "shell/autostart.h"

#include <cstring>

#include "app/app_state.h"
#include "resources/resource_ids.h"

namespace {

const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

HKEY openRunKey(int machineWide) {
    HKEY key = nullptr;
    HKEY root = machineWide != 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    if (RegOpenKeyA(root, kRunKey, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

LONG writeCommand(HKEY key, const char* valueName, const char* command, size_t length) {
    return RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                          static_cast<DWORD>(length));
}

}  // namespace

int autostartCommand(HMODULE module, char (&text)[kAutostartCommandCapacity]) {
    text[0] = '\0';
    char path[kModulePathCapacity] = {};
    DWORD length = GetModuleFileNameA(module, path, static_cast<DWORD>(sizeof(path)));
    // A path the call had to cut would start some other file, or none.
    if (length == 0 || length >= sizeof(path)) {
        return 0;
    }
    return static_cast<int>(buildAutostartCommand(path, length, text, sizeof(text)));
}

int checkAutostartEntry(const char* valueName, int machineWide) {
    char command[kAutostartCommandCapacity];
    autostartCommand(GetModuleHandleA(nullptr), command);

    HKEY key = openRunKey(machineWide);
    if (key == nullptr) {
        return 0;
    }
    // Room for a terminator after the largest accepted value: what the query stores need not
    // end in one (a value without it, or of another type).
    char stored[kStoredValueCapacity + 1] = {};
    DWORD type = 0;
    DWORD size = kStoredValueCapacity;
    LONG queried =
        RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(stored), &size);
    if (queried != ERROR_SUCCESS || size > kStoredValueCapacity) {
        RegCloseKey(key);
        return 0;
    }
    if (classifyStoredValue(command, stored, size) == StoredAutostartValue::Stale) {
        writeCommand(key, valueName, command, strlen(command));
    }
    RegCloseKey(key);
    return 1;
}

int setAutostartEntry(HMODULE module, const char* valueName, int machineWide) {
    char command[kAutostartCommandCapacity];
    int length = autostartCommand(module, command);
    if (length == 0) {
        return 0;
    }
    HKEY key = openRunKey(machineWide);
    if (key == nullptr) {
        return 0;
    }
    LONG written = writeCommand(key, valueName, command, static_cast<size_t>(length));
    RegCloseKey(key);
    return written == ERROR_SUCCESS ? 1 : 0;
}

int removeAutostartEntry(const char* valueName, int machineWide) {
    HKEY key = openRunKey(machineWide);
    if (key == nullptr) {
        return 0;
    }
    LONG deleted = RegDeleteValueA(key, valueName);
    RegCloseKey(key);
    return deleted == ERROR_SUCCESS ? 1 : 0;
}

void loadAutostartValueName(char (&name)[100]) {
    memset(name, 0, sizeof(name));
    LoadStringA(GetModuleHandleA(nullptr), IDS_AUTOSTART_VALUE_NAME, name, sizeof(name));
}

// The flag keeps its new value even when the registry refuses: the next start reads it again.
void toggleAutostart() {
    appState.autostartFlag = appState.autostartFlag == 0 ? 1 : 0;
    char valueName[100];
    loadAutostartValueName(valueName);
    if (appState.autostartFlag == 1) {
        setAutostartEntry(GetModuleHandleA(nullptr), valueName, 0);
    } else {
        removeAutostartEntry(valueName, 0);
    }
}
