#include "settings/settings.h"

#include <cwchar>
#include <memory>
#include <new>

#include <windows.h>

#include <shlobj.h>

#include "base/win/handle_guards.h"
#include "settings/settings_rules.h"
#include "base/win/module_path.h"

SettingsFile& settingsFile() {
    static SettingsFile file = {};
    return file;
}

namespace {

const wchar_t kSection[] = L"Program";
// The keys of the file, named here only.
const wchar_t kWidthKey[] = L"cx";
const wchar_t kHeightKey[] = L"cy";
const wchar_t kZoomKey[] = L"zoom";
const wchar_t kHotkeyOnKey[] = L"use_hk";
const wchar_t kHotkeyKeyKey[] = L"hk_vkey";
const wchar_t kHotkeyModifiersKey[] = L"hk_key";
const wchar_t kLanguageKey[] = L"lng";
// The zoom factor is the zoom window's own initial one.
const ViewSettings kDefaultView = {700, 300, 2};

const size_t kTextCapacity = 1024;
// The program's own file holds a few short lines. A far larger one is something else under its
// name, which the profile functions would read whole at every call and rewrite whole, mangled,
// at the first change.
const LONGLONG kSettingsFileLimit = LONGLONG{64} * 1024;

bool settingsUsable() {
    return settingsFile().path[0] != L'\0' && !settingsFile().unread;
}

// The profile functions' text of a key; 0 characters when the key is missing or empty, and
// when there is no file to read.
DWORD readText(const wchar_t* key, wchar_t (&buffer)[kTextCapacity]) {
    buffer[0] = L'\0';
    if (!settingsUsable()) {
        return 0;
    }
    return GetPrivateProfileStringW(kSection, key, L"", buffer, kTextCapacity, settingsFile().path);
}

// Only digits, signs and blanks make up a value, all of them ASCII; the first other
// character ends it.
int32_t parseProfileText(const wchar_t (&text)[kTextCapacity]) {
    char ascii[kTextCapacity];
    size_t i = 0;
    for (; i + 1 < kTextCapacity && text[i] != L'\0' && text[i] < 0x80; ++i) {
        ascii[i] = static_cast<char>(text[i]);
    }
    ascii[i] = '\0';
    return parseSettingValue(ascii);
}

// A missing or empty value reads as the default; no bounds apply, the zoom window has its own.
int32_t readValue(const wchar_t* key, int32_t defaultValue) {
    wchar_t text[kTextCapacity];
    return readText(key, text) != 0 ? parseProfileText(text) : defaultValue;
}

bool moveToUserFile();

// Written only when the file holds another text: a held hotkey or a run of arrow keys
// would otherwise rewrite the file many times a second without changing it.
void writeValue(const wchar_t* key, int32_t value) {
    if (!settingsUsable()) {
        return;
    }
    wchar_t text[16];
    swprintf(text, sizeof(text) / sizeof(text[0]), L"%d", static_cast<int>(value));
    wchar_t stored[kTextCapacity];
    GetPrivateProfileStringW(kSection, key, L"", stored, kTextCapacity, settingsFile().path);
    if (wcscmp(stored, text) == 0) {
        return;
    }
    if (!WritePrivateProfileStringW(kSection, key, text, settingsFile().path) && moveToUserFile()) {
        WritePrivateProfileStringW(kSection, key, text, settingsFile().path);
    }
}

const DWORD kAnySharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// CreateFileW reports failure with INVALID_HANDLE_VALUE, which the guard would take for a
// handle: null it first.
UniqueKernelHandle ownedFile(HANDLE file) {
    return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

UniqueKernelHandle openExisting(const wchar_t* path, DWORD access) {
    return ownedFile(CreateFileW(path, access, kAnySharing, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
}

enum class Found {
    kMissing,
    kWritable,
    kReadOnly,    // reads work, writes are refused
    kUnreadable,  // there, but not to be read or beyond the size limit
};

// What a settings file is, found without changing it. A file that exists but cannot be opened
// for reading (held without sharing by a sync or backup tool, or a folder of that name) or is
// beyond the size limit is never touched in this run: its values could not be read, so writing
// would replace them with the defaults. Whether it takes writes is asked by opening it for
// writing and closing it again: a read-only attribute, a read-only share, a write-protected
// medium and permissions refuse that open as they refuse the profile functions' writes. A
// program holding the file without write sharing refuses it too, but only for a while: the
// file stays in use, and a write refused later moves the settings (moveToUserFile).
Found probeSettingsFile(const wchar_t* path) {
    UniqueKernelHandle reading = openExisting(path, GENERIC_READ);
    if (!reading) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Found::kMissing
                                                                              : Found::kUnreadable;
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(reading.get(), &size) || size.QuadPart > kSettingsFileLimit) {
        return Found::kUnreadable;
    }
    if (openExisting(path, GENERIC_WRITE)) {
        return Found::kWritable;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? Found::kWritable
                                                                             : Found::kReadOnly;
}

// True when the file is there afterwards. CREATE_NEW: a file that appeared in the meantime is
// not made hidden.
bool createHidden(const wchar_t* path) {
    if (ownedFile(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr))) {
        SetFileAttributesW(path, FILE_ATTRIBUTE_HIDDEN);
        return true;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

// The folder of a per-user file, created when missing: only once a file is to be made there.
void createFolderOf(const wchar_t* path, wchar_t (&folder)[kPathCapacity]) {
    lstrcpynW(folder, path, kPathCapacity);
    wchar_t* name = wcsrchr(folder, L'\\');
    if (name != nullptr) {
        *name = L'\0';
    }
    CreateDirectoryW(folder, nullptr);
}

// The whole content of a settings file, at most the size limit; false when it cannot be read.
bool readWhole(const wchar_t* path, char* content, DWORD* size) {
    UniqueKernelHandle file = openExisting(path, GENERIC_READ);
    // One byte more than the limit is asked for, so a file grown beyond it is refused.
    return file &&
           ReadFile(file.get(), content, static_cast<DWORD>(kSettingsFileLimit) + 1, size,
                    nullptr) &&
           *size <= kSettingsFileLimit;
}

// A new per-user file `to` (hidden, its folder created) holding what `from` holds. It takes
// its name only once complete, so a crash part-way leaves no short file that later starts
// would keep to; a file that took the name in the meantime is kept as it is. True when the
// per-user file exists afterwards.
bool seedFile(const wchar_t* from, const wchar_t* to) {
    std::unique_ptr<char[]> content(new (std::nothrow) char[kSettingsFileLimit + 1]);
    DWORD size = 0;
    if (!content || !readWhole(from, content.get(), &size)) {
        return false;
    }
    wchar_t folder[kPathCapacity];
    createFolderOf(to, folder);
    wchar_t temporary[MAX_PATH];  // what GetTempFileNameW fills
    if (GetTempFileNameW(folder, L"vst", 0, temporary) == 0) {
        return false;
    }
    bool complete = false;
    {
        UniqueKernelHandle file =
            ownedFile(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        complete = file && WriteFile(file.get(), content.get(), size, &written, nullptr) &&
                   written == size && FlushFileBuffers(file.get());
    }
    if (!complete || !SetFileAttributesW(temporary, FILE_ATTRIBUTE_HIDDEN) ||
        !MoveFileExW(temporary, to, MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary);
    }
    return GetFileAttributesW(to) != INVALID_FILE_ATTRIBUTES;
}

// %LOCALAPPDATA%\Vistrel\<name>.ini. The manifest asks for no elevation, so Windows does not
// redirect writes to a folder the user cannot write (Program Files for a standard user, a
// read-only medium): without this file nothing would be kept there.
bool userSettingsPath(const wchar_t* modulePath, wchar_t (&path)[kPathCapacity]) {
    // The call fills a buffer of MAX_PATH characters, the program's one path capacity.
    static_assert(kPathCapacity == MAX_PATH, "SHGetFolderPathW writes MAX_PATH characters");
    wchar_t folder[kPathCapacity];
    return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                      folder)) &&
           deriveUserSettingsPath(modulePath, folder, path, kPathCapacity);
}

void useFile(const wchar_t* path, bool unread) {
    lstrcpynW(settingsFile().path, path, kPathCapacity);
    settingsFile().unread = unread;
}

// A write the file in use refused (its folder turned read-only, its disk filled, its
// permissions changed, a program holds it) is not lost: the per-user file, made from the file
// in use, takes it and every later one, and later starts keep to it.
bool moveToUserFile() {
    wchar_t modulePath[kPathCapacity];
    wchar_t user[kPathCapacity];
    if (moduleFilePath(nullptr, modulePath) == 0 || !userSettingsPath(modulePath, user) ||
        wcscmp(user, settingsFile().path) == 0 || !seedFile(settingsFile().path, user)) {
        return false;
    }
    useFile(user, false);
    return true;
}

}  // namespace

// The settings stay where the user's changes went. A per-user file, once there, is the one in
// use: it holds what runs in a folder that could not be written kept, so a folder that takes a
// file again (or still holds an older one) brings no older values back. Without one: the file
// beside the program when it exists and takes writes, or can be created there; one there that
// refuses writes seeds the per-user file. Otherwise the per-user file, or none. A path the
// system had to cut, or one whose settings name would not fit, gets no settings file: the
// program runs on its defaults rather than touch a foreign file.
void openSettingsFile() {
    useFile(L"", false);
    wchar_t modulePath[kPathCapacity];
    wchar_t beside[kPathCapacity];
    if (moduleFilePath(nullptr, modulePath) == 0 ||
        !deriveSettingsPath(modulePath, beside, kPathCapacity)) {
        return;
    }
    wchar_t user[kPathCapacity];
    const bool userPossible = userSettingsPath(modulePath, user);
    const Found userFound = userPossible ? probeSettingsFile(user) : Found::kMissing;
    if (userFound != Found::kMissing) {
        useFile(user, userFound == Found::kUnreadable);
        return;
    }
    const Found found = probeSettingsFile(beside);
    switch (found) {
        case Found::kWritable:
        case Found::kUnreadable:
            useFile(beside, found == Found::kUnreadable);
            break;
        case Found::kReadOnly:
            // Where no per-user file can be made, its values are still read.
            useFile(userPossible && seedFile(beside, user) ? user : beside, false);
            break;
        case Found::kMissing:
            if (createHidden(beside)) {
                useFile(beside, false);
            } else if (userPossible) {
                wchar_t folder[kPathCapacity];
                createFolderOf(user, folder);
                if (createHidden(user)) {
                    useFile(user, false);
                }
            }
            break;
    }
}

int loadLanguage() {
    wchar_t text[kTextCapacity];
    if (readText(kLanguageKey, text) != 0) {
        return parseProfileText(text);
    }
    // German is not stored, so it follows the system until the user picks a language.
    const int language = languageFromLangId(GetSystemDefaultLangID());
    if (language == 1) {
        writeValue(kLanguageKey, 1);
    }
    return language;
}

void saveLanguage(int language) {
    writeValue(kLanguageKey, language);
}

ViewSettings loadView() {
    return {readValue(kWidthKey, kDefaultView.width), readValue(kHeightKey, kDefaultView.height),
            readValue(kZoomKey, kDefaultView.zoom)};
}

void saveView(const ViewSettings& view) {
    writeValue(kWidthKey, view.width);
    writeValue(kHeightKey, view.height);
    writeValue(kZoomKey, view.zoom);
}

HotkeySetting loadHotkey() {
    return {readValue(kHotkeyOnKey, 0), readValue(kHotkeyKeyKey, 0),
            readValue(kHotkeyModifiersKey, 0), 0};
}

void saveHotkey(const HotkeySetting& hotkey) {
    writeValue(kHotkeyOnKey, hotkey.useFlag);
    writeValue(kHotkeyKeyKey, hotkey.virtualKey);
    writeValue(kHotkeyModifiersKey, hotkey.modifiers);
}
