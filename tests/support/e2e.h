// End-to-end harness: drives the real vistrel.exe from outside, as a user would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Paths in the harness are UTF-8 and reach the system through the W functions, so a test can
// use folders named in any script. Plain ASCII paths work with the A functions as well.
std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& wide);

// The folder of the running test program; vistrel.exe is built beside it.
std::string testProgramFolder();
std::string builtVistrelPath();

// A fresh, empty folder under the temporary folder, and its removal with all it holds.
std::string makeTempFolder(const char* tag);
// A new folder nameUtf8 inside parent; the empty text when it could not be made.
std::string makeSubfolder(const std::string& parent, const std::string& nameUtf8);
void removeFolder(const std::string& folder);
// The names (UTF-8) of what a folder holds, sorted, without "." and "..".
std::vector<std::string> folderEntries(const std::string& folder);

// A name in several scripts outside every ANSI code page, which the A functions would see as
// "?": Polish, Russian and Chinese letters.
extern const char kAnyScriptName[];

// A fresh temporary folder and in it one named kAnyScriptName (path() is the inner one, the
// empty text when it could not be made); both go with the object.
class AnyScriptFolder {
  public:
    explicit AnyScriptFolder(const char* tag);
    ~AnyScriptFolder() { removeFolder(base_); }
    AnyScriptFolder(const AnyScriptFolder&) = delete;
    AnyScriptFolder& operator=(const AnyScriptFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string base_;
    std::string path_;
};

// Where the program keeps its settings when the file beside it cannot be had or written.
std::wstring userSettingsPath();

// The length of a long case: soak under VISTREL_SOAK=1 (scripts/soak), quick otherwise. The
// counters such a case reads are exact, so a few cycles already show a leak of one per cycle.
int soakOr(int quick, int soak);

// Polls until the condition holds or the time is up; pumps this thread's messages meanwhile.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs = 20);
void pumpFor(DWORD milliseconds);

std::vector<HWND> topLevelWindowsOf(DWORD processId);
HWND findWindowOf(DWORD processId, const char* className);
bool isTopmost(HWND window);
RECT windowRect(HWND window);
// Any visible top-level window of the process.
bool hasVisibleWindow(DWORD processId);
// Registers a window class of this test program; false when it could not be (again, say).
bool registerTestClass(const char* name, WNDPROC procedure);
// A window's title or control text, as the A functions give it (up to 511 bytes).
std::string windowText(HWND window);
// The text of a message box, as UTF-16: that of its last Static control with any text (the
// icon's has none).
std::wstring messageBoxText(HWND box);

// Keys through SendInput, seen by GetAsyncKeyState in every process until released.
void keyDown(WORD virtualKey);
void keyUp(WORD virtualKey);
void tapKey(WORD virtualKey);

// One copy of vistrel.exe in its own temporary folder, so each test owns its settings file.
class Program {
  public:
    Program();
    explicit Program(const std::string& folder);  // a copy in a folder the test chose
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    const std::string& folder() const { return folder_; }
    const std::string& exePath() const { return exePath_; }
    std::string iniPath() const;

    // The process starts with the test's environment plus extraEnvironment ("NAME=value"
    // entries, each ending in a zero, the last followed by a second zero), when given.
    bool start(const char* arguments = "", const char* extraEnvironment = nullptr);
    // Starts it with the fault library (tests/support/faults) loaded before its first line
    // runs, refusing calls as the rules (UTF-8, see fault_library.cpp) say; false when the
    // library could not be loaded (the process is ended then).
    bool startWithFaults(const std::string& rules, const char* arguments = "");
    // Starts it with Wine's debug channels set to wineDebug, and the extra environment (NAME=value
    // words), Wine's own diagnostics written to stderrPath (see wine_debug_launch.h); no thread
    // handle is held then.
    bool startWithWineDebug(const char* wineDebug, const std::string& stderrPath,
                            const std::string& environment = "");
    // Starts it from a Unix shell under the extra environment (NAME=value words, see
    // wine_debug_launch.h), Wine's diagnostics going to wine-stderr.txt in its folder: Wine
    // takes a process's code page from the locale variables it starts with, and a child of
    // CreateProcess gets the parent's whatever environment it is given.
    bool startWithEnvironment(const std::string& environment);
    // The main window (class "Vistrel") of this process once its creation is through, or
    // null when the time is up.
    HWND waitForMainWindow(DWORD timeoutMs = 10000);
    HWND mainWindow() const;
    HWND zoomWindow() const;
    bool running() const;
    // The full exit code once the process has ended; false when it still runs.
    bool waitForExit(DWORD timeoutMs, DWORD* exitCode);
    // Posts the exit command and waits up to 10 s for the end: false when either fails.
    bool exitByCommand(DWORD* exitCode);
    void kill();
    DWORD processId() const { return processInfo_.dwProcessId; }
    HANDLE process() const { return processInfo_.hProcess; }

    // The settings file ("Program" section): the text of a key, or the empty text with
    // *present false when it is missing.
    std::string readSettingText(const char* key, bool* present = nullptr) const;
    int readSetting(const char* key, int fallback) const;
    void writeSetting(const char* key, const char* value) const;
    // The stored view as "cx cy zoom", each the empty text when missing.
    std::string storedView() const;
    // The hotkey as the dialog stores it: use flag, virtual key and modifier flags.
    void storeHotkey(const char* use, const char* key, const char* modifiers) const;
    bool settingsFileExists() const;
    DWORD settingsFileAttributes() const;

    // Posts a marker behind whatever the test has sent the program so far and returns once its
    // effect shows: every message posted to the program's window thread before it has then
    // been handled, so a check for what must not have happened can no longer look too early.
    // The marker changes the stored zoom. False when its effect did not show within 10 s.
    bool handledAllPosted() const;
    // Posts WM_COMMAND with the command id to the main window.
    bool postCommand(int command) const;
    bool postTrayNotify(LPARAM mouseMessage) const;

  private:
    bool launch(const char* arguments, const char* extraEnvironment, DWORD flags);
    std::string folder_;
    std::string exePath_;
    bool ownsFolder_ = false;
    PROCESS_INFORMATION processInfo_ = {};
};

}  // namespace e2e
