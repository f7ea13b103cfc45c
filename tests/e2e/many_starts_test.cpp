// Two or twenty starts of the program at once, as a double click, an impatient user or a script
// makes them: created suspended by this one process, then let go together.
#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "resources/commands.h"
#include "resources/window_classes.h"
#include "tests/support/e2e.h"
#include "tests/support/tray.h"

namespace {

using e2e::Program;

// Every "section/key=value" line of the settings file.
std::set<std::string> settingsEntries(const std::string& iniPath) {
    const std::wstring path = e2e::widen(iniPath);
    std::set<std::string> entries;
    std::vector<WCHAR> sections(32768);
    GetPrivateProfileSectionNamesW(sections.data(), static_cast<DWORD>(sections.size()),
                                   path.c_str());
    for (const WCHAR* section = sections.data(); *section != L'\0';
         section += wcslen(section) + 1) {
        std::vector<WCHAR> lines(32768);
        GetPrivateProfileSectionW(section, lines.data(), static_cast<DWORD>(lines.size()),
                                  path.c_str());
        for (const WCHAR* line = lines.data(); *line != L'\0'; line += wcslen(line) + 1) {
            entries.insert(e2e::narrow(section) + "/" + e2e::narrow(line));
        }
    }
    return entries;
}

class Starts {
  public:
    explicit Starts(const Program& program) : program_(program) {}
    ~Starts() {
        for (PROCESS_INFORMATION& started : processes_) {
            TerminateProcess(started.hProcess, 1);
            WaitForSingleObject(started.hProcess, 10000);
            CloseHandle(started.hThread);
            CloseHandle(started.hProcess);
        }
    }
    Starts(const Starts&) = delete;
    Starts& operator=(const Starts&) = delete;

    bool startSuspended(int count) {
        const std::wstring exe = e2e::widen(program_.exePath());
        const std::wstring folder = e2e::widen(program_.folder());
        for (int i = 0; i < count; ++i) {
            std::wstring line = L"\"" + exe + L"\"";
            STARTUPINFOW startup = {};
            startup.cb = sizeof(startup);
            PROCESS_INFORMATION started = {};
            if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                nullptr, folder.c_str(), &startup, &started)) {
                return false;
            }
            processes_.push_back(started);
        }
        return true;
    }
    void resumeAll() {
        for (PROCESS_INFORMATION& started : processes_) {
            ResumeThread(started.hThread);
        }
    }
    std::vector<DWORD> running() const {
        std::vector<DWORD> ids;
        for (const PROCESS_INFORMATION& started : processes_) {
            if (WaitForSingleObject(started.hProcess, 0) == WAIT_TIMEOUT) {
                ids.push_back(started.dwProcessId);
            }
        }
        return ids;
    }
    std::vector<DWORD> exitCodes() const {
        std::vector<DWORD> codes;
        for (const PROCESS_INFORMATION& started : processes_) {
            DWORD code = 0;
            if (GetExitCodeProcess(started.hProcess, &code) && code != STILL_ACTIVE) {
                codes.push_back(code);
            }
        }
        return codes;
    }

  private:
    const Program& program_;
    std::vector<PROCESS_INFORMATION> processes_;
};

int mainWindowCount() {
    int count = 0;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, kMainWindowClass, nullptr)) != nullptr) {
        ++count;
    }
    return count;
}

// Rounds of each, each on a fresh settings file: a race among processes reading and writing
// one profile file loses values only now and then, and a wake sent before the first start has
// its main window only in some rounds; the soak runs five.
class StartsAtOnce : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(StartsAtOnce, LeaveOneInstanceWithOneIconItsZoomWindowShownAndEverySettingAsItWas) {
    const int count = std::get<0>(GetParam());
    Program program;
    program.writeSetting("lng", "0");  // German, unlike the system: a lost read would show
    program.writeSetting("use_hk", "1");
    program.writeSetting("hk_vkey", "90");
    program.writeSetting("hk_key", "2");
    WritePrivateProfileStringW(L"Notes", L"kept", L"by the user",
                               e2e::widen(program.iniPath()).c_str());
    // The view keys are missing, so the starts write while others read.
    const std::set<std::string> before = settingsEntries(program.iniPath());
    ASSERT_EQ(before.size(), 5u);

    Starts starts(program);
    ASSERT_TRUE(starts.startSuspended(count));
    starts.resumeAll();
    ASSERT_TRUE(e2e::waitUntil([&] { return starts.running().size() <= 1; }, 120000));
    e2e::pumpFor(1000);
    const std::vector<DWORD> survivors = starts.running();
    ASSERT_EQ(survivors.size(), 1u);
    EXPECT_EQ(starts.exitCodes(), std::vector<DWORD>(count - 1, EXIT_CODE_SECOND_START));

    HWND main = e2e::findWindowOf(survivors[0], kMainWindowClass);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(mainWindowCount(), 1);
    EXPECT_TRUE(e2e::waitUntil(
        [&] {
            return e2e::trayIconWindows().size() == 1 && e2e::trayIconPresent(main, TRAY_ICON_ID);
        },
        10000))
        << e2e::trayIconWindows().size() << " icons";
    EXPECT_TRUE(e2e::waitUntil(
        [&] { return IsWindowVisible(e2e::findWindowOf(survivors[0], kZoomWindowClass)); }, 10000));

    const std::set<std::string> after = settingsEntries(program.iniPath());
    for (const std::string& entry : before) {
        EXPECT_EQ(after.count(entry), 1u) << entry;
    }
}

INSTANTIATE_TEST_SUITE_P(Rounds, StartsAtOnce,
                         ::testing::Combine(::testing::Values(2, 20),
                                            ::testing::Range(0, e2e::soakOr(1, 5))));

}  // namespace
