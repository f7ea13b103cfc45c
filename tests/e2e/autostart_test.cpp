#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "resources/commands.h"
#include "tests/support/e2e.h"
#include "tests/support/tray.h"

namespace {

using e2e::Program;

// The program's own value; the default (unnamed) value belongs to whoever wrote it.
const char kValue[] = "Vistrel";

std::string commandFor(const Program& program) {
    return "\"" + program.exePath() + "\" -bg";
}

// Text values may come back with their terminator counted.
std::string runValueText(const char* name = kValue) {
    e2e::RegistryValue value = e2e::readRunValue(name);
    return value.present ? value.text() : "<none>";
}

class Autostart : public ::testing::Test {
  protected:
    void SetUp() override {
        e2e::deleteRunValue();
        e2e::deleteRunValue(kValue);
    }
    // Starts the program and waits until its start-up check is behind it.
    void startProgram() {
        ASSERT_TRUE(program_.start());
        ASSERT_NE(program_.waitForMainWindow(), nullptr);
    }
    // Sent rather than posted: the toggle has run when the call returns.
    void toggle(const Program& program) {
        DWORD_PTR reply = 0;
        ASSERT_NE(SendMessageTimeoutA(program.mainWindow(), WM_COMMAND, CMD_AUTOSTART, 0,
                                      SMTO_BLOCK, 10000, &reply),
                  0);
    }
    void toggle() { toggle(program_); }
    e2e::RunValueGuard defaultValue_{""};
    e2e::RunValueGuard namedValue_{kValue};
    Program program_;
};

TEST_F(Autostart, WithoutAValueTheFlagIsOffAndNothingIsWritten) {
    startProgram();
    ASSERT_TRUE(program_.handledAllPosted());
    EXPECT_FALSE(e2e::readRunValue(kValue).present);
    EXPECT_FALSE(e2e::readRunValue().present);
    toggle();  // off becomes on: the entry is written
    EXPECT_EQ(runValueText(), commandFor(program_));
    EXPECT_FALSE(e2e::readRunValue().present);
}

TEST_F(Autostart, ToggleWritesTheExactCommandAsTextAndToggleAgainDeletesIt) {
    startProgram();
    toggle();
    e2e::RegistryValue value = e2e::readRunValue(kValue);
    ASSERT_TRUE(value.present);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.text(), commandFor(program_));
    // The size counts the terminator, and the terminator ends the bytes.
    EXPECT_EQ(value.data.size(), (e2e::widen(commandFor(program_)).size() + 1) * sizeof(WCHAR));
    EXPECT_EQ(value.data.substr(value.data.size() - 2), std::string(2, '\0'));
    toggle();
    EXPECT_FALSE(e2e::readRunValue(kValue).present);
    toggle();
    EXPECT_EQ(runValueText(), commandFor(program_));
}

TEST_F(Autostart, TheCurrentEntryCountsAsOnAndIsLeftAlone) {
    ASSERT_TRUE(e2e::writeRunText(commandFor(program_), kValue));
    startProgram();
    EXPECT_EQ(runValueText(), commandFor(program_));
    toggle();  // on becomes off
    EXPECT_FALSE(e2e::readRunValue(kValue).present);
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
    ASSERT_TRUE(e2e::writeRunText(stale, kValue));
    startProgram();
    EXPECT_EQ(runValueText(), commandFor(program_));
    EXPECT_EQ(e2e::readRunValue(kValue).type, static_cast<DWORD>(REG_SZ));
    toggle();  // it counted as on
    EXPECT_FALSE(e2e::readRunValue(kValue).present);
}

INSTANTIATE_TEST_SUITE_P(Values, AutostartStale,
                         ::testing::Values("\"C:\\Program Files\\Old\\vistrel.exe\" -bg", ""));

// What the Run key's default value may hold: this program's entry as older versions wrote it,
// or anything of another program's.
struct DefaultCase {
    const char* name;
    DWORD type;
    std::string data;  // bytes; for REG_SZ UTF-8 text, stored as UTF-16
    bool own;
};

class AutostartDefault : public Autostart, public ::testing::WithParamInterface<DefaultCase> {
  protected:
    void store(const DefaultCase& c) {
        if (c.type == REG_SZ) {
            ASSERT_TRUE(e2e::writeRunText(c.data.empty() ? commandFor(program_) : c.data));
        } else {
            ASSERT_TRUE(e2e::writeRunValue(c.type, c.data));
        }
    }
};

