// A test library that makes the program meet Windows' refusals. Loaded into vistrel.exe before
// its first line runs (tests/support/faults.cpp), it rewrites entries of the program's import
// table, and answers its GetProcAddress look-ups, so that the functions named in VISTREL_FAULTS
// answer as Windows does when it refuses them: the failure value and last error of the table
// below. Rules, separated by ';':
//   Name             every call refused
//   Name#3           only the third call;  Name#1-3  the first three;  Name#2-  from the second on
//   Name@2=text      only calls whose second argument is a text (wide for a name ending in W)
//                    ending with text, case ignored; these calls are counted alone
//   Name@1~Class     only calls whose first argument is a window of that class
// VISTREL_FAULTS_LOG names a file that gets one line per import of the program and per name it
// looks up at run time ("import DLL!Name CLASS", "resolve Name CLASS", CLASS being "fails" or
// "skip: reason"), and "refused Name" at the first refusal of each rule.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <utility>

namespace {

using Word = uintptr_t;

// How each function the program may call answers a refusal; skip names the reason it cannot be
// refused. A name ending in '*' covers every name it begins; a DLL name covers its exports.
struct Failure {
    const char* name;
    Word value;
    DWORD lastError;  // 0: the function reports its error in the value, not the last error
    const char* skip;
};

const char kRuntime[] = "the C/C++ runtime's, never called by the program";
const char kAnswer[] = "its value is the message's or the key's answer: no failure value";
const char kCannotFail[] = "cannot fail";

const Failure kTable[] = {
    {"msvcrt.dll", 0, 0, "the C runtime"},
    {"api-ms-win-crt-*", 0, 0, "the C runtime"},
    {"ucrtbase.dll", 0, 0, "the C runtime"},
    // advapi32: registry functions return the error.
    {"RegOpenKeyExW", ERROR_ACCESS_DENIED, 0, nullptr},
    {"RegQueryValueExW", ERROR_ACCESS_DENIED, 0, nullptr},
    {"RegSetValueExW", ERROR_ACCESS_DENIED, 0, nullptr},
    {"RegDeleteValueW", ERROR_ACCESS_DENIED, 0, nullptr},
    {"RegCloseKey", ERROR_INVALID_HANDLE, 0, nullptr},
    // gdi32
    {"BitBlt", FALSE, 0, nullptr},
    {"StretchBlt", FALSE, 0, nullptr},
    {"CreateCompatibleBitmap", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"CreateCompatibleDC", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"CreateDIBSection", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"GdiFlush", FALSE, 0, nullptr},
    {"CreateFontIndirectA", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"DeleteDC", FALSE, ERROR_INVALID_HANDLE, nullptr},
    {"DeleteObject", FALSE, ERROR_INVALID_HANDLE, nullptr},
    {"ExtTextOutA", FALSE, 0, nullptr},
    {"GetClipBox", ERROR, 0, nullptr},
    {"GetPixel", CLR_INVALID, 0, nullptr},
    {"GetStockObject", 0, 0, nullptr},
    {"RestoreDC", FALSE, 0, nullptr},
    {"SaveDC", 0, 0, nullptr},
    {"SelectObject", 0, 0, nullptr},
    {"SetBkColor", CLR_INVALID, 0, nullptr},
    {"SetTextColor", CLR_INVALID, 0, nullptr},
    {"SetDCBrushColor", CLR_INVALID, 0, nullptr},
    {"SetBkMode", 0, 0, nullptr},
    {"SetStretchBltMode", 0, 0, nullptr},
    // kernel32
    {"CloseHandle", FALSE, ERROR_INVALID_HANDLE, nullptr},
    {"CreateDirectoryW", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"CreateEventA", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"CreateFileW", reinterpret_cast<Word>(INVALID_HANDLE_VALUE), ERROR_ACCESS_DENIED, nullptr},
    {"CreateMutexA", 0, ERROR_ACCESS_DENIED, nullptr},
    {"CreateThread", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"DeleteFileW", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"FlushFileBuffers", FALSE, ERROR_DISK_FULL, nullptr},
    {"FreeLibrary", FALSE, ERROR_INVALID_HANDLE, nullptr},
    {"GetFileSizeEx", FALSE, ERROR_INVALID_HANDLE, nullptr},
    {"GetModuleFileNameW", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"GetModuleHandle?", 0, ERROR_MOD_NOT_FOUND, nullptr},
    {"GetPrivateProfileStringW", 0, 0,
     "an unreadable file gives the default, not a failure value (ForeignSettingsFile)"},
    {"GetProcAddress", 0, ERROR_PROC_NOT_FOUND, nullptr},
    {"GetSystemDirectoryA", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"GlobalAlloc", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"GlobalFree", 0, 0, "fails only for a handle that is not one, answering that handle"},
    {"GlobalLock", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"GlobalUnlock", 0, ERROR_INVALID_HANDLE, nullptr},
    {"LoadLibraryExA", 0, ERROR_MOD_NOT_FOUND, nullptr},
    {"MoveFileExW", FALSE, ERROR_SHARING_VIOLATION, nullptr},
    {"SetDllDirectoryW", FALSE, ERROR_INVALID_PARAMETER, nullptr},
    {"SetDefaultDllDirectories", FALSE, ERROR_INVALID_PARAMETER, nullptr},
    {"AddDllDirectory", 0, ERROR_INVALID_PARAMETER, nullptr},
    {"SetEvent", FALSE, ERROR_INVALID_HANDLE, nullptr},
    {"SetFileAttributesW", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"WaitForSingleObject", WAIT_FAILED, ERROR_INVALID_HANDLE, nullptr},
    {"WritePrivateProfileStringW", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"lstrcpyn?", 0, 0, nullptr},
    {"GetFileAttributesW", INVALID_FILE_ATTRIBUTES, ERROR_ACCESS_DENIED, nullptr},
    {"GetTempFileNameW", 0, ERROR_ACCESS_DENIED, nullptr},
    {"GetDriveTypeW", DRIVE_UNKNOWN, 0, nullptr},
    {"CompareStringOrdinal", 0, ERROR_INVALID_PARAMETER, nullptr},
    {"ReadFile", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"WriteFile", FALSE, ERROR_DISK_FULL, nullptr},
    {"lstrlen?", 0, 0, kCannotFail},
    {"GetSystemDefaultLangID", 0, 0, kCannotFail},
    {"GetTickCount*", 0, 0, kCannotFail},
    {"Sleep", 0, 0, kCannotFail},
    {"GetLastError", 0, 0, kCannotFail},
    // shell32
    {"SHAppBarMessage", 0, 0, nullptr},
    {"SHGetFolderPathW", static_cast<Word>(E_FAIL), 0, nullptr},
    {"ShellExecuteW", SE_ERR_ACCESSDENIED, ERROR_ACCESS_DENIED, nullptr},
    {"Shell_NotifyIconW", FALSE, ERROR_TIMEOUT, nullptr},
    // user32
    {"AllowSetForegroundWindow", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"AppendMenuW", FALSE, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"BeginPaint", 0, 0, nullptr},
    {"CheckMenuItem", static_cast<DWORD>(-1), 0, nullptr},
    {"ClientToScreen", FALSE, 0, nullptr},
    {"ScreenToClient", FALSE, 0, nullptr},
    {"CloseClipboard", FALSE, ERROR_CLIPBOARD_NOT_OPEN, nullptr},
    {"EmptyClipboard", FALSE, ERROR_CLIPBOARD_NOT_OPEN, nullptr},
    {"OpenClipboard", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"SetClipboardData", 0, ERROR_CLIPBOARD_NOT_OPEN, nullptr},
    {"CopyIcon", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"CreateWindowExA", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"DestroyIcon", FALSE, ERROR_INVALID_HANDLE, nullptr},
    {"DestroyMenu", FALSE, ERROR_INVALID_HANDLE, nullptr},
    {"DestroyWindow", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"DialogBoxParamA", static_cast<Word>(-1), ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"DrawAnimatedRects", FALSE, 0, nullptr},
    {"DrawTextW", 0, 0, nullptr},
    {"EndDialog", FALSE, ERROR_INVALID_WINDOW_HANDLE, nullptr},
    {"EnumWindows", FALSE, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"FillRect", 0, 0, nullptr},
    {"FindWindow*", 0, ERROR_FILE_NOT_FOUND, nullptr},
    {"GetClientRect", FALSE, ERROR_INVALID_WINDOW_HANDLE, nullptr},
    {"GetWindowRect", FALSE, ERROR_INVALID_WINDOW_HANDLE, nullptr},
    {"GetCursorPos", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"GetDC", 0, 0, nullptr},
    {"GetWindow", 0, ERROR_INVALID_WINDOW_HANDLE, nullptr},
    {"ReleaseDC", 0, 0, nullptr},
    {"GetMessageA", static_cast<Word>(-1), ERROR_INVALID_WINDOW_HANDLE, nullptr},
    {"GetSubMenu", 0, 0, nullptr},
    {"GetSystemMetrics", 0, 0, nullptr},
    {"GetWindowLongPtrA", 0, ERROR_INVALID_WINDOW_HANDLE, nullptr},
    {"SetWindowLongPtrA", 0, ERROR_ACCESS_DENIED, nullptr},
    {"KillTimer", FALSE, ERROR_INVALID_PARAMETER, nullptr},
    {"SetTimer", 0, ERROR_NOT_ENOUGH_QUOTA, nullptr},
    {"Load*", 0, ERROR_RESOURCE_NAME_NOT_FOUND, nullptr},
    {"MessageBoxW", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"MoveWindow", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"SetWindowPos", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"PostMessageA", FALSE, ERROR_NOT_ENOUGH_QUOTA, nullptr},
    {"RedrawWindow", FALSE, 0, nullptr},
    {"UpdateWindow", FALSE, 0, nullptr},
    {"RegisterClassExA", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"RegisterHotKey", FALSE, ERROR_HOTKEY_ALREADY_REGISTERED, nullptr},
    {"UnregisterHotKey", FALSE, ERROR_HOTKEY_NOT_REGISTERED, nullptr},
    {"RegisterWindowMessageA", 0, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"SendMessageTimeoutA", 0, ERROR_TIMEOUT, nullptr},
    {"SetFocus", 0, ERROR_ACCESS_DENIED, nullptr},
    {"SetForegroundWindow", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"SetMenuItemInfoW", FALSE, ERROR_NOT_ENOUGH_MEMORY, nullptr},
    {"SystemParametersInfoA", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"TrackPopupMenu", FALSE, ERROR_ACCESS_DENIED, nullptr},
    {"TranslateAcceleratorA", 0, ERROR_INVALID_WINDOW_HANDLE, nullptr},
    {"DefWindowProcA", 0, 0, kAnswer},
    {"DispatchMessageA", 0, 0, kAnswer},
    {"Send*MessageA", 0, 0, kAnswer},
    {"PeekMessageA", 0, 0, "its 0 means no message waits: no failure value"},
    {"TranslateMessage", 0, 0, kAnswer},
    {"Get*KeyState", 0, 0, kAnswer},
    {"IsWindow", 0, 0, "a question: no failure value"},
    {"IsWindowVisible", 0, 0, "a question: no failure value"},
    {"SetCursor", 0, 0, "answers the previous cursor: no failure value"},
    {"ShowWindow", 0, 0, "answers the previous visibility: no failure value"},
    {"EndPaint", 0, 0, kCannotFail},
    {"PostQuitMessage", 0, 0, kCannotFail},
    // comdlg32 and GDI+, looked up at run time: GDI+ answers a status, the dialog FALSE.
    {"GetSaveFileNameW", FALSE, 0, nullptr},
    {"GdiplusShutdown", 0, 0, "returns nothing"},
    {"Gdip*", 3 /* OutOfMemory */, 0, nullptr},
    // dwmapi, looked up at run time, answers an HRESULT.
    {"Dwm*", static_cast<Word>(E_FAIL), 0, nullptr},
    // The rest of kernel32's imports come with the runtime.
    {"*CriticalSection", 0, 0, kRuntime},
    {"Tls*", 0, 0, kRuntime},
    {"Rtl*", 0, 0, kRuntime},
    {"*Vectored*", 0, 0, kRuntime},
    {"*Thread*", 0, 0, kRuntime},
    {"*Semaphore*", 0, 0, kRuntime},
    {"*Affinity*", 0, 0, kRuntime},
    {"GetCurrentProcess*", 0, 0, kRuntime},
    {"*Exception*", 0, 0, kRuntime},
    {"__C_specific_handler", 0, 0, kRuntime},
    {"Virtual*", 0, 0, kRuntime},
    {"*Handle*", 0, 0, kRuntime},
    {"GetStartupInfoA", 0, 0, kRuntime},
    {"GetSystemTimeAsFileTime", 0, 0, kRuntime},
    {"IsD*", 0, 0, kRuntime},
    {"OutputDebugStringA", 0, 0, kRuntime},
    {"MultiByteToWideChar", 0, 0, kRuntime},
    {"WideCharToMultiByte", 0, 0, kRuntime},
    {"OpenProcess", 0, 0, kRuntime},
    {"ResetEvent", 0, 0, kRuntime},
    {"WaitForMultipleObjects", 0, 0, kRuntime},
    {"SetLastError", 0, 0, kRuntime},
};

// '*' matches any run of characters, '?' one.
bool nameMatches(const char* pattern, const char* name) {
    if (*pattern == '*') {
        return nameMatches(pattern + 1, name) || (*name != '\0' && nameMatches(pattern, name + 1));
    }
    if (*name == '\0' || *pattern == '\0') {
        return *name == *pattern;
    }
    return (*pattern == '?' || *pattern == *name) && nameMatches(pattern + 1, name + 1);
}

const Failure* failureOf(const char* module, const char* name) {
    for (const Failure& failure : kTable) {
        if ((module != nullptr && lstrcmpiA(failure.name, module) == 0) ||
            nameMatches(failure.name, name)) {
            return &failure;
        }
    }
    return nullptr;
}

struct Rule {
    char name[64];
    long from = 1;
    long to = 0;  // 0: no end
    int argument = 0;
    bool windowClass = false;
    wchar_t text[MAX_PATH] = {};
    const Failure* failure = nullptr;
    volatile LONG calls = 0;
    volatile LONG reported = 0;
};

constexpr int kMaxRules = 16;
Rule rules[kMaxRules];
int ruleCount = 0;
wchar_t logPath[MAX_PATH] = {};

void writeLog(const char* first, const char* second, const char* third = "") {
    if (logPath[0] == L'\0') {
        return;
    }
    HANDLE file = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    char line[512];
    int length = wsprintfA(line, "%s %s %s\r\n", first, second, third);
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}

void logClass(const char* kind, const char* shown, const char* name, const char* module) {
    const Failure* failure = failureOf(module, name);
    char what[300] = "unknown: no failure value in the fault table";
    if (failure != nullptr) {
        wsprintfA(what, failure->skip != nullptr ? "skip: %s" : "fails", failure->skip);
    }
    writeLog(kind, shown, what);
}

bool endsWith(const wchar_t* text, const wchar_t* tail) {
    size_t length = wcslen(text);
    size_t tailLength = wcslen(tail);
    return length >= tailLength && lstrcmpiW(text + length - tailLength, tail) == 0;
}

bool argumentMatches(const Rule& rule, const Word* arguments) {
    if (rule.argument == 0) {
        return true;
    }
    Word value = arguments[rule.argument - 1];
    if (value == 0) {
        return false;
    }
    wchar_t text[MAX_PATH] = {};
    if (rule.windowClass) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the argument is a window handle
        auto* window = reinterpret_cast<HWND>(value);
        return IsWindow(window) && GetClassNameW(window, text, MAX_PATH) > 0 &&
               lstrcmpiW(text, rule.text) == 0;
    }
    if (value < 0x10000) {
        return false;  // an atom or a resource number
    }
    size_t nameLength = strlen(rule.name);
    if (rule.name[nameLength - 1] == 'W') {
        lstrcpynW(text, reinterpret_cast<const wchar_t*>(value), MAX_PATH);
    } else {
        MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(value), -1, text, MAX_PATH);
    }
    return endsWith(text, rule.text);
}

