#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include "resources/commands.h"
#include "shell/autostart.h"
#include "shell/tray_menu.h"
#include "tests/support/e2e.h"
#include "tests/support/tray.h"

namespace {

// The tests work on values of their own, except where the program's own names are the point.
const char kName[] = "Vistrel autostart test";
const wchar_t kWideName[] = L"Vistrel autostart test";

std::wstring ownPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::string ownCommand() {
    return e2e::narrow(L"\"" + ownPath() + L"\" -bg");
}

// The bytes of a text value: UTF-16, no terminator.
std::string utf16(const std::string& utf8) {
    std::wstring wide = e2e::widen(utf8);
    return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
}

// The value holds exactly the text as UTF-16 and its terminator, counted in the size.
void expectUtf16Text(const e2e::RegistryValue& value, const std::string& utf8) {
    EXPECT_TRUE(value.present);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.data, utf16(utf8) + std::string(sizeof(wchar_t), '\0'));
}

std::string ownFileName() {
    std::wstring path = ownPath();
    return e2e::narrow(path.substr(path.find_last_of(L'\\') + 1));
}

std::string upper(const std::wstring& text) {
    std::wstring result = text;
    for (wchar_t& c : result) {
        c = static_cast<wchar_t>(towupper(c));
    }
    return e2e::narrow(result);
}

// Another copy of this program that is still there: a file of the same name elsewhere, there
// while a test that names it runs.
std::wstring otherCopyPath() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return temp + std::wstring(L"vistrel other copy\\") + e2e::widen(ownFileName());
}
const std::string kOtherCopy = "\"" + e2e::narrow(otherCopyPath()) + "\" -bg";

