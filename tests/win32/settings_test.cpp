#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/process_objects.h"
#include "settings/settings.h"
#include "magnifier/magnifier_window.h"
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

TEST_F(SettingsFile, ReadsValuesAsTheRulesSay) {
    store("cx", "");
    store("a", "abc");
    store("b", "12abc");
    store("c", "-5");
    store("d", "99999999999");
    EXPECT_EQ(readSetting("cx", 700), 700);
    EXPECT_EQ(readSetting("a", 700), 0);
    EXPECT_EQ(readSetting("b", 700), 12);
    EXPECT_EQ(readSetting("c", 700), -5);
    EXPECT_EQ(readSetting("d", 700), 2147483647);
    EXPECT_EQ(readSetting("missing", 33), 33);
}

TEST_F(SettingsFile, BoundsApplyUpperFirst) {
    store("z", "20");
    EXPECT_EQ(readProfileInt("Program", "z", 2, 1, 16), 16);
    store("z", "-3");
    EXPECT_EQ(readProfileInt("Program", "z", 2, 1, 16), 1);
    store("z", "7");
    EXPECT_EQ(readProfileInt("Program", "z", 2, 10, 5), 10);
    EXPECT_EQ(readProfileInt("Program", "z", 2, -1, 5), 7);
}

TEST_F(SettingsFile, WritesDecimalText) {
    writeSetting("cx", -1);
    EXPECT_EQ(stored("cx"), "-1");
    writeSetting("cx", 2147483647);
    EXPECT_EQ(stored("cx"), "2147483647");
}

// Quotes around a value read the same but would be gone after a rewrite.
TEST_F(SettingsFile, SaveViewSettingsWritesOnlyWhatDiffersFromTheFile) {
    magnifier.viewWidth = 640;
    magnifier.viewHeight = 200;
    magnifier.zoom = 3;
    store("cx", "\"640\"");
    store("cy", "\"200\"");
    store("zoom", "\"3\"");
    const std::string same = fileBytes();
    saveViewSettings(magnifier.viewWidth, magnifier.viewHeight, magnifier.zoom);
    EXPECT_EQ(fileBytes(), same);
    store("cx", "1");
    saveViewSettings(magnifier.viewWidth, magnifier.viewHeight, magnifier.zoom);
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
    EXPECT_EQ(readSetting("cx", 700), 700);
    writeSetting("cx", 5);
    writeSetting("zoom", 4);
    EXPECT_EQ(stored("cx"), "900");
    EXPECT_EQ(stored("zoom"), "<none>");
}

TEST(SettingsWithoutPath, ReadsDefaultsAndWritesNothing) {
    wchar_t saved[kPathCapacity];
    lstrcpynW(saved, settingsFile().path, kPathCapacity);
    settingsFile().path[0] = L'\0';
    EXPECT_EQ(readSetting("cx", 700), 700);
    writeSetting("cx", 5);  // must not create a file named by the empty path
    EXPECT_EQ(readSetting("cx", 700), 700);
    lstrcpynW(settingsFile().path, saved, kPathCapacity);
}

}  // namespace
