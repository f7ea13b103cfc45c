#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "settings/settings.h"
#include "tests/support/e2e.h"

namespace {

// The file lies in a folder named in several scripts, which only the W functions reach.
class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        base_ = e2e::makeTempFolder("settings");
        folder_ =
            e2e::makeSubfolder(base_, u8"\u0141\u00f3d\u017a \u0417\u0430\u0433 \u5de5\u5177");
        ASSERT_FALSE(folder_.empty());
        path_ = e2e::widen(folder_ + "\\zoom.ini");
        lstrcpynW(settingsFile().path, path_.c_str(), kPathCapacity);
        settingsFile().unread = false;
    }
    void TearDown() override {
        if (path_ != settingsFile().path) {  // the user's own file a test moved to
            DeleteFileW(settingsFile().path);
        }
        settingsFile().path[0] = L'\0';
        settingsFile().unread = false;
        e2e::removeFolder(base_);
    }
    void store(const char* key, const char* text) {
        WritePrivateProfileStringW(L"Program", e2e::widen(key).c_str(), e2e::widen(text).c_str(),
                                   path_.c_str());
    }
    std::string stored(const char* key) {
        wchar_t text[64] = {};
        GetPrivateProfileStringW(L"Program", e2e::widen(key).c_str(), L"<none>", text, 64,
                                 path_.c_str());
        return e2e::narrow(text);
    }
    std::string fileBytes() {
        std::string bytes;
        FILE* file = _wfopen(path_.c_str(), L"rb");
        char buffer[4096];
        size_t read = file != nullptr ? fread(buffer, 1, sizeof(buffer), file) : 0;
        bytes.assign(buffer, read);
        if (file != nullptr) {
            fclose(file);
        }
        return bytes;
    }
    std::string base_;
    std::string folder_;
    std::wstring path_;
};

std::string shown(const ViewSettings& view) {
    return std::to_string(view.width) + " " + std::to_string(view.height) + " " +
           std::to_string(view.zoom);
}

// An empty or missing value reads as the default, a text that does not begin with a number
// as 0; only the leading number counts, clamped to 32 bits.
TEST_F(SettingsFile, ReadsValuesAsTheRulesSay) {
    store("cx", "");
    store("zoom", "abc");
    store("use_hk", "12abc");
    store("hk_vkey", "-5");
    store("hk_key", "99999999999");
    EXPECT_EQ(shown(loadView()), "700 300 0");
    const HotkeySetting hotkey = loadHotkey();
    EXPECT_EQ(hotkey.useFlag, 12);
    EXPECT_EQ(hotkey.virtualKey, -5);
    EXPECT_EQ(hotkey.modifiers, 2147483647);
}

TEST_F(SettingsFile, WritesDecimalText) {
    saveView({-1, 2147483647, 2});
    EXPECT_EQ(stored("cx"), "-1");
    EXPECT_EQ(stored("cy"), "2147483647");
}

// Quotes around a value read the same but would be gone after a rewrite.
TEST_F(SettingsFile, SaveViewWritesOnlyWhatDiffersFromTheFile) {
    store("cx", "\"640\"");
    store("cy", "\"200\"");
    store("zoom", "\"3\"");
    const std::string same = fileBytes();
    saveView({640, 200, 3});
    EXPECT_EQ(fileBytes(), same);
    store("cx", "1");
    saveView({640, 200, 3});
    EXPECT_EQ(stored("cx"), "640");
    EXPECT_EQ(stored("cy"), "200");
    EXPECT_EQ(stored("zoom"), "3");
    // The file holds ASCII only.
    for (char c : fileBytes()) {
        EXPECT_EQ(static_cast<unsigned char>(c) & 0x80, 0) << fileBytes();
    }
}

TEST_F(SettingsFile, AFileUnreadAtStartIsNeitherReadNorWritten) {
    store("cx", "900");
    settingsFile().unread = true;
    EXPECT_EQ(shown(loadView()), "700 300 2");
    saveView({5, 300, 4});
    EXPECT_EQ(stored("cx"), "900");
    EXPECT_EQ(stored("zoom"), "<none>");
}

// As a sync tool may hold it, or a folder turned read-only: the refused write and every later
// one go to the user's own file, made from this one, which stays as it was.
TEST_F(SettingsFile, AWriteTheFileRefusesMovesTheSettingsToTheUsersOwnFile) {
    store("cy", "200");
    const std::string before = fileBytes();
    HANDLE held = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    saveView({640, 200, 3});
    CloseHandle(held);
    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(shown(loadView()), "640 200 3");
    EXPECT_NE(std::wstring(settingsFile().path), path_);
}

TEST(SettingsWithoutPath, ReadsDefaultsAndWritesNothing) {
    wchar_t saved[kPathCapacity];
    lstrcpynW(saved, settingsFile().path, kPathCapacity);
    settingsFile().path[0] = L'\0';
    EXPECT_EQ(shown(loadView()), "700 300 2");
    EXPECT_EQ(loadHotkey().useFlag, 0);
    saveView({5, 300, 2});  // must not create a file named by the empty path
    EXPECT_EQ(shown(loadView()), "700 300 2");
    lstrcpynW(settingsFile().path, saved, kPathCapacity);
}

}  // namespace