// Decides one call: true when it is to be refused.
bool refuses(Rule& rule, const Word* arguments) {
    if (!argumentMatches(rule, arguments)) {
        return false;
    }
    LONG call = InterlockedIncrement(&rule.calls);
    if (call < rule.from || (rule.to != 0 && call > rule.to)) {
        return false;
    }
    if (InterlockedExchange(&rule.reported, 1) == 0) {
        writeLog("refused", rule.name);
    }
    return true;
}

// One stub per slot. On x64 every argument travels in a 64-bit register or stack slot, so a
// stub that takes sixteen words and hands all of them on fits every signature the program
// imports (none passes a floating-point value or a structure by value).
struct Slot {
    Rule* rule;
    void* original;
};
constexpr int kSlots = 24;
Slot slots[kSlots];
int slotCount = 0;
using Forward = Word (*)(Word, Word, Word, Word, Word, Word, Word, Word, Word, Word, Word, Word,
                         Word, Word, Word, Word);

template <int N>
Word stub(Word a, Word b, Word c, Word d, Word e, Word f, Word g, Word h, Word i, Word j, Word k,
          Word l, Word m, Word n, Word o, Word p) {
    Slot& slot = slots[N];
    const Word arguments[] = {a, b, c, d, e, f, g, h, i, j, k, l, m, n, o, p};
    DWORD error = GetLastError();
    if (refuses(*slot.rule, arguments)) {
        if (slot.rule->failure->lastError != 0) {
            SetLastError(slot.rule->failure->lastError);
        }
        return slot.rule->failure->value;
    }
    SetLastError(error);
    return reinterpret_cast<Forward>(slot.original)(a, b, c, d, e, f, g, h, i, j, k, l, m, n, o, p);
}

