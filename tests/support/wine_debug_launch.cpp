#include "tests/support/wine_debug_launch.h"

#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/support/e2e.h"

namespace e2e {

std::string unixPathOf(const std::string& windowsPath) {
    // Exported by Wine's kernel32 only; looked up by name at each use.
    using ToUnixPath = char*(CDECL*)(const WCHAR*);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto toUnix = reinterpret_cast<ToUnixPath>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")));
    if (toUnix == nullptr) {
        return std::string();
    }
    char* unixPath = toUnix(widen(windowsPath).c_str());
    if (unixPath == nullptr) {
        return std::string();
    }
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

namespace {

bool hasQuote(const std::string& text) {
    return text.find_first_of("'\"") != std::string::npos;
}

// The id of a process running exePath, or 0.
DWORD findProcessOf(const std::string& exePath) {
    const char* slash = strrchr(exePath.c_str(), '\\');
    const char* name = slash != nullptr ? slash + 1 : exePath.c_str();
    DWORD found = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more && found == 0;
         more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, name) != 0) {
            continue;
        }
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (process == nullptr) {
            continue;
        }
        char image[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        if (QueryFullProcessImageNameA(process, 0, image, &length) &&
            lstrcmpiA(image, exePath.c_str()) == 0) {
            found = entry.th32ProcessID;
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return found;
}

// The Windows command line becomes the shell's argument vector: single quotes only inside,
// as backslashes and double quotes follow the Windows splitting rules.
bool startUnixShell(const std::string& script) {
    std::string command = "/bin/sh -c \"" + script + "\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION shell = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &shell)) {
        return false;
    }
    // A Unix program gets no Windows process: these are empty, or to be closed when not.
    if (shell.hThread != nullptr) {
        CloseHandle(shell.hThread);
    }
    if (shell.hProcess != nullptr) {
        CloseHandle(shell.hProcess);
    }
    return true;
}

}  // namespace

bool startWithUnixStderr(const std::string& exePath, const std::string& arguments,
                         const std::string& environment, const std::string& stderrPath,
                         PROCESS_INFORMATION* started, DWORD timeoutMs) {
    *started = {};
    const std::string unixLog = unixPathOf(stderrPath);
    if (unixLog.empty() || hasQuote(exePath) || hasQuote(arguments) || hasQuote(environment) ||
        hasQuote(unixLog) || findProcessOf(exePath) != 0) {
        return false;
    }
    if (!startUnixShell(environment + " exec ${WINE:-/usr/lib/wine/wine64} '" + exePath + "' " +
                        arguments + " </dev/null >/dev/null 2>'" + unixLog + "'")) {
        return false;
    }
    DWORD id = 0;
    waitUntil(
        [&] {
            id = findProcessOf(exePath);
            return id != 0;
        },
        timeoutMs);
    if (id == 0) {
        return false;
    }
    started->hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, id);
    started->dwProcessId = id;
    return started->hProcess != nullptr;
}

int runUnixShell(const std::string& command, DWORD timeoutMs) {
    // Without a Windows process to wait for, the status arrives in a file that is renamed
    // into place once complete.
    const std::string folder = makeTempFolder("shell");
    const std::wstring statusFile = widen(folder + "\\status");
    const std::string status = unixPathOf(folder + "\\status");
    int result = -1;
    if (!folder.empty() && !status.empty() && !hasQuote(status) &&
        command.find('"') == std::string::npos &&
        startUnixShell("(" + command + ") </dev/null >/dev/null 2>&1; echo $? >'" + status +
                       ".part' && mv '" + status + ".part' '" + status + "'") &&
        waitUntil([&] { return GetFileAttributesW(statusFile.c_str()) != INVALID_FILE_ATTRIBUTES; },
                  timeoutMs)) {
        HANDLE file = CreateFileW(statusFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        char text[16] = {};
        DWORD read = 0;
        if (file != INVALID_HANDLE_VALUE) {
            if (ReadFile(file, text, sizeof(text) - 1, &read, nullptr) && read > 0) {
                result = atoi(text);
            }
            CloseHandle(file);
        }
    }
    removeFolder(folder);
    return result;
}

}  // namespace e2e
