// Key T against a known picture on the screen: the save dialog, the 250 x 200 JPEG with its
// white margins and watermark, decoded again with GDI+ in the test's own process, and every
// way the export can end without a file.
#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/clipboard_access.h"
#include "tests/support/e2e.h"
#include "tests/support/gdi_counter.h"
#include "tests/support/gdiplus_files.h"
#include "tests/support/gdiplus_override.h"
#include "tests/support/screen_pattern.h"
#include "tests/support/thumbnail_dialog.h"
#include "tests/support/wine_debug_launch.h"
#include "tests/support/zoom_view.h"

namespace {

using e2e::PixelGrid;
using e2e::Program;

constexpr uint32_t kTopLeft = 0xFFC82828u;  // as 0xAARRGGBB
constexpr uint32_t kTopRight = 0xFF2828C8u;
constexpr uint32_t kBottomLeft = 0xFF28A028u;
constexpr uint32_t kBottomRight = 0xFFE6D228u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kNeutralGrey = 0xFF808080u;
constexpr uint32_t kOpaqueCover = 0xFF3050A0u;
constexpr int kJpegTolerance = 32;
// A name outside every ANSI code page, which the A functions would see as "?".
const char kScriptFileName[] = "Zdj\u0119cie \u5199\u771f";
// JPEG codes the picture in 16 x 16 blocks with halved colour resolution, which smears a
// colour edge over the whole block that holds it; the halftone stretch blurs an edge by a
// pixel or two besides. Blocks near an edge are left out of the comparisons.
constexpr int kJpegBlock = 16;
constexpr int kBlurSlack = 4;

// A colour laid over another with the given opacity (0..255), as GDI+ blends.
uint32_t blend(uint32_t under, uint32_t over, int alpha) {
    uint32_t result = 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        int u = (under >> shift) & 0xFF;
        int o = (over >> shift) & 0xFF;
        result |= static_cast<uint32_t>((o * alpha + u * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

// What a thumbnail pixel must show; nullopt-like false where it is too near an edge to tell.
using Expectation = std::function<bool(int x, int y, uint32_t* colour)>;

// Counts the pixels that differ from the expectation by more than the tolerance.
int mismatches(const PixelGrid& picture, const Expectation& expected, std::string* report) {
    int count = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            uint32_t colour = 0;
            if (!expected(x, y, &colour)) {
                continue;
            }
            if (e2e::channelDistance(picture.argb(x, y), colour) <= kJpegTolerance) {
                continue;
            }
            if (++count <= 5) {
                char line[120];
                snprintf(line, sizeof(line), "(%d,%d): expected %06X, got %06X\n", x, y,
                         e2e::rgbOf(colour), e2e::rgbOf(picture.argb(x, y)));
                *report += line;
            }
        }
    }
    return count;
}

bool nearEdge(int value, int edge) {
    const int blockStart = value / kJpegBlock * kJpegBlock;
    return edge > blockStart - kBlurSlack && edge < blockStart + kJpegBlock + kBlurSlack;
}

// Cursor at (960, 540), view 700 x 300 at zoom 2: the view shows the screen from (785, 465)
// to (1135, 615), its quadrants meet at view (350, 150). Fitted into the thumbnail at
// (0, 46)-(250, 153), they meet at (125, 99.5); the margins above and below are white.
bool centredQuadrants(int x, int y, uint32_t* colour) {
    if (nearEdge(y, 46) || nearEdge(y, 153)) {
        return false;
    }
    if (y < 46 || y >= 153) {
        *colour = kWhite;
        return true;
    }
    if (nearEdge(x, 125) || nearEdge(y, 100)) {
        return false;
    }
    bool right = x >= 125;
    bool bottom = y >= 100;
    *colour = bottom ? (right ? kBottomRight : kBottomLeft) : (right ? kTopRight : kTopLeft);
    return true;
}

bool coveredAll(int, int, uint32_t* colour) {
    *colour = kOpaqueCover;
    return true;
}

// A 64 KiB tmpfs over an empty folder while the object lives; mounting needs root.
class SmallDisk {
  public:
    explicit SmallDisk(const std::string& folder) : unixFolder_(e2e::unixPathOf(folder)) {
        mounted_ = !unixFolder_.empty() &&
                   e2e::runUnixShell("mount -t tmpfs -o size=64k tmpfs '" + unixFolder_ + "'") == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            e2e::runUnixShell("umount '" + unixFolder_ + "' || umount -l '" + unixFolder_ + "'");
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }

  private:
    std::string unixFolder_;
    bool mounted_ = false;
};

// Plays a scanner: opens the new file for reading with all sharing, as such tools do, as
// soon as it appears, and holds it 200 ms.
struct Scanner {
    std::wstring path;
    std::atomic<bool> stop{false};
    std::atomic<bool> held{false};
    static DWORD WINAPI run(void* self) {
        auto& scanner = *static_cast<Scanner*>(self);
        for (; !scanner.stop && !scanner.held; Sleep(1)) {
            HANDLE file = CreateFileW(scanner.path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                scanner.held = true;
                Sleep(200);
                CloseHandle(file);
            }
        }
        return 0;
    }
};

class ThumbnailExport : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(topLeft_.waitUntilVisible());
        ASSERT_TRUE(topRight_.waitUntilVisible());
        ASSERT_TRUE(bottomLeft_.waitUntilVisible());
        ASSERT_TRUE(bottomRight_.waitUntilVisible());
        saveFolder_ = e2e::makeTempFolder("thumbnail");
        ASSERT_FALSE(saveFolder_.empty());
        // The program, and so its watermark, lives in a folder named in several scripts.
        programParent_ = e2e::makeTempFolder("thumbnail-program");
        const std::string programFolder = e2e::makeSubfolder(programParent_, e2e::kAnyScriptName);
        ASSERT_FALSE(programFolder.empty());
        program_ = std::make_unique<Program>(programFolder);
    }
    void TearDown() override {
        program_.reset();
        e2e::removeFolder(programParent_);
        e2e::removeFolder(saveFolder_);
    }

