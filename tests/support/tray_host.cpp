#include "tests/support/tray_host.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <cwchar>
#include <cstring>

#include "tests/support/e2e.h"

namespace e2e {

namespace {

const char kTrayClass[] = "Shell_TrayWnd";

struct RunContext {
    HDESK desktop;
    const std::function<void()>* work;
};

DWORD WINAPI runOnDesktop(LPVOID parameter) {
    auto* context = static_cast<RunContext*>(parameter);
    // A thread can change its desktop only before it makes windows or hooks: this one is new.
    if (SetThreadDesktop(context->desktop)) {
        (*context->work)();
    }
    return 0;
}

bool isExplorer(DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool found = false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry)) {
        found = entry.th32ProcessID == processId && lstrcmpiA(entry.szExeFile, "explorer.exe") == 0;
    }
    CloseHandle(snapshot);
    return found;
}

}  // namespace

TrayDesktop::TrayDesktop() {
    static unsigned counter = 0;
    wchar_t name[64];
    swprintf(name, 64, L"vistrel-tray-%lu-%u", GetCurrentProcessId(), counter++);
    desktop_ = CreateDesktopW(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
}

TrayDesktop::~TrayDesktop() {
    if (desktop_ != nullptr) {
        CloseDesktop(desktop_);
    }
}

bool TrayDesktop::run(const std::function<void()>& work, DWORD timeoutMs) {
    if (desktop_ == nullptr) {
        return false;
    }
    RunContext context{desktop_, &work};
    HANDLE thread = CreateThread(nullptr, 0, runOnDesktop, &context, 0, nullptr);
    if (thread == nullptr) {
        return false;
    }
    const bool ended = WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0;
    if (!ended) {
        // The work still refers to the caller's objects: it must not run on past them.
        TerminateThread(thread, 1);
    }
    CloseHandle(thread);
    return ended;
}

DWORD trayHostProcessId() {
    HWND tray = FindWindowA(kTrayClass, nullptr);
    DWORD processId = 0;
    if (tray != nullptr) {
        GetWindowThreadProcessId(tray, &processId);
    }
    return processId;
}

bool endTrayHost(DWORD processId, DWORD timeoutMs) {
    if (processId == 0 || processId == GetCurrentProcessId() || !isExplorer(processId)) {
        return false;
    }
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
    if (process == nullptr) {
        return false;
    }
    const bool ended = TerminateProcess(process, 1) != 0;
    CloseHandle(process);
    return ended &&
           waitUntil([] { return FindWindowA(kTrayClass, nullptr) == nullptr; }, timeoutMs);
}

StandInTrayHost::StandInTrayHost() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kTrayClass;
    RegisterClassA(&windowClass);  // fails harmlessly when an earlier host registered it
    window_ = CreateWindowExA(0, kTrayClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleA(nullptr), this);
}

StandInTrayHost::~StandInTrayHost() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

size_t StandInTrayHost::iconsOf(HWND owner) const {
    size_t count = 0;
    for (const auto& icon : icons_) {
        count += icon.first == HandleToLong(owner) ? 1 : 0;
    }
    return count;
}

LRESULT CALLBACK StandInTrayHost::windowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<StandInTrayHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_COPYDATA && host != nullptr && lParam != 0) {
        return host->onCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT StandInTrayHost::onCopyData(const COPYDATASTRUCT& data) {
    if (data.cbData < sizeof(LONG) + sizeof(UINT) || data.lpData == nullptr) {
        return FALSE;
    }
    LONG owner = 0;
    UINT id = 0;
    memcpy(&owner, data.lpData, sizeof(owner));
    memcpy(&id, static_cast<const char*>(data.lpData) + sizeof(owner), sizeof(id));
    const auto icon = std::make_pair(owner, id);
    if (hangUntil_ != nullptr) {
        hangThen_(static_cast<HWND>(LongToHandle(owner)));
        const HANDLE until = std::exchange(hangUntil_, nullptr);
        hangEndedBySignal_ = WaitForSingleObject(until, hangMs_) == WAIT_OBJECT_0;
        hung_ = true;
    }
    switch (data.dwData) {
        case NIM_ADD: {
            addsAfterHang_ += hung_ ? 1 : 0;
            const bool added = icons_.insert(icon).second;
            if (added && messageAtNextAdd_ != 0) {
                const UINT message = messageAtNextAdd_;
                messageAtNextAdd_ = 0;
                DWORD_PTR reply = 0;
                SendMessageTimeoutA(static_cast<HWND>(LongToHandle(owner)), message, 0, 0,
                                    SMTO_NORMAL, 10000, &reply);
            }
            return added;
        }
        case NIM_DELETE:
            return icons_.erase(icon) != 0;
        case NIM_MODIFY:
        case NIM_SETFOCUS:
        case NIM_SETVERSION:
            return icons_.count(icon) != 0;
        default:
            return FALSE;
    }
}

}  // namespace e2e
