#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "settings/settings.h"
#include "magnifier/magnifier_window.h"
#include "tests/support/e2e.h"

namespace {

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = e2e::makeTempFolder("settings");
        path_ = folder_ + "\\zoom.ini";
        lstrcpynA(appState.settingsPath, path_.c_str(), MAX_PATH);
    }
    void TearDown() override {
        appState.settingsPath[0] = '\0';
        e2e::removeFolder(folder_);
    }
    void store(const char* key, const char* text) {
        WritePrivateProfileStringA("Program", key, text, path_.c_str());
    }
    std::string stored(const char* key) {
        char text[64] = {};
        GetPrivateProfileStringA("Program", key, "<none>", text, sizeof(text), path_.c_str());
        return text;
    }
    std::string folder_;
    std::string path_;
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

TEST_F(SettingsFile, SaveViewSettingsWritesAllThreeEvenUnchanged) {
    magnifier.viewWidth = 640;
    magnifier.viewHeight = 200;
    magnifier.zoom = 3;
    saveViewSettings();
    EXPECT_EQ(stored("cx"), "640");
    EXPECT_EQ(stored("cy"), "200");
    EXPECT_EQ(stored("zoom"), "3");
    store("cx", "1");
    saveViewSettings();
    EXPECT_EQ(stored("cx"), "640");
}

TEST(SettingsWithoutPath, ReadsDefaultsAndWritesNothing) {
    char saved[MAX_PATH];
    lstrcpynA(saved, appState.settingsPath, MAX_PATH);
    appState.settingsPath[0] = '\0';
    EXPECT_EQ(readSetting("cx", 700), 700);
    writeSetting("cx", 5);  // must not create a file named by the empty path
    EXPECT_EQ(readSetting("cx", 700), 700);
    lstrcpynA(appState.settingsPath, saved, MAX_PATH);
}

}  // namespace
