// Settings files the program did not write: each gives a defined outcome, and the program
// runs, calls up its zoom window and ends normally.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "resources/commands.h"
#include "tests/support/e2e.h"
#include "tests/support/gdiplus_files.h"
#include "tests/support/zoom_view.h"

namespace {

using e2e::Program;

std::vector<uint8_t> bytesOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A megabyte from a fixed generator: NULs, line ends, brackets and '=' all occur.
std::vector<uint8_t> binaryJunk() {
    std::vector<uint8_t> bytes(1 << 20);
    uint32_t state = 12345;
    for (uint8_t& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return bytes;
}

std::vector<uint8_t> byteOrderMarkFirst() {
    return bytesOf("\xEF\xBB\xBF[Program]\r\ncx=640\r\ncy=200\r\nzoom=4\r\nlng=1\r\n");
}

struct FaultCase {
    const char* name;
    std::vector<uint8_t> (*content)();  // null: a folder in the file's place
    int width, height;                  // the zoom window's size at the first activation
};

class ForeignSettingsFile : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ForeignSettingsFile, GivesItsOutcomeAndIsLeftAsItWas) {
    const FaultCase& c = GetParam();
    Program program;
    std::vector<uint8_t> before;
    if (c.content != nullptr) {
        before = c.content();
        ASSERT_TRUE(e2e::writeFileBytes(program.iniPath(), before.data(), before.size()));
    } else {
        ASSERT_TRUE(CreateDirectoryW(e2e::widen(program.iniPath()).c_str(), nullptr));
    }
    HWND zoom = e2e::startAndMagnify(program, 960, 540, c.width, c.height);
    ASSERT_NE(zoom, nullptr) << c.name;
    EXPECT_TRUE(e2e::sendKeyDown(zoom, VK_ESCAPE));
    ASSERT_TRUE(program.postCommand(CMD_EXIT));
    DWORD code = 1234;
    ASSERT_TRUE(program.waitForExit(10000, &code)) << c.name;
    EXPECT_EQ(code, 0u) << c.name;

    if (c.content != nullptr) {
        EXPECT_TRUE(e2e::readFileBytes(program.iniPath()) == before) << c.name;
    } else {
        EXPECT_EQ(program.settingsFileAttributes() & FILE_ATTRIBUTE_DIRECTORY,
                  static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
        EXPECT_TRUE(RemoveDirectoryW(e2e::widen(program.iniPath()).c_str())) << "still empty";
    }
}

// A language stored as letters ("en") is read as German: the hotkey dialog's error shows it
// (HotkeyDialogRejects).
INSTANTIATE_TEST_SUITE_P(
    Contents, ForeignSettingsFile,
    ::testing::Values(FaultCase{"1 MB of binary junk: defaults", binaryJunk, 700, 300},
                      FaultCase{"UTF-8 byte-order mark before [Program]: read past it",
                                byteOrderMarkFirst, 640, 200},
                      FaultCase{"a folder named vistrel.ini: defaults", nullptr, 700, 300}));

}  // namespace
