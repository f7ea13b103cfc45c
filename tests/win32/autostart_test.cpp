#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "shell/autostart.h"
#include "tests/support/tray.h"

namespace {

const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
// The tests work on a value of their own; the program's default value stays untouched.
const char kName[] = "Vistrel autostart test";

std::string ownPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string ownCommand() {
    return "\"" + ownPath() + "\" -bg";
}

class AutostartValue : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &key_),
                  ERROR_SUCCESS);
        RegDeleteValueA(key_, kName);
    }
    void TearDown() override {
        RegDeleteValueA(key_, kName);
        RegCloseKey(key_);
    }
    void store(DWORD type, const std::string& data) {
        ASSERT_EQ(RegSetValueExA(key_, kName, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }
    // The stored bytes as written, or "<none>".
    std::string stored(DWORD* type = nullptr) {
        std::string data(8192, '\0');
        DWORD size = static_cast<DWORD>(data.size());
        DWORD valueType = 0;
        if (RegQueryValueExA(key_, kName, nullptr, &valueType, reinterpret_cast<BYTE*>(&data[0]),
                             &size) != ERROR_SUCCESS) {
            return "<none>";
        }
        if (type != nullptr) {
            *type = valueType;
        }
        data.resize(size);
        return data;
    }
    // Text values may come back with their terminator counted.
    std::string storedText(DWORD* type = nullptr) {
        std::string data = stored(type);
        return data.c_str();
    }
    HKEY key_ = nullptr;
};

TEST(AutostartCommandOfModule, QuotesTheModulesFullPath) {
    char text[kAutostartCommandCapacity];
    EXPECT_EQ(autostartCommand(GetModuleHandleA(nullptr), text),
              static_cast<int>(ownCommand().size()));
    EXPECT_EQ(std::string(text), ownCommand());

    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    char kernelPath[MAX_PATH] = {};
    GetModuleFileNameA(kernel, kernelPath, MAX_PATH);
    autostartCommand(kernel, text);
    EXPECT_EQ(std::string(text), "\"" + std::string(kernelPath) + "\" -bg");
}

TEST(AutostartCommandOfModule, AModuleThatIsNoneGivesNoText) {
    char text[kAutostartCommandCapacity] = "old";
    EXPECT_EQ(autostartCommand(reinterpret_cast<HMODULE>(0x10), text), 0);
    EXPECT_STREQ(text, "");
}

TEST_F(AutostartValue, MissingValueGivesZeroAndWritesNothing) {
    EXPECT_EQ(checkAutostartEntry(kName, 0), 0);
    EXPECT_EQ(stored(), "<none>");
}

TEST_F(AutostartValue, SetWritesTheCommandAsTextWithoutItsTerminator) {
    EXPECT_EQ(setAutostartEntry(GetModuleHandleA(nullptr), kName, 0), 1);
    DWORD type = 0;
    EXPECT_EQ(storedText(&type), ownCommand());
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(checkAutostartEntry(kName, 0), 1);
    EXPECT_EQ(storedText(), ownCommand());
}

TEST_F(AutostartValue, RemoveDeletesAndFailsQuietlyWhenNothingIsThere) {
    store(REG_SZ, ownCommand());
    EXPECT_EQ(removeAutostartEntry(kName, 0), 1);
    EXPECT_EQ(stored(), "<none>");
    EXPECT_EQ(removeAutostartEntry(kName, 0), 0);
    EXPECT_EQ(checkAutostartEntry(kName, 0), 0);
}

struct StaleCase {
    const char* name;
    std::string value;
};

class AutostartStale : public AutostartValue, public ::testing::WithParamInterface<StaleCase> {};

TEST_P(AutostartStale, ThisProgramsEntryElsewhereIsRewritten) {
    store(REG_SZ, GetParam().value);
    EXPECT_EQ(checkAutostartEntry(kName, 0), 1);
    DWORD type = 0;
    EXPECT_EQ(storedText(&type), ownCommand());
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

std::string ownFileName() {
    std::string path = ownPath();
    return path.substr(path.find_last_of('\\') + 1);
}

std::string upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Values, AutostartStale,
    ::testing::Values(StaleCase{"OtherFolder", "\"C:\\Old\\" + ownFileName() + "\" -bg"},
                      StaleCase{"OtherCase", "\"" + upper(ownPath()) + "\" -bg"}),
    [](const ::testing::TestParamInfo<StaleCase>& param) { return param.param.name; });

struct ForeignCase {
    const char* name;
    DWORD type;
    std::string value;
    int flag;
};

class AutostartForeign : public AutostartValue,
                         public ::testing::WithParamInterface<ForeignCase> {};

TEST_P(AutostartForeign, IsLeftAsItWas) {
    store(GetParam().type, GetParam().value);
    EXPECT_EQ(checkAutostartEntry(kName, 0), GetParam().flag);
    DWORD type = 0;
    std::string after = stored(&type);
    EXPECT_EQ(type, GetParam().type);
    // Text values may gain a counted terminator on the way through the registry.
    EXPECT_EQ(after.substr(0, GetParam().value.size()), GetParam().value);
    EXPECT_LE(after.size(), GetParam().value.size() + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Values, AutostartForeign,
    ::testing::Values(ForeignCase{"OtherProgram", REG_SZ, "\"C:\\Tools\\other.exe\" -bg", 1},
                      ForeignCase{"Dword", REG_DWORD, std::string("\x01\x02\x03\x04", 4), 1},
                      // Exactly as large as the check reads, and no terminator anywhere in it.
                      ForeignCase{"FullBinary", REG_BINARY, std::string(1024, 'b'), 1},
                      ForeignCase{"FullText", REG_SZ, std::string(1023, 't'), 1},
                      // Too large to be read whole: not taken for present, and not touched.
                      ForeignCase{"LongerBinary", REG_BINARY, std::string(1025, 'b'), 0},
                      ForeignCase{"LongerText", REG_SZ, std::string(1100, 't'), 0},
                      ForeignCase{"LongerOwnEntry", REG_SZ,
                                  "\"C:\\" + std::string(1100, 'd') + "\\x.exe\" -bg", 0}),
    [](const ::testing::TestParamInfo<ForeignCase>& param) { return param.param.name; });

TEST_F(AutostartValue, OwnCommandInAFullBufferWithoutTerminatorIsNotReadBeyond) {
    std::string value = std::string(1024 - ownCommand().size(), ' ') + ownCommand();
    store(REG_BINARY, value);
    EXPECT_EQ(checkAutostartEntry(kName, 0), 1);
    EXPECT_EQ(stored(), value);
}

TEST(AutostartToggle, WritesThenDeletesTheDefaultValue) {
    e2e::RunValueGuard guard;
    e2e::deleteRunValue();
    int savedFlag = appState.autostartFlag;
    appState.autostartFlag = 0;
    toggleAutostart();
    EXPECT_EQ(appState.autostartFlag, 1);
    e2e::RegistryValue value = e2e::readRunValue();
    EXPECT_TRUE(value.present);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(value.data.c_str()), ownCommand());
    toggleAutostart();
    EXPECT_EQ(appState.autostartFlag, 0);
    EXPECT_FALSE(e2e::readRunValue().present);
    // Any other non-zero flag also counts as on.
    appState.autostartFlag = 7;
    toggleAutostart();
    EXPECT_EQ(appState.autostartFlag, 0);
    EXPECT_FALSE(e2e::readRunValue().present);
    appState.autostartFlag = savedFlag;
}

TEST(AutostartValueName, IsEmptySoTheDefaultValueIsMeant) {
    char name[100];
    memset(name, 'x', sizeof(name));
    loadAutostartValueName(name);
    for (char c : name) {
        EXPECT_EQ(c, '\0');
    }
}

}  // namespace
