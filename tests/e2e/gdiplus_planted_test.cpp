#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/harness/e2e.h"
#include "tests/e2e/harness/gdiplus_files.h"

namespace {

using e2e::Program;

std::string plantedDll() {
    return e2e::testProgramFolder() + "\\gdiplus_planted.dll";
}

// Wine prefers its own gdiplus to a file of that name wherever it is found; Windows takes the
// first gdiplus.dll on the search path. Meanwhile vistrel.exe loads as Windows would (Wine's
// per-program override; Windows does not read this key).
class PreferFoundGdiplus {
  public:
    PreferFoundGdiplus() {
        RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_,
                        nullptr);
        if (key_ != nullptr) {
            static const char kOrder[] = "native,builtin";
            RegSetValueExA(key_, "gdiplus", 0, REG_SZ, reinterpret_cast<const BYTE*>(kOrder),
                           sizeof(kOrder));
        }
    }
    ~PreferFoundGdiplus() {
        if (key_ != nullptr) {
            RegDeleteValueA(key_, "gdiplus");
            RegCloseKey(key_);
        }
    }
    bool set() const { return key_ != nullptr; }

  private:
    static constexpr const char* kKey = "Software\\Wine\\AppDefaults\\vistrel.exe\\DllOverrides";
    HKEY key_ = nullptr;
};

// Proves the marker: a process that loads the stand-in leaves the file beside it.
TEST(PlantedGdiplus, LeavesAMarkerWhenLoaded) {
    std::string folder = e2e::makeTempFolder("planted");
    std::string copy = folder + "\\stand-in.dll";
    ASSERT_TRUE(CopyFileA(plantedDll().c_str(), copy.c_str(), FALSE));
    HMODULE loaded = LoadLibraryA(copy.c_str());
    ASSERT_NE(loaded, nullptr);
    FreeLibrary(loaded);
    EXPECT_TRUE(e2e::fileExists(copy + ".loaded"));
    e2e::removeFolder(folder);
}

TEST(PlantedGdiplus, BesideTheProgramIsNeverLoaded) {
    Program program;
    std::string planted = program.folder() + "\\gdiplus.dll";
    ASSERT_TRUE(CopyFileA(plantedDll().c_str(), planted.c_str(), FALSE));
    PreferFoundGdiplus preferFound;
    ASSERT_TRUE(preferFound.set());
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    e2e::pumpFor(300);
    EXPECT_TRUE(program.running());
    EXPECT_FALSE(e2e::fileExists(planted + ".loaded"));
}

}  // namespace