// An own entry moves to the named value and shows checked (the first toggle deletes it);
// another program's value stays as it was through start-up and two toggles and shows
// unchecked (the first toggle writes the entry).
TEST_P(AutostartDefault, OnlyThisProgramsEntryIsMovedAndTogglesTouchOnlyTheNamedValue) {
    const DefaultCase& c = GetParam();
    store(c);
    e2e::RegistryValue before = e2e::readRunValue();
    startProgram();
    ASSERT_TRUE(program_.handledAllPosted());
    e2e::RegistryValue after = e2e::readRunValue();
    if (c.own) {
        EXPECT_FALSE(after.present);
        EXPECT_EQ(runValueText(), commandFor(program_));
    } else {
        EXPECT_TRUE(after.present);
        EXPECT_EQ(after.type, before.type);
        EXPECT_EQ(after.data, before.data);
        EXPECT_FALSE(e2e::readRunValue(kValue).present);
    }
    toggle();
    EXPECT_EQ(runValueText(), c.own ? "<none>" : commandFor(program_));
    toggle();
    EXPECT_EQ(runValueText(), c.own ? commandFor(program_) : "<none>");
    after = e2e::readRunValue();
    EXPECT_EQ(after.present, !c.own);
    EXPECT_EQ(after.data, c.own ? "" : before.data);
}

INSTANTIATE_TEST_SUITE_P(
    Values, AutostartDefault,
    ::testing::Values(DefaultCase{"OwnEntry", REG_SZ, "", true},
                      DefaultCase{"OwnEntryElsewhere", REG_SZ,
                                  "\"C:\\Program Files\\Old\\vistrel.exe\" -bg", true},
                      DefaultCase{"OtherProgram", REG_SZ, "\"C:\\Tools\\other.exe\" -bg", false},
                      DefaultCase{"Binary1024", REG_BINARY, std::string(1024, 'b'), false},
                      DefaultCase{"TextLongerThan1024", REG_SZ, std::string(1500, 't'), false},
                      DefaultCase{"OwnEntryLongerThan1024", REG_SZ,
                                  "\"C:\\" + std::string(1100, 'd') + "\\vistrel.exe\" -bg",
                                  false}),
    [](const ::testing::TestParamInfo<DefaultCase>& param) { return param.param.name; });

// A copy elsewhere (one started from inside a zip, say) must not take the entry over, as a
// second start or on its own, while the copy the entry names is there; once that is gone, it
// does.
TEST_F(Autostart, ACopyFromAnotherFolderTakesTheEntryOverOnlyOnceItsFileIsGone) {
    startProgram();
    toggle();
    ASSERT_EQ(runValueText(), commandFor(program_));

    Program second;
    ASSERT_TRUE(second.start());
    DWORD code = 0;
    ASSERT_TRUE(second.waitForExit(20000, &code));
    EXPECT_EQ(code, static_cast<DWORD>(EXIT_CODE_SECOND_START));
    EXPECT_EQ(runValueText(), commandFor(program_));
    ASSERT_TRUE(program_.exitByCommand(&code));
    for (bool firstThere : {true, false}) {
        ASSERT_TRUE(firstThere || DeleteFileW(e2e::widen(program_.exePath()).c_str()));
        ASSERT_TRUE(second.start());
        ASSERT_NE(second.waitForMainWindow(), nullptr);
        EXPECT_EQ(runValueText(), commandFor(firstThere ? program_ : second));
        ASSERT_TRUE(second.exitByCommand(&code));
    }
}

// A folder named in several scripts outside the system's code page reaches the entry whole.
TEST_F(Autostart, AFolderInAnyScriptIsStoredExactly) {
    e2e::AnyScriptFolder folder("autostart");
    ASSERT_FALSE(folder.path().empty());
    Program program(folder.path());
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    toggle(program);
    e2e::RegistryValue value = e2e::readRunValue(kValue);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    std::wstring command = L"\"" + e2e::widen(program.exePath()) + L"\" -bg";
    const std::string bytes(reinterpret_cast<const char*>(command.data()),
                            command.size() * sizeof(WCHAR));
    // The registry may count a terminator after the text.
    EXPECT_EQ(value.data.substr(0, bytes.size()), bytes);
    EXPECT_LE(value.data.size(), bytes.size() + sizeof(WCHAR));
    EXPECT_EQ(value.text(), commandFor(program));
    toggle(program);
    EXPECT_FALSE(e2e::readRunValue(kValue).present);
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
        ASSERT_TRUE(e2e::waitUntil([] { return e2e::readRunValue(kValue).present; }, 5000));
        std::string text = runValueText();
        EXPECT_EQ(text.size(), 265u);
        EXPECT_EQ(text, commandFor(deep));
    }
    e2e::removeFolder(base);
}

}  // namespace