template <int... N>
void* stubAt(int index, std::integer_sequence<int, N...>) {
    static void* const kStubs[] = {reinterpret_cast<void*>(&stub<N>)...};
    return kStubs[index];
}

// The replacement for a function, or original when no rule names it.
void* replacementFor(const char* name, void* original) {
    for (int r = 0; r < ruleCount; ++r) {
        if (strcmp(rules[r].name, name) != 0 || rules[r].failure == nullptr) {
            continue;
        }
        for (int s = 0; s < slotCount; ++s) {
            if (slots[s].rule == &rules[r] && slots[s].original == original) {
                return stubAt(s, std::make_integer_sequence<int, kSlots>());
            }
        }
        if (slotCount == kSlots) {
            return original;
        }
        slots[slotCount] = {&rules[r], original};
        return stubAt(slotCount++, std::make_integer_sequence<int, kSlots>());
    }
    return original;
}

FARPROC(WINAPI* realGetProcAddress)(HMODULE, LPCSTR) = nullptr;
CRITICAL_SECTION lookUps;

FARPROC WINAPI lookUp(HMODULE module, LPCSTR name) {
    FARPROC found = realGetProcAddress(module, name);
    if (found == nullptr || reinterpret_cast<Word>(name) < 0x10000) {
        return found;
    }
    EnterCriticalSection(&lookUps);
    logClass("resolve", name, name, nullptr);
    auto* replaced = replacementFor(name, reinterpret_cast<void*>(found));
    LeaveCriticalSection(&lookUps);
    return reinterpret_cast<FARPROC>(replaced);
}

