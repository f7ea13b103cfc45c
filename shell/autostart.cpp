#include "shell/autostart.h"

#include <cwchar>

#include "base/win/handle_guards.h"
#include "base/win/module_path.h"
#include "resources/resource_ids.h"

namespace {

const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
// The Run key's unnamed value, where older versions kept the entry.
const wchar_t kDefaultValue[] = L"";

UniqueRegistryKey openRunKey(int machineWide, REGSAM access) {
    HKEY key = nullptr;
    HKEY root = machineWide != 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    if (RegOpenKeyExW(root, kRunKey, 0, access, &key) != ERROR_SUCCESS) {
        return UniqueRegistryKey();
    }
    return UniqueRegistryKey(key);
}

enum class Entry {
    Missing,
    Current,  // this program's entry with the current command text
    Stale,    // this program's entry naming another path
    Foreign,  // another program's value, or one that could not be read whole
};

Entry readEntry(HKEY key, const wchar_t* valueName, const wchar_t* command) {
    // Room for a terminator after the largest accepted value: what the query stores need not
    // end in one (a value without it, or of another type).
    wchar_t stored[kStoredValueCapacity + 1] = {};
    const DWORD capacityBytes = kStoredValueCapacity * sizeof(wchar_t);
    DWORD type = 0;
    DWORD size = capacityBytes;
    LONG queried =
        RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(stored), &size);
    if (queried == ERROR_FILE_NOT_FOUND) {
        return Entry::Missing;
    }
    // A value too large to read whole cannot be judged: it is not shown as the entry, and
    // never written over or deleted.
    if (queried != ERROR_SUCCESS || size > capacityBytes) {
        return Entry::Foreign;
    }
    switch (classifyStoredValue(command, stored, size / sizeof(wchar_t))) {
        case StoredAutostartValue::Matches:
            return Entry::Current;
        case StoredAutostartValue::Stale:
            return Entry::Stale;
        default:
            return Entry::Foreign;
    }
}

bool isOwn(Entry entry) {
    return entry == Entry::Current || entry == Entry::Stale;
}

bool writeCommand(HKEY key, const wchar_t* valueName, const wchar_t* command, size_t length) {
    return RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                          static_cast<DWORD>(length * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Moves this program's entry from the value fromName to toName. Nothing happens when
// fromName holds anything else, or toName holds another program's value.
void moveAutostartEntry(const wchar_t* fromName, const wchar_t* toName, int machineWide) {
    if (fromName == nullptr || toName == nullptr || wcscmp(fromName, toName) == 0) {
        return;
    }
    wchar_t command[kAutostartCommandCapacity];
    int length = autostartCommand(GetModuleHandleW(nullptr), command);
    if (length == 0) {
        return;
    }
    UniqueRegistryKey key = openRunKey(machineWide, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (!key || !isOwn(readEntry(key.get(), fromName, command)) ||
        readEntry(key.get(), toName, command) == Entry::Foreign) {
        return;
    }
    // Deleted only once the new value holds the entry: a failure leaves it where it was.
    if (writeCommand(key.get(), toName, command, static_cast<size_t>(length))) {
        RegDeleteValueW(key.get(), fromName);
    }
}

}  // namespace

int autostartCommand(HMODULE module, wchar_t (&text)[kAutostartCommandCapacity]) {
    text[0] = L'\0';
    wchar_t path[kPathCapacity];
    // A path the call had to cut would start some other file, or none.
    size_t length = moduleFilePath(module, path);
    if (length == 0) {
        return 0;
    }
    return static_cast<int>(buildAutostartCommand(path, length, text, kAutostartCommandCapacity));
}

int checkAutostartEntry(const wchar_t* valueName, int machineWide) {
    wchar_t command[kAutostartCommandCapacity];
    int length = autostartCommand(GetModuleHandleW(nullptr), command);
    UniqueRegistryKey key = openRunKey(machineWide, KEY_QUERY_VALUE);
    if (!key) {
        return 0;
    }
    Entry entry = readEntry(key.get(), valueName, command);
    if (entry == Entry::Stale) {
        UniqueRegistryKey writable = openRunKey(machineWide, KEY_SET_VALUE);
        if (writable) {
            writeCommand(writable.get(), valueName, command, static_cast<size_t>(length));
        }
    }
    return isOwn(entry) ? 1 : 0;
}

int setAutostartEntry(HMODULE module, const wchar_t* valueName, int machineWide) {
    wchar_t command[kAutostartCommandCapacity];
    int length = autostartCommand(module, command);
    if (length == 0) {
        return 0;
    }
    UniqueRegistryKey key = openRunKey(machineWide, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (!key || readEntry(key.get(), valueName, command) == Entry::Foreign) {
        return 0;
    }
    return writeCommand(key.get(), valueName, command, static_cast<size_t>(length)) ? 1 : 0;
}

int removeAutostartEntry(const wchar_t* valueName, int machineWide) {
    wchar_t command[kAutostartCommandCapacity];
    autostartCommand(GetModuleHandleW(nullptr), command);
    UniqueRegistryKey key = openRunKey(machineWide, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (!key) {
        return 0;
    }
    if (!isOwn(readEntry(key.get(), valueName, command))) {
        return 1;
    }
    return RegDeleteValueW(key.get(), valueName) == ERROR_SUCCESS ? 1 : 0;
}

int loadAutostartValueName(wchar_t (&name)[kAutostartValueNameCapacity]) {
    wmemset(name, L'\0', kAutostartValueNameCapacity);
    int length = LoadStringW(GetModuleHandleW(nullptr), IDS_AUTOSTART_VALUE_NAME, name,
                             static_cast<int>(kAutostartValueNameCapacity));
    if (length <= 0) {
        name[0] = L'\0';
        return 0;
    }
    return length;
}

int startupAutostartFlag() {
    wchar_t valueName[kAutostartValueNameCapacity];
    if (loadAutostartValueName(valueName) == 0) {
        return 0;
    }
    moveAutostartEntry(kDefaultValue, valueName, 0);
    return checkAutostartEntry(valueName, 0);
}

void toggleAutostart(int& flag) {
    wchar_t valueName[kAutostartValueNameCapacity];
    if (loadAutostartValueName(valueName) == 0) {
        return;
    }
    if (flag == 0) {
        if (setAutostartEntry(GetModuleHandleW(nullptr), valueName, 0) != 0) {
            flag = 1;
        }
    } else if (removeAutostartEntry(valueName, 0) != 0) {
        flag = 0;
    }
}
