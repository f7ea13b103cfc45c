#include "shell/autostart.h"

#include <cwchar>

#include "base/win/handle_guards.h"
#include "base/win/module_path.h"
#include "resources/resource_ids.h"

namespace {

const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where Task Manager and Settings keep an entry switched off without touching the Run key.
const wchar_t kApprovalKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
// The Run key's unnamed value, where older versions kept the entry.
const wchar_t kDefaultValue[] = L"";

UniqueRegistryKey openKey(const wchar_t* path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, access, &key) != ERROR_SUCCESS) {
        return UniqueRegistryKey();
    }
    return UniqueRegistryKey(key);
}

enum class Entry {
    Missing,
    Current,  // this program's entry with the current command text
    Stale,    // this program's entry naming this file in other letter case, or a gone file
    Another,  // this program's entry for another copy that is still there: that copy's
    Foreign,  // another program's value, or one that could not be read whole
};

// What an entry of this program naming another path is. Another copy that is still there
// keeps its entry; only one whose file is gone (moved, deleted, a folder cleaned up), or whose
// path is longer than any the system starts a program from, is pointed at the running file,
// as is this very file in other letter case. A copy on a share is not asked about (a
// server that is off would keep the start waiting for the network), nor one on a drive that
// is not there now (a stick pulled out): those count as there, as does a file that cannot be
// asked about (a folder the user may not read).
Entry staleEntry(const wchar_t* stored, size_t count) {
    wchar_t path[kPathCapacity];
    wchar_t own[kPathCapacity];
    if (storedEntryPath(stored, count, path, kPathCapacity) == 0) {
        return Entry::Stale;
    }
    if (moduleFilePath(nullptr, own) != 0 &&
        CompareStringOrdinal(path, -1, own, -1, TRUE) == CSTR_EQUAL) {
        return Entry::Stale;
    }
    // A full path begins with a drive ("C:\") or a share ("\\server\share\").
    const wchar_t root[] = {path[0], L':', L'\\', L'\0'};
    const UINT drive = path[0] == L'\\' ? DRIVE_REMOTE : GetDriveTypeW(root);
    if (drive == DRIVE_REMOTE || drive == DRIVE_NO_ROOT_DIR || drive == DRIVE_UNKNOWN ||
        GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
        return Entry::Another;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Entry::Stale
                                                                          : Entry::Another;
}

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
    // Only text starts a program from the Run key: any other type is not an entry of this
    // program, whatever bytes it holds.
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return Entry::Foreign;
    }
    // The unnamed value is nobody's own: a narrower rule than under the program's own name.
    auto judge = valueName[0] == L'\0' ? classifyDefaultValue : classifyStoredValue;
    switch (judge(command, stored, size / sizeof(wchar_t))) {
        case StoredAutostartValue::Matches:
            return Entry::Current;
        case StoredAutostartValue::Stale:
            return staleEntry(stored, size / sizeof(wchar_t));
        default:
            return Entry::Foreign;
    }
}

bool isOwn(Entry entry) {
    return entry == Entry::Current || entry == Entry::Stale;
}

// What every operation on the entry starts from: the command text the entry should hold and
// the Run key opened for the access the operation needs.
struct RunEntry {
    RunEntry(HMODULE module, REGSAM access)
        : command{},
          length(static_cast<size_t>(autostartCommand(module, command))),
          key(openKey(kRunKey, access)) {}
    wchar_t command[kAutostartCommandCapacity];
    size_t length;  // 0: the program's path could not be had whole
    UniqueRegistryKey key;

    Entry read(const wchar_t* valueName) const { return readEntry(key.get(), valueName, command); }
};

