#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "resources/commands.h"
#include "tests/support/e2e.h"
#include "tests/support/tray.h"

namespace {

using e2e::Program;

std::string commandFor(const Program& program) {
    return "\"" + program.exePath() + "\" -bg";
}

// Text values may come back with their terminator counted.
std::string runValueText() {
    e2e::RegistryValue value = e2e::readRunValue();
    return value.present ? std::string(value.data.c_str()) : "<none>";
}

class Autostart : public ::testing::Test {
  protected:
    void SetUp() override { e2e::deleteRunValue(); }
    // Starts the program and waits until its start-up check is behind it.
    void startProgram() {
        ASSERT_TRUE(program_.start());
        ASSERT_NE(program_.waitForMainWindow(), nullptr);
    }
    // Sent rather than posted: the toggle has run when the call returns.
    void toggle() {
        DWORD_PTR reply = 0;
        ASSERT_NE(SendMessageTimeoutA(program_.mainWindow(), WM_COMMAND, CMD_AUTOSTART, 0,
                                      SMTO_BLOCK, 10000, &reply),
                  0);
    }
    e2e::RunValueGuard runValue_;
    Program program_;
};

TEST_F(Autostart, WithoutAValueTheFlagIsOffAndNothingIsWritten) {
    startProgram();
    e2e::pumpFor(300);
    EXPECT_FALSE(e2e::readRunValue().present);
    toggle();  // off becomes on: the entry is written
    EXPECT_EQ(runValueText(), commandFor(program_));
}

TEST_F(Autostart, ToggleWritesTheExactCommandAsTextAndToggleAgainDeletesIt) {
    startProgram();
    toggle();
    e2e::RegistryValue value = e2e::readRunValue();
    ASSERT_TRUE(value.present);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(value.data.c_str()), commandFor(program_));
    EXPECT_EQ(value.data.substr(0, 1), "\"");
    toggle();
    EXPECT_FALSE(e2e::readRunValue().present);
    toggle();
    EXPECT_EQ(runValueText(), commandFor(program_));
}

TEST_F(Autostart, TheCurrentEntryCountsAsOnAndIsLeftAlone) {
    ASSERT_TRUE(e2e::writeRunValue(REG_SZ, commandFor(program_)));
    startProgram();
    EXPECT_EQ(runValueText(), commandFor(program_));
    toggle();  // on becomes off
    EXPECT_FALSE(e2e::readRunValue().present);
}

class AutostartStale : public Autostart, public ::testing::WithParamInterface<const char*> {};

TEST_P(AutostartStale, AnEntryOfThisProgramElsewhereIsRewrittenAtStart) {
    std::string stale = GetParam();
    if (stale.empty()) {  // the same path in other letter case
        stale = commandFor(program_);
        for (char& c : stale) {
            c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        }
        stale.replace(stale.size() - 3, 3, "-bg");
    }
    ASSERT_TRUE(e2e::writeRunValue(REG_SZ, stale));
    startProgram();
    EXPECT_EQ(runValueText(), commandFor(program_));
    EXPECT_EQ(e2e::readRunValue().type, static_cast<DWORD>(REG_SZ));
    toggle();  // it counted as on
    EXPECT_FALSE(e2e::readRunValue().present);
}

INSTANTIATE_TEST_SUITE_P(Values, AutostartStale,
                         ::testing::Values("\"C:\\Program Files\\Old\\vistrel.exe\" -bg", ""));

struct ForeignCase {
    const char* name;
    DWORD type;
    std::string data;
    bool countsAsOn;
};

class AutostartForeign : public Autostart, public ::testing::WithParamInterface<ForeignCase> {};

TEST_P(AutostartForeign, IsLeftUnchangedAtStart) {
    const ForeignCase& c = GetParam();
    ASSERT_TRUE(e2e::writeRunValue(c.type, c.data));
    e2e::RegistryValue before = e2e::readRunValue();
    startProgram();
    e2e::pumpFor(300);
    e2e::RegistryValue after = e2e::readRunValue();
    EXPECT_TRUE(after.present);
    EXPECT_EQ(after.type, before.type);
    EXPECT_EQ(after.data, before.data);
    toggle();
    if (c.countsAsOn) {
        EXPECT_FALSE(e2e::readRunValue().present);  // on became off: the value is deleted
    } else {
        EXPECT_EQ(runValueText(), commandFor(program_));  // off became on: written anew
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, AutostartForeign,
    ::testing::Values(ForeignCase{"OtherProgram", REG_SZ, "\"C:\\Tools\\other.exe\" -bg", true},
                      ForeignCase{"Binary1024", REG_BINARY, std::string(1024, 'b'), true},
                      ForeignCase{"TextLongerThan1024", REG_SZ, std::string(1500, 't'), false},
                      ForeignCase{"OwnEntryLongerThan1024", REG_SZ,
                                  "\"C:\\" + std::string(1100, 'd') + "\\vistrel.exe\" -bg",
                                  false}),
    [](const ::testing::TestParamInfo<ForeignCase>& param) { return param.param.name; });

TEST_F(Autostart, ASecondStartRewritesTheEntryToItsOwnPath) {
    startProgram();
    toggle();
    ASSERT_EQ(runValueText(), commandFor(program_));

    Program second;
    ASSERT_TRUE(second.start());
    DWORD code = 0;
    ASSERT_TRUE(second.waitForExit(20000, &code));
    EXPECT_EQ(code, static_cast<DWORD>(EXIT_CODE_SECOND_START));
    EXPECT_EQ(runValueText(), commandFor(second));
}

// The longest path the program takes whole: 259 characters give a text of 265.
TEST_F(Autostart, APathOf259CharactersIsStoredWhole) {
    std::string base = e2e::makeTempFolder("autostart");
    ASSERT_FALSE(base.empty());
    std::string folder = base;
    const size_t fileNameLength = strlen("\\vistrel.exe");
    while (folder.size() + fileNameLength < 259) {
        size_t room = 259 - fileNameLength - folder.size() - 1;
        folder += "\\" + std::string(room < 60 ? room : 60, 'p');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    }
    {
        Program deep(folder);
        ASSERT_EQ(deep.exePath().size(), 259u);
        ASSERT_TRUE(deep.start());
        ASSERT_NE(deep.waitForMainWindow(), nullptr);
        ASSERT_TRUE(deep.postCommand(CMD_AUTOSTART));
        ASSERT_TRUE(e2e::waitUntil([] { return e2e::readRunValue().present; }, 5000));
        std::string text = runValueText();
        EXPECT_EQ(text.size(), 265u);
        EXPECT_EQ(text, commandFor(deep));
    }
    e2e::removeFolder(base);
}

}  // namespace