struct OtherCopy {
    const std::wstring path = otherCopyPath();
    const std::wstring folder = path.substr(0, path.rfind(L'\\'));
    const bool made =
        (CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) &&
        CloseHandle(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ~OtherCopy() {
        DeleteFileW(path.c_str());
        RemoveDirectoryW(folder.c_str());
    }
};

class AutostartValue : public ::testing::Test {
  protected:
    void SetUp() override { e2e::deleteRunValue(kName); }
    void TearDown() override { e2e::deleteRunValue(kName); }
};

TEST(AutostartCommandOfModule, QuotesTheModulesFullPath) {
    wchar_t text[kAutostartCommandCapacity];
    EXPECT_EQ(autostartCommand(GetModuleHandleW(nullptr), text),
              static_cast<int>(e2e::widen(ownCommand()).size()));
    EXPECT_EQ(e2e::narrow(text), ownCommand());

    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    wchar_t kernelPath[MAX_PATH] = {};
    GetModuleFileNameW(kernel, kernelPath, MAX_PATH);
    autostartCommand(kernel, text);
    EXPECT_EQ(std::wstring(text), L"\"" + std::wstring(kernelPath) + L"\" -bg");
}

TEST(AutostartCommandOfModule, AModuleThatIsNoneGivesNoText) {
    wchar_t text[kAutostartCommandCapacity] = L"old";
    EXPECT_EQ(autostartCommand(reinterpret_cast<HMODULE>(0x10), text), 0);
    EXPECT_EQ(std::wstring(text), L"");
}

TEST_F(AutostartValue, MissingValueGivesZeroAndWritesNothing) {
    EXPECT_FALSE(checkAutostartEntry(kWideName));
    EXPECT_FALSE(e2e::readRunValue(kName).present);
}

TEST_F(AutostartValue, SetWritesTheCommandAsUtf16TextWithItsTerminator) {
    EXPECT_TRUE(setAutostartEntry(GetModuleHandleW(nullptr), kWideName));
    expectUtf16Text(e2e::readRunValue(kName), ownCommand());
    EXPECT_TRUE(checkAutostartEntry(kWideName));
    expectUtf16Text(e2e::readRunValue(kName), ownCommand());
}

TEST_F(AutostartValue, RemoveDeletesTheEntryAndFindsNothingLeftTheSecondTime) {
    ASSERT_TRUE(e2e::writeRunText(ownCommand(), kName));
    EXPECT_TRUE(removeAutostartEntry(kWideName));
    EXPECT_FALSE(e2e::readRunValue(kName).present);
    EXPECT_TRUE(removeAutostartEntry(kWideName));
    EXPECT_FALSE(checkAutostartEntry(kWideName));
}

class AutostartStale : public AutostartValue, public ::testing::WithParamInterface<std::string> {};

// Another copy that is still there keeps its entry (AutostartStartup).
TEST_P(AutostartStale, ThisProgramsEntryForAFileThatIsGoneOrThisOneIsRewritten) {
    ASSERT_TRUE(e2e::writeRunText(GetParam(), kName));
    EXPECT_TRUE(checkAutostartEntry(kWideName));
    expectUtf16Text(e2e::readRunValue(kName), ownCommand());
}

// A folder gone, a file gone from its folder, this file in other letter case.
INSTANTIATE_TEST_SUITE_P(Values, AutostartStale,
                         ::testing::Values("\"C:\\Old\\" + ownFileName() + "\" -bg",
                                           "\"" + e2e::narrow(ownPath()) + ".gone.exe\" -bg",
                                           "\"" + upper(ownPath()) + "\" -bg"));

struct ForeignCase {
    const char* name;
    DWORD type;
    std::string value;  // the bytes stored
};

class AutostartForeign : public AutostartValue,
                         public ::testing::WithParamInterface<ForeignCase> {};

// Neither shown as the entry, nor written over, nor deleted.
TEST_P(AutostartForeign, IsLeftAsItWas) {
    const ForeignCase& c = GetParam();
    ASSERT_TRUE(e2e::writeRunValue(c.type, c.value, kName));
    const e2e::RegistryValue before = e2e::readRunValue(kName);
    ASSERT_EQ(before.data.substr(0, c.value.size()), c.value);
    EXPECT_FALSE(checkAutostartEntry(kWideName));
    EXPECT_FALSE(setAutostartEntry(GetModuleHandleW(nullptr), kWideName));
    EXPECT_TRUE(removeAutostartEntry(kWideName));
    e2e::RegistryValue after = e2e::readRunValue(kName);
    EXPECT_EQ(after.type, c.type);
    EXPECT_EQ(after.data, before.data);
}

INSTANTIATE_TEST_SUITE_P(
    Values, AutostartForeign,
    ::testing::Values(
        ForeignCase{"OtherProgram", REG_SZ, utf16("\"C:\\Tools\\other.exe\"")},
        // Only text is started from the Run key.
        ForeignCase{"BinaryOwnCommand", REG_BINARY, utf16(ownCommand())},
        ForeignCase{"Dword", REG_DWORD, std::string("\x01\x02\x03\x04", 4)},
        // Exactly as large as the check reads, and no terminator anywhere in it.
        ForeignCase{"FullBinary", REG_BINARY, std::string(2048, 'b')},
        ForeignCase{"FullText", REG_SZ, utf16(std::string(1024, 't'))},
        // Too large to be read whole.
        ForeignCase{"LongerBinary", REG_BINARY, std::string(2049, 'b')},
        ForeignCase{"LongerText", REG_SZ, utf16(std::string(1100, 't'))},
        ForeignCase{"LongerOwnEntry", REG_SZ,
                    utf16("\"C:\\" + std::string(1100, 'd') + "\\" + ownFileName() + "\" -bg")},
        // This program's path with another argument was not written by it.
        ForeignCase{"OtherArgument", REG_SZ, utf16("\"" + e2e::narrow(ownPath()) + "\" -x")}),
    [](const ::testing::TestParamInfo<ForeignCase>& param) { return param.param.name; });

TEST_F(AutostartValue, OwnCommandAtTheEndOfAFullBufferIsNotReadBeyond) {
    std::string value =
        utf16(std::string(1024 - e2e::widen(ownCommand()).size(), ' ')) + utf16(ownCommand());
    ASSERT_EQ(value.size(), 2048u);
    ASSERT_TRUE(e2e::writeRunValue(REG_BINARY, value, kName));
    EXPECT_FALSE(checkAutostartEntry(kWideName));
    EXPECT_EQ(e2e::readRunValue(kName).data, value);
}

const std::string kOther = "\"C:\\Tools\\other.exe\" /autorun";

// The check mark of "Start with Windows" in the tray menu, as the user sees it.
bool shownChecked() {
    HMENU popup = nullptr;
    UniqueMenu menu = buildTrayMenu(GetModuleHandleW(nullptr), &popup);
    return menu && (GetMenuState(popup, CMD_AUTOSTART, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// The program's own names: the Run key's default value and "Vistrel", both put back after.
class AutostartOfProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        e2e::deleteRunValue("");
        e2e::deleteRunValue("Vistrel");
    }
    e2e::RunValueGuard defaultValue_{""};
    e2e::RunValueGuard namedValue_{"Vistrel"};
    OtherCopy copy_;
};

TEST_F(AutostartOfProgram, ToggleWritesAndDeletesOnlyTheNamedValue) {
    ASSERT_TRUE(e2e::writeRunText(kOther));
    toggleAutostart();
    EXPECT_TRUE(shownChecked());
    expectUtf16Text(e2e::readRunValue("Vistrel"), ownCommand());
    toggleAutostart();
    EXPECT_FALSE(shownChecked());
    EXPECT_FALSE(e2e::readRunValue("Vistrel").present);
    EXPECT_EQ(e2e::readRunValue().text(), kOther);
}

// Another program's value is not taken over; another copy's is, when the user chooses this one.
TEST_F(AutostartOfProgram, AnotherValueUnderTheNameIsNotTakenOverAndStaysUnchecked) {
    ASSERT_TRUE(e2e::writeRunText(kOther, "Vistrel"));
    toggleAutostart();
    EXPECT_FALSE(shownChecked());
    EXPECT_EQ(e2e::readRunValue("Vistrel").text(), kOther);
    ASSERT_TRUE(copy_.made && e2e::writeRunText(kOtherCopy, "Vistrel"));
    toggleAutostart();
    EXPECT_TRUE(shownChecked());
}

struct StartupCase {
    const char* name;
    std::string defaultValue, namedValue;  // stored before; empty: no value
    int flag;
    std::string defaultAfter, namedAfter;
};

class AutostartStartup : public AutostartOfProgram,
                         public ::testing::WithParamInterface<StartupCase> {};

TEST_P(AutostartStartup, MovesTheOldEntryAndChecksOnlyTheProgramsOwn) {
    const StartupCase& c = GetParam();
    if (!c.defaultValue.empty()) {
        ASSERT_TRUE(e2e::writeRunText(c.defaultValue));
    }
    if (!c.namedValue.empty()) {
        ASSERT_TRUE(e2e::writeRunText(c.namedValue, "Vistrel"));
    }
    checkAutostartAtStart();
    EXPECT_EQ(shownChecked(), c.flag != 0);
    e2e::RegistryValue defaultValue = e2e::readRunValue();
    e2e::RegistryValue named = e2e::readRunValue("Vistrel");
    EXPECT_EQ(defaultValue.present ? defaultValue.text() : "<none>", c.defaultAfter);
    EXPECT_EQ(named.present ? named.text() : "<none>", c.namedAfter);
    // Deleted while the program runs (by another copy's menu, say): the menu shows it.
    e2e::deleteRunValue("Vistrel");
    EXPECT_FALSE(shownChecked());
}

INSTANTIATE_TEST_SUITE_P(
    Values, AutostartStartup,
    ::testing::Values(
        StartupCase{"Nothing", "", "", 0, "<none>", "<none>"},
        StartupCase{"OwnInDefault", ownCommand(), "", 1, "<none>", ownCommand()},
        StartupCase{"StaleInDefault", "\"C:\\Old\\" + ownFileName() + "\" -bg", "", 1, "<none>",
                    ownCommand()},
        StartupCase{"OtherInDefault", kOther, "", 0, kOther, "<none>"},
        StartupCase{"OwnInDefaultOtherNamed", ownCommand(), kOther, 0, ownCommand(), kOther},
        StartupCase{"OtherInDefaultOwnNamed", kOther, ownCommand(), 1, kOther, ownCommand()},
        StartupCase{"OtherNamed", "", kOther, 0, "<none>", kOther},
        // A copy saved or renamed under another file name: only its own name says it.
        StartupCase{"RenamedCopyNamed", "", "\"C:\\Old\\vistrel.exe\" -bg", 1, "<none>",
                    ownCommand()},
        StartupCase{"RenamedCopyInDefault", "\"C:\\Old\\vistrel.exe\" -bg", "", 0,
                    "\"C:\\Old\\vistrel.exe\" -bg", "<none>"},
        // Another copy that is still there, or on a drive that is not (a stick pulled out, say):
        // its entry stays its own.
        StartupCase{"OtherCopyNamed", "", kOtherCopy, 0, "<none>", kOtherCopy},
        StartupCase{"AbsentDriveNamed", "", "\"Q:\\v.exe\" -bg", 0, "<none>", "\"Q:\\v.exe\" -bg"},
        StartupCase{"OtherCopyInDefault", kOtherCopy, "", 0, kOtherCopy, "<none>"},
        StartupCase{"OwnInDefaultOtherCopyNamed", ownCommand(), kOtherCopy, 0, ownCommand(),
                    kOtherCopy}),
    [](const ::testing::TestParamInfo<StartupCase>& param) { return param.param.name; });

struct ApprovalCase {
    const char* name;
    DWORD type;  // REG_NONE: no approval value
    std::string data;
    bool checked;
};

std::string approval(char first, size_t size = 12) {
    return std::string(1, first) + std::string(size - 1, '\0');
}

const wchar_t kApprovalParent[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved";

// Task Manager's switch for the entry, and another program's beside it. Windows has the keys;
// a Wine prefix has neither until the test creates them, and loses them again after.
class AutostartApproval : public AutostartOfProgram,
                          public ::testing::WithParamInterface<ApprovalCase> {
  protected:
    void TearDown() override {
        if (!hadKeys_) {
            RegDeleteTreeW(HKEY_CURRENT_USER, kApprovalParent);
        }
    }
    const bool hadKeys_ = [] {
        HKEY key = nullptr;
        return RegOpenKeyExW(HKEY_CURRENT_USER, kApprovalParent, 0, KEY_READ, &key) ==
                   ERROR_SUCCESS &&
               RegCloseKey(key) == ERROR_SUCCESS;
    }();
    e2e::RunValueGuard approval_{"Vistrel", e2e::kApprovalKey};
    e2e::RunValueGuard otherApproval_{kName, e2e::kApprovalKey};
};

// Switched in Task Manager while the program runs, the menu shows it. Choosing the item twice:
// switched on, a disabled approval is marked enabled and no other is touched or created;
// switched off, the approval stays as it is. Another name's never changes.
TEST_P(AutostartApproval, TheItemIsCheckedOnlyWhenTaskManagerLetsTheEntryStart) {
    const ApprovalCase& c = GetParam();
    ASSERT_TRUE(e2e::writeRunText(ownCommand(), "Vistrel"));
    e2e::deleteRunValue("Vistrel", e2e::kApprovalKey);
    checkAutostartAtStart();
    EXPECT_TRUE(shownChecked());
    ASSERT_TRUE(c.type == REG_NONE ||
                e2e::writeRunValue(c.type, c.data, "Vistrel", e2e::kApprovalKey));
    ASSERT_TRUE(e2e::writeRunValue(REG_BINARY, approval(3), kName, e2e::kApprovalKey));
    EXPECT_EQ(shownChecked(), c.checked);
    for (bool on : {!c.checked, c.checked}) {
        toggleAutostart();
        EXPECT_EQ(shownChecked(), on);
        EXPECT_EQ(e2e::readRunValue("Vistrel").text(), on ? ownCommand() : "");
        e2e::RegistryValue after = e2e::readRunValue("Vistrel", e2e::kApprovalKey);
        EXPECT_EQ(after.present, c.type != REG_NONE);
        EXPECT_EQ(after.data, c.checked ? c.data : approval(2));
    }
    EXPECT_EQ(e2e::readRunValue(kName, e2e::kApprovalKey).data, approval(3));
}

INSTANTIATE_TEST_SUITE_P(
    Values, AutostartApproval,
    ::testing::Values(ApprovalCase{"None", REG_NONE, "", true},
                      ApprovalCase{"Enabled", REG_BINARY, approval(2), true},
                      ApprovalCase{"Disabled", REG_BINARY, approval(3), false},
                      ApprovalCase{"DisabledOther", REG_BINARY, approval(7), false},
                      ApprovalCase{"Short", REG_BINARY, approval(3, 8), true},
                      ApprovalCase{"Dword", REG_DWORD, approval(3, 4), true}),
    [](const ::testing::TestParamInfo<ApprovalCase>& param) { return param.param.name; });

TEST(AutostartValueName, IsVistrel) {
    wchar_t name[kAutostartValueNameCapacity];
    EXPECT_EQ(loadAutostartValueName(name), 7);
    EXPECT_EQ(std::wstring(name), L"Vistrel");
}

}  // namespace