void parseRule(const wchar_t* text, size_t length) {
    if (ruleCount == kMaxRules || length == 0) {
        return;
    }
    Rule& rule = rules[ruleCount];
    size_t i = 0;
    for (; i < length && i < sizeof(rule.name) - 1 && text[i] != L'#' && text[i] != L'@'; ++i) {
        rule.name[i] = static_cast<char>(text[i]);
    }
    if (i < length && text[i] == L'#') {
        wchar_t* end = nullptr;
        rule.from = wcstol(text + i + 1, &end, 10);
        rule.to = rule.from;
        if (*end == L'-') {
            rule.to = wcstol(end + 1, &end, 10);
        }
        i = static_cast<size_t>(end - text);
    }
    if (i < length && text[i] == L'@') {
        wchar_t* end = nullptr;
        rule.argument = static_cast<int>(wcstol(text + i + 1, &end, 10));
        rule.windowClass = *end == L'~';
        size_t start = static_cast<size_t>(end - text) + 1;
        if (start < length && length - start < MAX_PATH) {
            lstrcpynW(rule.text, text + start, static_cast<int>(length - start + 1));
        }
    }
    rule.failure = failureOf(nullptr, rule.name);
    ++ruleCount;
}

void readRules() {
    static wchar_t text[4096];
    if (GetEnvironmentVariableW(L"VISTREL_FAULTS", text, 4096) == 0) {
        text[0] = L'\0';
    }
    for (const wchar_t* rule = text; *rule != L'\0';) {
        const wchar_t* end = wcschr(rule, L';');
        size_t length = end != nullptr ? static_cast<size_t>(end - rule) : wcslen(rule);
        parseRule(rule, length);
        rule += length + (end != nullptr ? 1 : 0);
    }
    if (GetEnvironmentVariableW(L"VISTREL_FAULTS_LOG", logPath, MAX_PATH) >= MAX_PATH) {
        logPath[0] = L'\0';
    }
}