    void showZoomAt(int x, int y) {
        zoom_ = e2e::startAndMagnify(*program_, x, y);
        ASSERT_NE(zoom_, nullptr);
    }
    std::string savePath(const char* name) const { return saveFolder_ + "\\" + name; }
    std::string watermarkPath() const { return program_->folder() + "\\water.png"; }

    // Exports with the typed path and decodes the file that must appear at savedName.
    PixelGrid exportAndDecode(const char* typedName, const char* savedName) {
        PixelGrid picture;
        EXPECT_TRUE(e2e::exportThumbnail(*program_, zoom_, savePath(typedName)));
        EXPECT_TRUE(e2e::decodePictureFile(savePath(savedName), &picture)) << savedName;
        return picture;
    }
    // The view at the screen's centre exported as name, saved as name.jpg, and the picture
    // compared with expected.
    void expectCentreExport(const char* name, const Expectation& expected) {
        showZoomAt(960, 540);
        PixelGrid saved = exportAndDecode(name, (std::string(name) + ".jpg").c_str());
        std::string report;
        EXPECT_EQ(mismatches(saved, expected, &report), 0) << name << ": " << report;
    }
    // The message of a save onto `path` that failed for `reason`, in front of the program's own
    // window; closed once read.
    void expectFailureMessage(const std::string& path, const wchar_t* reason) {
        HWND box = e2e::waitForDialog(program_->processId());
        ASSERT_NE(box, nullptr) << "a failed save says so";
        EXPECT_EQ(GetWindow(box, GW_OWNER), program_->mainWindow());
        EXPECT_EQ(e2e::messageBoxText(box),
                  L"The thumbnail could not be saved:\n" + e2e::widen(path) + L"\n\n" + reason);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(e2e::waitUntilGone(box));
    }
    // An export onto folder\\shot.jpg, which holds `old`, that must fail: the file stays as it
    // was and nothing but `expectedFiles` is left in the folder.
    void expectFailedExportKeeps(const std::string& folder, const std::vector<uint8_t>& old,
                                 const std::vector<std::string>& expectedFiles) {
        EXPECT_EQ(e2e::readFileBytes(folder + "\\shot.jpg"), old);
        EXPECT_EQ(e2e::folderEntries(folder), expectedFiles);
        EXPECT_TRUE(program_->running());
    }

