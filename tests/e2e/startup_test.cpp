#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "resources/commands.h"
#include "tests/support/e2e.h"
#include "tests/support/focus_watch.h"
#include "tests/support/gdiplus_files.h"
#include "tests/support/wine_debug_launch.h"
#include "tests/support/zoom_view.h"

namespace {

using e2e::Program;

// Where the program keeps its settings when its folder cannot take a file.
std::wstring userSettingsPath() {
    const wchar_t* folder = _wgetenv(L"LOCALAPPDATA");
    return std::wstring(folder != nullptr ? folder : L"?") + L"\\Vistrel\\vistrel.ini";
}

class Startup : public ::testing::TestWithParam<const char*> {};

TEST_P(Startup, ShowsNoWindowActivatesNoneAndKeepsTheHiddenMainWindow) {
    e2e::FocusWatch watch;
    ASSERT_TRUE(watch.valid());
    Program program;
    ASSERT_TRUE(program.start(GetParam()));
    HWND main = program.waitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(program.handledAllPosted());
    EXPECT_EQ(watch.deactivations(), 0);
    EXPECT_TRUE(program.running());
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_FALSE(e2e::hasVisibleWindow(program.processId()));
    char title[100] = {};
    GetWindowTextA(main, title, sizeof(title));
    EXPECT_STREQ(title, "Vistrel");
}

INSTANTIATE_TEST_SUITE_P(CommandLines, Startup, ::testing::Values("", " -bg", " --whatever x"));

TEST(SettingsFile, IsCreatedHiddenOnFirstStartAndItsAttributesLeftAloneLater) {
    Program program;
    ASSERT_FALSE(program.settingsFileExists());
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    ASSERT_TRUE(program.settingsFileExists());
    EXPECT_EQ(program.settingsFileAttributes() & FILE_ATTRIBUTE_HIDDEN,
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    // Nothing but the language may have been stored at start.
    bool present = false;
    program.readSettingText("cx", &present);
    EXPECT_FALSE(present);
    program.kill();

    SetFileAttributesA(program.iniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    EXPECT_EQ(program.settingsFileAttributes() & FILE_ATTRIBUTE_HIDDEN, 0u);
}

struct ExitCase {
    const char* cx;  // stored before the start; null: nothing stored
    const char* cy;
    const char* zoom;
    const char* storedView;  // after the exit
};

class Exit : public ::testing::TestWithParam<ExitCase> {};

TEST_P(Exit, CommandEndsWithCodeZeroAndWritesTheViewSettingsItRanWith) {
    const ExitCase& c = GetParam();
    Program program;
    if (c.cx != nullptr) {
        program.writeSetting("cx", c.cx);
        program.writeSetting("cy", c.cy);
        program.writeSetting("zoom", c.zoom);
    }
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    DWORD code = 1234;
    ASSERT_TRUE(program.exitByCommand(&code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(program.storedView(), c.storedView);
}

INSTANTIATE_TEST_SUITE_P(StoredViews, Exit,
                         ::testing::Values(ExitCase{nullptr, nullptr, nullptr, "700 300 2"},
                                           ExitCase{"800", "250", "5", "800 250 5"}));

FILETIME lastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(e2e::widen(path).c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// A copy started from another folder (a download, say) only wakes the running instance, whose
// zoom window alone takes the foreground (its autostart entry: autostart_test). The right to
// the foreground is handed on before the wake: Wine does not enforce it, so the relay trace
// shows the order.
TEST(SecondStart, FromAnotherFolderWakesTheRunningInstanceAndChangesNothingElse) {
    Program first;
    first.writeSetting("lng", "1");
    first.writeSetting("cx", "700");  // what the activation stores, so it writes nothing
    first.writeSetting("cy", "300");
    first.writeSetting("zoom", "2");
    ASSERT_TRUE(first.start());
    ASSERT_NE(first.waitForMainWindow(), nullptr);
    const std::vector<uint8_t> settings = e2e::readFileBytes(first.iniPath());
    const FILETIME written = lastWriteTime(first.iniPath());
    e2e::FocusWatch watch;
    ASSERT_TRUE(watch.valid());

    Program second;
    const std::string trace = second.folder() + "\\relay.txt";
    ASSERT_TRUE(second.startWithWineDebug("+relay", trace));
    DWORD code = 0;
    ASSERT_TRUE(second.waitForExit(60000, &code));
    EXPECT_EQ(code, static_cast<DWORD>(EXIT_CODE_SECOND_START));
    EXPECT_TRUE(e2e::waitUntil([&] { return GetForegroundWindow() == first.zoomWindow(); }, 5000));
    const std::vector<uint8_t> bytes = e2e::readFileBytes(trace);
    const std::string calls(bytes.begin(), bytes.end());
    auto at = [&](const char* call) { return calls.find(std::string(":Call user32.") + call); };
    EXPECT_LT(at("AllowSetForegroundWindow("), at("SendMessageTimeoutA("));
    // To the running instance's process alone (relay shows the register: the low 32 bits).
    const std::string grantCall = ":Call user32.AllowSetForegroundWindow(";
    const size_t grant = calls.find(grantCall);
    EXPECT_EQ(grant == std::string::npos
                  ? 0
                  : strtoull(calls.c_str() + grant + grantCall.size(), nullptr, 16) & 0xFFFFFFFFu,
              first.processId());
    EXPECT_EQ(at("CreateWindowExA("), std::string::npos);
    EXPECT_EQ(calls.find("Shell_NotifyIcon"), std::string::npos);

    EXPECT_FALSE(second.settingsFileExists());
    EXPECT_EQ(e2e::readFileBytes(first.iniPath()), settings);
    const FILETIME now = lastWriteTime(first.iniPath());
    EXPECT_EQ(CompareFileTime(&written, &now), 0);
    // Whatever the wake set off is handled before the marker: no late second activation.
    ASSERT_TRUE(first.handledAllPosted());
    EXPECT_EQ(watch.deactivations(), 1);
    EXPECT_EQ(first.mainWindow(), FindWindowA("Vistrel", nullptr));
    EXPECT_EQ(FindWindowExA(nullptr, first.mainWindow(), "Vistrel", nullptr), nullptr);
}

TEST(SecondStart, TheRunningInstanceAnswersTheWakeMessage) {
    Program first;
    ASSERT_TRUE(first.start());
    HWND main = first.waitForMainWindow();
    ASSERT_NE(main, nullptr);
    UINT wake = RegisterWindowMessageA("Vistrel");
    DWORD_PTR reply = 0;
    ASSERT_NE(SendMessageTimeoutA(main, wake, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 10000, &reply),
              0);
    EXPECT_EQ(reply, wake);
}

TEST(SettingsFile, ReadOnlyFileLeavesTheProgramRunningOnItsDefaults) {
    Program program;
    program.writeSetting("cx", "900");
    SetFileAttributesA(program.iniPath().c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    DWORD code = 1234;
    ASSERT_TRUE(program.exitByCommand(&code));
    EXPECT_EQ(code, 0u);
    // The stored width was read. Where the attribute refuses writes (Windows; Wine running as
    // root ignores it) the run's writes went to the user's own file, made from this one.
    EXPECT_EQ(program.readSettingText("cx"), "900");
    SetFileAttributesA(program.iniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(userSettingsPath().c_str());
}

// Folders named outside the system's code page reach the file system only through the W
// functions.
TEST(SettingsFile, InAFolderNamedInAnyScriptIsCreatedHiddenWrittenAndRead) {
    e2e::AnyScriptFolder folder("scripts");
    ASSERT_FALSE(folder.path().empty());
    Program program(folder.path());
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    ASSERT_TRUE(program.settingsFileExists());
    EXPECT_EQ(program.settingsFileAttributes() & FILE_ATTRIBUTE_HIDDEN,
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    DWORD code = 1234;
    ASSERT_TRUE(program.exitByCommand(&code));
    EXPECT_EQ(program.storedView(), "700 300 2");

    // A stored Ctrl+Z is read back and works.
    program.storeHotkey("1", "90", "2");
    ASSERT_TRUE(e2e::moveCursorTo(800, 500));
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    e2e::HeldKeys keys;
    keys.pressChord(VK_CONTROL, 'Z');
    EXPECT_NE(e2e::waitForZoomWindowAt(program, e2e::centredRect(800, 500, 700, 300), 5000),
              nullptr);
}

// As a sync or backup tool may hold it at logon: values that could not be read must not be
// replaced by the defaults later in the run.
TEST(SettingsFile, HeldWithoutSharingAtStartIsLeftByteForByteForTheWholeRun) {
    Program program;
    program.writeSetting("cx", "640");
    program.writeSetting("cy", "200");
    program.writeSetting("zoom", "4");
    const std::vector<uint8_t> before = e2e::readFileBytes(program.iniPath());
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(e2e::moveCursorTo(960, 540));
    HANDLE held = CreateFileW(e2e::widen(program.iniPath()).c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    HWND main = program.start() ? program.waitForMainWindow() : nullptr;
    CloseHandle(held);
    ASSERT_NE(main, nullptr);

    // The defaults, not the stored size; then size, zoom, a second activation and exit.
    program.postCommand(CMD_MAGNIFY);
    HWND zoom = e2e::waitForZoomWindowAt(program, e2e::centredRect(960, 540, 700, 300));
    ASSERT_NE(zoom, nullptr);
    EXPECT_TRUE(e2e::sendKeyDown(zoom, VK_RIGHT));
    EXPECT_TRUE(e2e::sendKeyDown(zoom, '3'));
    EXPECT_TRUE(e2e::sendKeyDown(zoom, VK_ESCAPE));
    program.postCommand(CMD_MAGNIFY);
    EXPECT_NE(e2e::waitForZoomWindowAt(program, e2e::centredRect(960, 540, 720, 300)), nullptr);
    DWORD code = 1234;
    ASSERT_TRUE(program.exitByCommand(&code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(e2e::readFileBytes(program.iniPath()), before);
    EXPECT_EQ(GetFileAttributesW(userSettingsPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

// As Program Files is for a standard user, also with a settings file moved there: the runs'
// changes go to the user's own file, made from that file, and stay there once the folder takes
// writes again; the file beside the program stays as it was (or none is made).
class ReadOnlyFolder : public ::testing::TestWithParam<const char*> {};

TEST_P(ReadOnlyFolder, KeepsTheChangesInTheUsersOwnFileAlsoOnceTheFolderTakesWritesAgain) {
    Program program;
    struct Undone {  // whatever the outcome
        std::string folder;
        ~Undone() {
            e2e::runUnixShell("umount '" + folder + "'");
            DeleteFileW(userSettingsPath().c_str());
            RemoveDirectoryW(userSettingsPath().substr(0, userSettingsPath().rfind(L'\\')).c_str());
        }
    } mount{e2e::unixPathOf(program.folder())};
    const std::string& folder = mount.folder;
    DeleteFileW(userSettingsPath().c_str());
    int width = 700;
    if (GetParam() != nullptr) {
        program.writeSetting("cx", GetParam());
        width = atoi(GetParam());
    }
    const std::vector<uint8_t> beside = e2e::readFileBytes(program.iniPath());
    if (e2e::runUnixShell("mount --bind '" + folder + "' '" + folder +
                          "' && mount -o remount,bind,ro '" + folder + "'") != 0) {
        GTEST_SKIP() << "no read-only folder to test with: a read-only bind mount needs root";
    }
    DWORD code = 1234;
    // The width each run leaves is the next one's; the third runs with the folder writable.
    for (int run = 0; run < 3; ++run, width += 20) {
        ASSERT_TRUE(run != 2 || e2e::runUnixShell("umount '" + folder + "'") == 0);
        ASSERT_TRUE(e2e::moveCursorTo(960, 540));
        ASSERT_TRUE(program.start());
        ASSERT_NE(program.waitForMainWindow(), nullptr);
        ASSERT_TRUE(program.postCommand(CMD_MAGNIFY));
        HWND zoom = e2e::waitForZoomWindowAt(program, e2e::centredRect(960, 540, width, 300));
        ASSERT_NE(zoom, nullptr) << width;
        EXPECT_TRUE(e2e::sendKeyDown(zoom, VK_RIGHT));
        ASSERT_TRUE(program.exitByCommand(&code));
    }
    EXPECT_EQ(e2e::readFileBytes(program.iniPath()), beside);
    EXPECT_EQ(program.settingsFileExists(), GetParam() != nullptr);
    EXPECT_EQ(GetPrivateProfileIntW(L"Program", L"cx", 0, userSettingsPath().c_str()),
              static_cast<UINT>(width));
}

INSTANTIATE_TEST_SUITE_P(StoredWidths, ReadOnlyFolder,
                         ::testing::Values(static_cast<const char*>(nullptr), "680"));

}  // namespace
