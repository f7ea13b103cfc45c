// gdiplus.dll and comdlg32.dll come from the system folder only: a file of either name planted
// beside the program (a downloads folder, a shared drive) is never loaded, and without either
// library the thumbnail export ends quietly while everything else goes on.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/clipboard_access.h"
#include "tests/support/e2e.h"
#include "tests/support/gdiplus_files.h"
#include "tests/support/gdiplus_override.h"
#include "tests/support/thumbnail_dialog.h"
#include "tests/support/zoom_view.h"

namespace {

using e2e::Program;

std::string plantedDll() {
    return e2e::testProgramFolder() + "\\gdiplus_planted.dll";
}

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

// Rows: the libraries the thumbnail export loads at run time.
class ExportLibrary : public ::testing::TestWithParam<const char*> {};

TEST_P(ExportLibrary, PlantedBesideTheProgramIsNeverLoadedAndTheExportWorks) {
    Program program;
    std::string planted = program.folder() + "\\" + GetParam() + ".dll";
    ASSERT_TRUE(CopyFileA(plantedDll().c_str(), planted.c_str(), FALSE));
    e2e::ProgramDllOverride preferFound(GetParam(), "native,builtin");
    ASSERT_TRUE(preferFound.set());
    // Its current folder is the program's folder too.
    HWND zoom = e2e::startAndMagnify(program, 960, 540);
    ASSERT_NE(zoom, nullptr);
    const std::string saved = program.folder() + "\\export";
    ASSERT_TRUE(e2e::exportThumbnail(program, zoom, saved));
    e2e::PixelGrid picture;
    ASSERT_TRUE(e2e::decodePictureFile(saved + ".jpg", &picture));
    EXPECT_EQ(picture.width, 250);
    EXPECT_EQ(picture.height, 200);
    EXPECT_FALSE(e2e::fileExists(planted + ".loaded"));
}

TEST_P(ExportLibrary, MissingThumbnailEndsWithoutDialogOrFileAndTheRestWorks) {
    e2e::ProgramDllOverride disabled(GetParam(), "");
    ASSERT_TRUE(disabled.set());
    Program program;
    HWND zoom = e2e::startAndMagnify(program, 960, 540);
    ASSERT_NE(zoom, nullptr);

    ASSERT_TRUE(e2e::postKeyDown(zoom, 'T'));
    EXPECT_TRUE(e2e::waitForZoomWindowHidden(program));
    ASSERT_TRUE(program.handledAllPosted());
    EXPECT_EQ(e2e::waitForDialog(program.processId(), 0), nullptr);

    // The clipboard exports need neither library.
    zoom = e2e::startAndMagnify(program, 960, 540);
    ASSERT_NE(zoom, nullptr);
    ASSERT_TRUE(e2e::placeClipboardText("before"));
    ASSERT_TRUE(e2e::sendKeyDown(zoom, 'P'));
    EXPECT_EQ(e2e::clipboardText().blockSize, 7u);

    DWORD code = 1;
    ASSERT_TRUE(program.exitByCommand(&code));
    EXPECT_EQ(code, 0u);
}

INSTANTIATE_TEST_SUITE_P(Libraries, ExportLibrary, ::testing::Values("gdiplus", "comdlg32"));

}  // namespace