// Walks the import descriptors of the program's own image and rewrites the entries.
void rewriteImports() {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return;
    }
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         module->Name != 0; ++module) {
        const char* moduleName = reinterpret_cast<const char*>(base + module->Name);
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++entries) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const char* name =
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            char qualified[200];
            wsprintfA(qualified, "%s!%s", moduleName, name);
            logClass("import", qualified, name, moduleName);
            // NOLINTNEXTLINE(performance-no-int-to-ptr): an import entry holds an address
            void* original = reinterpret_cast<void*>(entries->u1.Function);
            void* replacement = original;
            if (strcmp(name, "GetProcAddress") == 0) {
                realGetProcAddress = reinterpret_cast<decltype(realGetProcAddress)>(original);
                replacement = reinterpret_cast<void*>(&lookUp);
            }
            replacement = replacementFor(name, replacement);
            if (replacement == original) {
                continue;
            }
            DWORD protection = 0;
            if (VirtualProtect(&entries->u1.Function, sizeof(Word), PAGE_READWRITE, &protection)) {
                entries->u1.Function = reinterpret_cast<Word>(replacement);
                VirtualProtect(&entries->u1.Function, sizeof(Word), protection, &protection);
            }
        }
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        InitializeCriticalSection(&lookUps);
        readRules();
        rewriteImports();
    }
    return TRUE;
}