// The size counts the terminator, as the system requires of text: a reader that takes the
// value's bytes as they are would otherwise get text without an end.
bool writeCommand(HKEY key, const wchar_t* valueName, const RunEntry& entry) {
    return RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.command),
                          static_cast<DWORD>((entry.length + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

// Whether the startup approval value of that name keeps the entry from starting. A missing key
// or value, or one that cannot be read whole, does not.
bool startupDisabled(HKEY approvals, const wchar_t* valueName) {
    BYTE data[kStartupApprovalSize + 1] = {};
    DWORD type = 0;
    DWORD size = sizeof(data);
    return approvals != nullptr &&
           RegQueryValueExW(approvals, valueName, nullptr, &type, data, &size) == ERROR_SUCCESS &&
           startupApprovalDisables(type == REG_BINARY, data, size);
}

bool startupApproved(const wchar_t* valueName) {
    UniqueRegistryKey approvals = openKey(kApprovalKey, KEY_QUERY_VALUE);
    return !startupDisabled(approvals.get(), valueName);
}

// Read as it is, each time: Task Manager may have switched the entry off, or another copy
// taken it over, while the program runs.
bool entryOn(const wchar_t* valueName) {
    const RunEntry run(GetModuleHandleW(nullptr), KEY_QUERY_VALUE);
    return run.key && run.read(valueName) == Entry::Current && startupApproved(valueName);
}

// Marks a disabled approval value enabled, with the bytes Task Manager writes for it, so the
// entry the user just switched on really starts. Kept rather than deleted: the value stays as
// Windows' own switch would leave it. No value is ever created, and an enabled one or one of
// another shape is left as it is. True when nothing keeps the entry from starting.
bool enableStartup(const wchar_t* valueName) {
    UniqueRegistryKey approvals = openKey(kApprovalKey, KEY_QUERY_VALUE);
    if (!startupDisabled(approvals.get(), valueName)) {
        return true;
    }
    UniqueRegistryKey writable = openKey(kApprovalKey, KEY_SET_VALUE);
    const BYTE enabled[kStartupApprovalSize] = {2};
    return writable && RegSetValueExW(writable.get(), valueName, 0, REG_BINARY, enabled,
                                      sizeof(enabled)) == ERROR_SUCCESS;
}

// Moves this program's entry from the value fromName to toName. Nothing happens when
// fromName holds anything else (another copy's entry too), or toName holds another program's
// value or another copy's entry.
void moveAutostartEntry(const wchar_t* fromName, const wchar_t* toName) {
    if (fromName == nullptr || toName == nullptr || wcscmp(fromName, toName) == 0) {
        return;
    }
    const RunEntry run(GetModuleHandleW(nullptr), KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (run.length == 0 || !run.key || !isOwn(run.read(fromName))) {
        return;
    }
    const Entry to = run.read(toName);
    if (to == Entry::Foreign || to == Entry::Another) {
        return;
    }
    // Deleted only once the new value holds the entry: a failure leaves it where it was.
    if (writeCommand(run.key.get(), toName, run)) {
        RegDeleteValueW(run.key.get(), fromName);
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

bool checkAutostartEntry(const wchar_t* valueName) {
    const RunEntry run(GetModuleHandleW(nullptr), KEY_QUERY_VALUE);
    if (!run.key) {
        return false;
    }
    Entry entry = run.read(valueName);
    if (entry == Entry::Stale) {
        // An entry naming a file that is gone would start nothing: shown as off.
        UniqueRegistryKey writable = openKey(kRunKey, KEY_SET_VALUE);
        if (!writable || !writeCommand(writable.get(), valueName, run)) {
            return false;
        }
    } else if (entry != Entry::Current) {
        return false;
    }
    return startupApproved(valueName);
}

bool setAutostartEntry(HMODULE module, const wchar_t* valueName) {
    const RunEntry run(module, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (run.length == 0 || !run.key || run.read(valueName) == Entry::Foreign) {
        return false;
    }
    // The Run value first: switched on in Task Manager, an entry without it would start nothing.
    return writeCommand(run.key.get(), valueName, run) && enableStartup(valueName);
}

bool removeAutostartEntry(const wchar_t* valueName) {
    const RunEntry run(GetModuleHandleW(nullptr), KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (!run.key) {
        return false;
    }
    return !isOwn(run.read(valueName)) ||
           RegDeleteValueW(run.key.get(), valueName) == ERROR_SUCCESS;
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

void checkAutostartAtStart() {
    wchar_t valueName[kAutostartValueNameCapacity];
    if (loadAutostartValueName(valueName) != 0) {
        moveAutostartEntry(kDefaultValue, valueName);
        checkAutostartEntry(valueName);
    }
}

bool autostartOn() {
    wchar_t valueName[kAutostartValueNameCapacity];
    return loadAutostartValueName(valueName) != 0 && entryOn(valueName);
}

void toggleAutostart() {
    wchar_t valueName[kAutostartValueNameCapacity];
    if (loadAutostartValueName(valueName) == 0) {
        return;
    }
    if (entryOn(valueName)) {
        removeAutostartEntry(valueName);
    } else {
        setAutostartEntry(GetModuleHandleW(nullptr), valueName);
    }
}
