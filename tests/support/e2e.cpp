#include "tests/support/e2e.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "resources/commands.h"
#include "resources/window_classes.h"
#include "tests/support/wine_debug_launch.h"

namespace e2e {

std::wstring widen(const std::string& utf8) {
    int units = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    if (units <= 1) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], units);
    wide.resize(static_cast<size_t>(units) - 1);
    return wide;
}

std::string narrow(const std::wstring& wide) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) {
        return std::string();
    }
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(bytes) - 1);
    return utf8;
}

std::string testProgramFolder() {
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    WCHAR* slash = wcsrchr(path, L'\\');
    if (slash != nullptr) {
        *slash = L'\0';
    }
    return narrow(path);
}

std::string builtVistrelPath() {
    return testProgramFolder() + "\\vistrel.exe";
}

std::string makeTempFolder(const char* tag) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char folder[MAX_PATH];
        snprintf(folder, sizeof(folder), "%svistrel-%s-%lu-%u", base, tag, GetCurrentProcessId(),
                 counter++);
        if (CreateDirectoryA(folder, nullptr)) {
            return folder;
        }
    }
    return std::string();
}

std::string makeSubfolder(const std::string& parent, const std::string& nameUtf8) {
    std::string folder = parent + "\\" + nameUtf8;
    return CreateDirectoryW(widen(folder).c_str(), nullptr) ? folder : std::string();
}

const char kAnyScriptName[] =
    u8"\u0141\u00f3d\u017a \u0417\u0430\u0433\u0440\u0443\u0437\u043a\u0438 \u5de5\u5177";

AnyScriptFolder::AnyScriptFolder(const char* tag)
    : base_(makeTempFolder(tag)), path_(makeSubfolder(base_, kAnyScriptName)) {}

void removeFolder(const std::string& folder) {
    if (folder.empty()) {
        return;
    }
    std::wstring wideFolder = widen(folder);
    for (const std::string& name : folderEntries(folder)) {
        std::wstring path = wideFolder + L"\\" + widen(name);
        const DWORD attributes = GetFileAttributesW(path.c_str());
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            removeFolder(narrow(path));
        } else {
            DeleteFileW(path.c_str());
        }
    }
    SetFileAttributesW(wideFolder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(wideFolder.c_str());
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(widen(folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0) {
                names.push_back(narrow(found.cFileName));
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring userSettingsPath() {
    const wchar_t* folder = _wgetenv(L"LOCALAPPDATA");
    return std::wstring(folder != nullptr ? folder : L"?") + L"\\Vistrel\\vistrel.ini";
}

int soakOr(int quick, int soak) {
    char value[8] = {};
    return GetEnvironmentVariableA("VISTREL_SOAK", value, sizeof(value)) > 0 &&
                   strcmp(value, "1") == 0
               ? soak
               : quick;
}

// Handles whatever this thread receives (a second start asks every top-level window, the
// test's own included) and wakes for it at once, otherwise every 5 ms at the most.
void pumpFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds < 5 ? milliseconds : 5,
                                  QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return condition();
        }
        pumpFor(stepMs);
    }
}

namespace {

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId) {
        search->found.push_back(window);
    }
    return TRUE;
}

}  // namespace

std::vector<HWND> topLevelWindowsOf(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND findWindowOf(DWORD processId, const char* className) {
    for (HWND window : topLevelWindowsOf(processId)) {
        char name[256] = {};
        GetClassNameA(window, name, sizeof(name));
        if (strcmp(name, className) == 0) {
            return window;
        }
    }
    return nullptr;
}

bool isTopmost(HWND window) {
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

RECT windowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

bool hasVisibleWindow(DWORD processId) {
    for (HWND window : topLevelWindowsOf(processId)) {
        if (IsWindowVisible(window)) {
            return true;
        }
    }
    return false;
}

bool registerTestClass(const char* name, WNDPROC procedure) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    return RegisterClassExA(&windowClass) != 0;
}

std::string windowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::wstring messageBoxText(HWND box) {
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(child, name, sizeof(name));
        wchar_t own[512] = {};
        GetWindowTextW(child, own, 512);
        if (lstrcmpiA(name, "Static") == 0 && own[0] != L'\0') {
            text = own;
        }
    }
    return text;
}