    e2e::ScreenPattern topLeft_{RECT{0, 0, 960, 540}, e2e::colourRefOf(kTopLeft)};
    e2e::ScreenPattern topRight_{RECT{960, 0, 1920, 540}, e2e::colourRefOf(kTopRight)};
    e2e::ScreenPattern bottomLeft_{RECT{0, 540, 960, 1080}, e2e::colourRefOf(kBottomLeft)};
    e2e::ScreenPattern bottomRight_{RECT{960, 540, 1920, 1080}, e2e::colourRefOf(kBottomRight)};
    std::string saveFolder_;
    std::string programParent_;
    std::unique_ptr<Program> program_;
    HWND zoom_ = nullptr;
};

TEST_F(ThumbnailExport, HidesTheZoomWindowAndOpensTheSaveDialog) {
    showZoomAt(960, 540);
    ASSERT_TRUE(e2e::postKeyDown(zoom_, 'T'));
    HWND dialog = e2e::waitForDialog(program_->processId());
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(zoom_));
    // Owned by the main window, which holds the foreground meanwhile: in front, with the keys.
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), program_->mainWindow());
    char title[64] = {};
    GetWindowTextA(dialog, title, sizeof(title));
    EXPECT_STREQ(title, "Save As");
    HWND field = e2e::fileNameField(dialog);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(GetWindowTextLengthA(field), 0);
    e2e::cancelDialog(dialog);
    EXPECT_TRUE(e2e::waitUntilGone(dialog));
}

TEST_F(ThumbnailExport, SavesTheFittedViewWithWhiteMarginsAtThePathWithJpg) {
    showZoomAt(960, 540);
    PixelGrid saved = exportAndDecode("shot", "shot.jpg");
    ASSERT_EQ(saved.width, 250);
    ASSERT_EQ(saved.height, 200);
    std::string report;
    EXPECT_EQ(mismatches(saved, centredQuadrants, &report), 0) << report;
    EXPECT_FALSE(e2e::fileExists(savePath("shot")));
    EXPECT_FALSE(IsWindowVisible(zoom_));
    EXPECT_TRUE(program_->running());
}

TEST_F(ThumbnailExport, KeepsAJpgExtensionInAnyCaseAndAddsOneToOthers) {
    showZoomAt(960, 540);
    exportAndDecode("upper.JPG", "upper.JPG");
    showZoomAt(960, 540);
    exportAndDecode("picture.bmp", "picture.bmp.jpg");
}

// Near the bottom-right corner the stretch is cut; the view's neutral margins are part of
// the picture.
TEST_F(ThumbnailExport, ShowsTheViewsNeutralMarginsInsideTheFittedView) {
    showZoomAt(1800, 1050);  // view source (1625, 975) 294 x 104 onto 588 x 208
    PixelGrid saved = exportAndDecode("edge", "edge.jpg");
    ASSERT_EQ(saved.width, 250);
    std::string report;
    // In the thumbnail, view x 588 is 210, view y 208 is 46 + 74.2.
    Expectation expected = [](int x, int y, uint32_t* colour) {
        if (nearEdge(y, 46) || nearEdge(y, 153) || nearEdge(x, 210) || nearEdge(y, 120)) {
            return false;
        }
        if (y < 46 || y >= 153) {
            *colour = kWhite;
        } else {
            *colour = (x < 210 && y < 120) ? kBottomRight : kNeutralGrey;
        }
        return true;
    };
    EXPECT_EQ(mismatches(saved, expected, &report), 0) << report;
}

TEST_F(ThumbnailExport, WatermarkTintsTheWholePictureMarginsIncluded) {
    const uint32_t tint = 0x8000FF00u;  // green, alpha 128
    ASSERT_TRUE(e2e::writePngFile(watermarkPath(), PixelGrid(250, 200, tint)));
    showZoomAt(960, 540);
    PixelGrid saved = exportAndDecode("tinted", "tinted.jpg");
    ASSERT_EQ(saved.width, 250);
    std::string report;
    Expectation expected = [&](int x, int y, uint32_t* colour) {
        uint32_t under = 0;
        if (!centredQuadrants(x, y, &under)) {
            return false;
        }
        *colour = blend(under, tint, 128);
        return true;
    };
    EXPECT_EQ(mismatches(saved, expected, &report), 0) << report;
}

TEST_F(ThumbnailExport, WatermarkAddedWhileRunningIsTakenByTheNextExport) {
    expectCentreExport("before", centredQuadrants);
    ASSERT_TRUE(e2e::writePngFile(watermarkPath(), PixelGrid(250, 200, kOpaqueCover)));
    expectCentreExport("after", coveredAll);
}

