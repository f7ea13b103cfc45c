#include "settings/settings.h"

#include <cwchar>

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
    WritePrivateProfileStringW(kSection, key, text, settingsFile().path);
}

// CreateFileW reports failure with INVALID_HANDLE_VALUE, which the guard would take for a
// handle: null it first.
UniqueKernelHandle ownedFile(HANDLE file) {
    return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

enum class Prepared { kReady, kUnread, kNotCreated };

// A missing file is created hidden; an existing one keeps its attributes. A file that exists
// but cannot be opened for reading (held without sharing by a sync or backup tool, or a folder
// of that name) or is beyond the size limit is never touched in this run: its values could not
// be read, so writing would replace them with the defaults.
Prepared prepareSettingsFile(const wchar_t* path) {
    const DWORD anySharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    UniqueKernelHandle existing = ownedFile(CreateFileW(
        path, GENERIC_READ, anySharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (existing) {
        LARGE_INTEGER size = {};
        if (!GetFileSizeEx(existing.get(), &size) || size.QuadPart > kSettingsFileLimit) {
            return Prepared::kUnread;
        }
        return Prepared::kReady;
    }
    if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        return Prepared::kUnread;
    }
    // CREATE_NEW: a file that appeared in the meantime is not made hidden.
    UniqueKernelHandle created = ownedFile(CreateFileW(
        path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (created) {
        created.reset();
        SetFileAttributesW(path, FILE_ATTRIBUTE_HIDDEN);
        return Prepared::kReady;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Prepared::kReady
                                                                       : Prepared::kNotCreated;
}

// %LOCALAPPDATA%\Vistrel\<name>.ini, its folder created when missing. The manifest asks for
// no elevation, so Windows does not redirect writes to a folder the user cannot write (Program
// Files for a standard user, a read-only medium): without this file nothing would be kept.
bool userSettingsPath(const wchar_t* modulePath, wchar_t (&path)[kPathCapacity]) {
    // The call fills a buffer of MAX_PATH characters, the program's one path capacity.
    static_assert(kPathCapacity == MAX_PATH, "SHGetFolderPathW writes MAX_PATH characters");
    wchar_t folder[kPathCapacity];
    if (FAILED(
            SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)) ||
        !deriveUserSettingsPath(modulePath, folder, path, kPathCapacity)) {
        return false;
    }
    wchar_t* name = wcsrchr(path, L'\\');
    *name = L'\0';
    CreateDirectoryW(path, nullptr);
    *name = L'\\';
    return true;
}

}  // namespace

// The file beside the program whenever it exists or can be created there; otherwise the
// user's own file for the whole run, or none. A path the system had to cut, or one whose
// settings name would not fit, gets no settings file: the program runs on its defaults rather
// than touch a foreign file.
void openSettingsFile() {
    SettingsFile& file = settingsFile();
    file.unread = false;
    wchar_t modulePath[kPathCapacity];
    if (moduleFilePath(nullptr, modulePath) == 0 ||
        !deriveSettingsPath(modulePath, file.path, kPathCapacity)) {
        file.path[0] = L'\0';
        return;
    }
    Prepared prepared = prepareSettingsFile(file.path);
    if (prepared == Prepared::kNotCreated && userSettingsPath(modulePath, file.path)) {
        prepared = prepareSettingsFile(file.path);
    }
    if (prepared == Prepared::kNotCreated) {
        file.path[0] = L'\0';
    }
    file.unread = prepared == Prepared::kUnread;
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