namespace {

void sendKey(WORD virtualKey, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

}  // namespace

void keyDown(WORD virtualKey) {
    sendKey(virtualKey, true);
}
void keyUp(WORD virtualKey) {
    sendKey(virtualKey, false);
}
void tapKey(WORD virtualKey) {
    keyDown(virtualKey);
    pumpFor(30);
    keyUp(virtualKey);
}

Program::Program() : Program(makeTempFolder("e2e")) {
    ownsFolder_ = true;
}

Program::Program(const std::string& folder) : folder_(folder) {
    exePath_ = folder_ + "\\vistrel.exe";
    CopyFileW(widen(builtVistrelPath()).c_str(), widen(exePath_).c_str(), FALSE);
}

Program::~Program() {
    kill();
    if (ownsFolder_) {
        removeFolder(folder_);
    }
}

std::string Program::iniPath() const {
    return folder_ + "\\vistrel.ini";
}

bool Program::start(const char* arguments, const char* extraEnvironment) {
    return launch(arguments, extraEnvironment, 0);
}

bool Program::launch(const char* arguments, const char* extraEnvironment, DWORD flags) {
    kill();
    std::wstring exe = widen(exePath_);
    std::wstring commandLine = L"\"" + exe + L"\"" + widen(arguments != nullptr ? arguments : "");
    std::vector<WCHAR> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');
    std::vector<WCHAR> environment;
    if (extraEnvironment != nullptr) {
        for (const char* entry = extraEnvironment; *entry != '\0'; entry += strlen(entry) + 1) {
            std::wstring wide = widen(entry);
            environment.insert(environment.end(), wide.begin(), wide.end());
            environment.push_back(L'\0');
        }
        LPWCH inherited = GetEnvironmentStringsW();
        for (const WCHAR* entry = inherited; entry != nullptr && *entry != L'\0';
             entry += wcslen(entry) + 1) {
            environment.insert(environment.end(), entry, entry + wcslen(entry) + 1);
        }
        FreeEnvironmentStringsW(inherited);
        environment.push_back(L'\0');
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessW(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE,
                          CREATE_UNICODE_ENVIRONMENT | flags,
                          environment.empty() ? nullptr : environment.data(),
                          widen(folder_).c_str(), &startup, &processInfo_) != 0;
}

bool Program::startWithWineDebug(const char* wineDebug, const std::string& stderrPath,
                                 const std::string& environment) {
    kill();
    return startWithUnixStderr(exePath_, "", environment + " WINEDEBUG=" + wineDebug, stderrPath,
                               &processInfo_);
}

bool Program::startWithEnvironment(const std::string& environment) {
    kill();
    return startWithUnixStderr(exePath_, "", environment, folder_ + "\\wine-stderr.txt",
                               &processInfo_);
}

HWND Program::mainWindow() const {
    return findWindowOf(processId(), kMainWindowClass);
}

HWND Program::zoomWindow() const {
    return findWindowOf(processId(), kZoomWindowClass);
}

// The main window can be found while its WM_CREATE still runs (adding the tray icon waits
// for the shell); the zoom window, made near the end of WM_CREATE, shows it is through.
HWND Program::waitForMainWindow(DWORD timeoutMs) {
    HWND window = nullptr;
    waitUntil(
        [&] {
            window = mainWindow();
            return (window != nullptr && zoomWindow() != nullptr) || !running();
        },
        timeoutMs);
    return window != nullptr ? window : mainWindow();
}

bool Program::running() const {
    return processInfo_.hProcess != nullptr &&
           WaitForSingleObject(processInfo_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::waitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (processInfo_.hProcess == nullptr) {
        return false;
    }
    bool ended = waitUntil([&] { return !running(); }, timeoutMs);
    if (ended && exitCode != nullptr) {
        GetExitCodeProcess(processInfo_.hProcess, exitCode);
    }
    return ended;
}

bool Program::exitByCommand(DWORD* exitCode) {
    return postCommand(CMD_EXIT) && waitForExit(10000, exitCode);
}

void Program::kill() {
    if (processInfo_.hProcess == nullptr) {
        return;
    }
    if (running()) {
        TerminateProcess(processInfo_.hProcess, 1);
        WaitForSingleObject(processInfo_.hProcess, 10000);
    }
    CloseHandle(processInfo_.hProcess);
    if (processInfo_.hThread != nullptr) {
        CloseHandle(processInfo_.hThread);
    }
    processInfo_ = {};
}

std::string Program::readSettingText(const char* key, bool* present) const {
    WCHAR text[1024] = {};
    static const WCHAR kMissing[] = L"\x01missing";
    GetPrivateProfileStringW(L"Program", widen(key).c_str(), kMissing, text, 1024,
                             widen(iniPath()).c_str());
    bool isPresent = wcscmp(text, kMissing) != 0;
    if (present != nullptr) {
        *present = isPresent;
    }
    return isPresent ? narrow(text) : std::string();
}

int Program::readSetting(const char* key, int fallback) const {
    bool present = false;
    std::string text = readSettingText(key, &present);
    return present ? atoi(text.c_str()) : fallback;
}

void Program::writeSetting(const char* key, const char* value) const {
    WritePrivateProfileStringW(L"Program", widen(key).c_str(),
                               value != nullptr ? widen(value).c_str() : nullptr,
                               widen(iniPath()).c_str());
}

std::string Program::storedView() const {
    return readSettingText("cx") + " " + readSettingText("cy") + " " + readSettingText("zoom");
}

void Program::storeHotkey(const char* use, const char* key, const char* modifiers) const {
    writeSetting("use_hk", use);
    writeSetting("hk_vkey", key);
    writeSetting("hk_key", modifiers);
}

bool Program::settingsFileExists() const {
    return settingsFileAttributes() != INVALID_FILE_ATTRIBUTES;
}

DWORD Program::settingsFileAttributes() const {
    return GetFileAttributesW(widen(iniPath()).c_str());
}

// The marker is a zoom key for the zoom window, which the program's window thread handles
// shown or hidden: the program writes the new zoom to the settings file. It goes round twice:
// the program may answer a message by posting itself another (a tray click posts the magnify
// command), which the first round's marker, already queued, would overtake.
bool Program::handledAllPosted() const {
    char digit = readSettingText("zoom") == "7" ? '6' : '7';
    for (int round = 0; round < 2; ++round, digit = digit == '7' ? '6' : '7') {
        if (PostMessageA(zoomWindow(), WM_KEYDOWN, static_cast<WPARAM>(digit), 1) == 0 ||
            !waitUntil([&] { return readSettingText("zoom") == std::string(1, digit); }, 10000)) {
            return false;
        }
    }
    return true;
}

bool Program::postCommand(int command) const {
    return PostMessageA(mainWindow(), WM_COMMAND, static_cast<WPARAM>(command), 0) != 0;
}

bool Program::postTrayNotify(LPARAM mouseMessage) const {
    return PostMessageA(mainWindow(), WM_TRAYNOTIFY, TRAY_ICON_ID, mouseMessage) != 0;
}

}  // namespace e2e