TEST_F(ThumbnailExport, SavesANameInAnyScriptBesideTheProgramWithItsWatermark) {
    ASSERT_TRUE(e2e::writePngFile(watermarkPath(), PixelGrid(250, 200, kOpaqueCover)));
    showZoomAt(960, 540);
    const std::string typed = program_->folder() + "\\" + kScriptFileName;
    ASSERT_TRUE(e2e::exportThumbnail(*program_, zoom_, typed));
    PixelGrid saved;
    ASSERT_TRUE(e2e::decodePictureFile(typed + ".jpg", &saved));
    std::string report;
    EXPECT_EQ(mismatches(saved, coveredAll, &report), 0) << report;
}

TEST_F(ThumbnailExport, CorruptOrOversizedWatermarkIsLeftOut) {
    const unsigned char bytes[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I'};
    ASSERT_TRUE(e2e::writeFileBytes(watermarkPath(), bytes, sizeof(bytes)));
    expectCentreExport("plain", centredQuadrants);
    // Wider than 4096 pixels; drawn, it would cover the whole picture.
    ASSERT_TRUE(e2e::writePngFile(watermarkPath(), PixelGrid(5000, 100, kOpaqueCover)));
    expectCentreExport("wide", centredQuadrants);
}

TEST_F(ThumbnailExport, CancelWritesNothingAndLeavesTheWindowHidden) {
    showZoomAt(960, 540);
    ASSERT_TRUE(e2e::cancelThumbnail(*program_, zoom_));
    EXPECT_EQ(e2e::waitForDialog(program_->processId(), 0), nullptr) << "no message";
    EXPECT_TRUE(e2e::folderEntries(saveFolder_).empty());
    EXPECT_FALSE(IsWindowVisible(zoom_));
    EXPECT_TRUE(program_->running());
}

// /proc takes no new files, whoever asks: a folder that really cannot be written to, also
// for root under Wine, which ignores read-only attributes.
TEST_F(ThumbnailExport, UnwritableFolderWritesNothingAndTheProgramRunsOn) {
    showZoomAt(960, 540);
    ASSERT_TRUE(e2e::fileExists("Z:\\proc\\self"));
    const std::string path = "Z:\\proc\\vistrel-thumbnail";
    ASSERT_TRUE(e2e::exportThumbnail(*program_, zoom_, path));
    // Wine names no reason here the user could act on (Windows has no such folder).
    ASSERT_NO_FATAL_FAILURE(expectFailureMessage(path + ".jpg", L"The file could not be written."));
    EXPECT_FALSE(e2e::fileExists(path + ".jpg"));
    EXPECT_TRUE(program_->running());
    // And the next export works.
    showZoomAt(960, 540);
    PixelGrid saved = exportAndDecode("next", "next.jpg");
    EXPECT_EQ(saved.width, 250);
}

TEST_F(ThumbnailExport, ReplacesAnExistingFileWithoutAQuestion) {
    ASSERT_TRUE(e2e::writeFileBytes(savePath("old.jpg"), "old content", 11));
    // A file of the user's under the first temporary name is passed over, not replaced.
    ASSERT_TRUE(e2e::writeFileBytes(savePath("old.~00"), "mine", 4));
    showZoomAt(960, 540);
    PixelGrid saved = exportAndDecode("old.jpg", "old.jpg");
    EXPECT_EQ(saved.width, 250);
    EXPECT_EQ(saved.height, 200);
    EXPECT_EQ(e2e::folderEntries(saveFolder_), (std::vector<std::string>{"old.jpg", "old.~00"}));
    EXPECT_EQ(e2e::readFileBytes(savePath("old.~00")), (std::vector<uint8_t>{'m', 'i', 'n', 'e'}));
}

TEST_F(ThumbnailExport, TargetHeldOpenByAnotherProgramStaysAsItWas) {
    const std::vector<uint8_t> old(3000, 0x5A);
    ASSERT_TRUE(e2e::writeFileBytes(savePath("shot.jpg"), old.data(), old.size()));
    HANDLE held = CreateFileW(e2e::widen(savePath("shot.jpg")).c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    showZoomAt(960, 540);
    const bool exported = e2e::exportThumbnail(*program_, zoom_, savePath("shot"));
    if (exported) {
        expectFailureMessage(savePath("shot.jpg"),
                             L"Another program has the file open. Close it "
                             L"there, or choose another name.");
    }
    CloseHandle(held);
    ASSERT_TRUE(exported);
    expectFailedExportKeeps(saveFolder_, old, {"shot.jpg"});
}

TEST_F(ThumbnailExport, SavesWhileAScannerHoldsTheNewFileAndLeavesNoTemporaryFile) {
    showZoomAt(960, 540);
    Scanner scanner{e2e::widen(savePath("held.~00"))};
    HANDLE thread = CreateThread(nullptr, 0, &Scanner::run, &scanner, 0, nullptr);
    PixelGrid saved = exportAndDecode("held", "held.jpg");
    scanner.stop = true;
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    EXPECT_TRUE(scanner.held);
    EXPECT_EQ(saved.width, 250);
    EXPECT_EQ(saved.height, 200);
    EXPECT_EQ(e2e::folderEntries(saveFolder_), std::vector<std::string>{"held.jpg"});
}

// The disk fills up part-way through the picture: a noisy watermark makes it far larger than
// the page left free.
TEST_F(ThumbnailExport, FullDiskLeavesTheExistingFileAsItWas) {
    const std::string disk = e2e::makeSubfolder(saveFolder_, "disk");
    ASSERT_FALSE(disk.empty());
    SmallDisk smallDisk(disk);
    if (!smallDisk.mounted()) {
        GTEST_SKIP() << "no full disk to test with: mounting a small tmpfs needs root";
    }
    PixelGrid noise(250, 200, 0);
    uint32_t seed = 12345;
    for (uint32_t& pixel : noise.pixels) {
        seed = seed * 1664525u + 1013904223u;
        pixel = 0xFF000000u | (seed >> 8);
    }
    ASSERT_TRUE(e2e::writePngFile(watermarkPath(), noise));
    const std::vector<uint8_t> old(3000, 0x5A);
    ASSERT_TRUE(e2e::writeFileBytes(disk + "\\shot.jpg", old.data(), old.size()));
    ULARGE_INTEGER freeBytes = {};
    ASSERT_TRUE(GetDiskFreeSpaceExW(e2e::widen(disk).c_str(), &freeBytes, nullptr, nullptr));
    ASSERT_GT(freeBytes.QuadPart, 4096u);
    const std::vector<uint8_t> filler(freeBytes.QuadPart - 4096, 0);
    ASSERT_TRUE(e2e::writeFileBytes(disk + "\\filler", filler.data(), filler.size()));
    showZoomAt(960, 540);
    ASSERT_TRUE(e2e::exportThumbnail(*program_, zoom_, disk + "\\shot"));
    expectFailureMessage(disk + "\\shot.jpg", L"There is not enough space on the disk.");
    expectFailedExportKeeps(disk, old, {"filler", "shot.jpg"});
}

// The save dialog fills its file list and the shell's icon caches in the background, a while
// after it appears; the first dialog is left open until the program's count is at rest, so
// that those one-time caches belong to the first export. After that, neither composing the
// picture nor a cancelled dialog may leave anything behind.
TEST(ThumbnailExportGdi, CancelledExportsLeaveTheCountWhereItWas) {
    e2e::GdiCounter counter;
    Program program;
    ASSERT_TRUE(counter.start(program));

    HWND zoom = e2e::magnifyNow(program);
    ASSERT_NE(zoom, nullptr);
    ASSERT_TRUE(e2e::postKeyDown(zoom, 'T'));
    HWND dialog = e2e::waitForDialog(program.processId());
    ASSERT_NE(dialog, nullptr);
    ASSERT_GT(counter.settledCount(1000), 0);
    e2e::cancelDialog(dialog);
    ASSERT_TRUE(e2e::waitUntilGone(dialog));
    const long afterFirst = counter.settledCount();
    ASSERT_GT(afterFirst, 0);

    for (int i = 1; i < e2e::soakOr(4, 50); ++i) {
        zoom = e2e::magnifyNow(program);
        ASSERT_NE(zoom, nullptr) << i;
        ASSERT_TRUE(e2e::cancelThumbnail(program, zoom)) << i;
    }
    EXPECT_EQ(counter.settledCount(), afterFirst) << "after cancelled exports";
}

}  // namespace
