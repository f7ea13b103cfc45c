#include "base/win/system_library.h"
#include "picture/gdiplus_loader.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "tests/support/e2e.h"
#include "tests/support/gdiplus_files.h"

namespace {

using e2e::PixelGrid;

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kYellow = 0xFFFFFF00u;
constexpr int kJpegTolerance = 24;

std::string lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

PixelGrid halves(int width, int height, uint32_t left, uint32_t right) {
    PixelGrid picture(width, height, left);
    for (int y = 0; y < height; ++y) {
        for (int x = width / 2; x < width; ++x) {
            picture.set(x, y, right);
        }
    }
    return picture;
}

PixelGrid quadrants(int width, int height) {
    PixelGrid picture(width, height, kRed);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool right = x >= width / 2;
            bool bottom = y >= height / 2;
            picture.set(x, y, bottom ? (right ? kYellow : kGreen) : (right ? kBlue : kRed));
        }
    }
    return picture;
}

// A 32-bit surface with its own device context, for drawImage.
class Surface {
  public:
    Surface(int width, int height, uint32_t fill)
        : dc_(CreateCompatibleDC(nullptr)),
          bitmap_(e2e::makeBitmap(PixelGrid(width, height, fill))) {
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Surface() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    PixelGrid pixels() const {
        GdiFlush();
        return e2e::gridFromBitmap(bitmap_);
    }

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

class GdiplusLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(e2e::gdiplusAvailable());
        parent_ = e2e::makeTempFolder("gdiplus");
        // Outside every ANSI code page: the paths must reach GDI+ unchanged.
        folder_ = e2e::makeSubfolder(parent_, "\u0141\u00f3d\u017a \u5de5\u5177");
        ASSERT_FALSE(folder_.empty());
    }
    void TearDown() override { e2e::removeFolder(parent_); }
    std::string path(const char* name) const { return folder_ + "\\" + name; }
    std::string pngOf(const char* name, const PixelGrid& picture) const {
        std::string file = path(name);
        EXPECT_TRUE(e2e::writePngFile(file, picture));
        return file;
    }
    // The loader's image, written to a file and decoded again by the test's own GDI+ use.
    PixelGrid savedPicture(GdiplusLoader& loader, const char* name) const {
        PixelGrid picture;
        EXPECT_TRUE(
            loader.saveImageToFile(e2e::widen(path(name)).c_str(), 90, &kJpegEncoderClassId));
        EXPECT_TRUE(e2e::decodePictureFile(path(name), &picture));
        return picture;
    }
    std::string parent_;
    std::string folder_;
};

std::string modulePathOf(HMODULE module) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    return lower(path);
}

std::string systemPathOf(const char* name) {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return lower(std::string(folder) + "\\" + name);
}

TEST(SystemLibrary, BothWaysLoadFromTheSystemFolder) {
    for (auto load : {&loadSystemLibrary, &loadSystemLibraryByPath}) {
        HMODULE library = load("gdiplus.dll");
        ASSERT_NE(library, nullptr);
        EXPECT_EQ(modulePathOf(library), systemPathOf("gdiplus.dll"));
        FreeLibrary(library);
        EXPECT_EQ(load("no-such-library.dll"), nullptr);
    }
}

// Hardened as the program hardens itself before anything else, a library copied beside the
// test program, or into the current folder, loads by its full path but never by its bare name.
TEST(SystemLibrary, NothingLoadsByBareNameFromTheProgramsOrTheCurrentFolder) {
    ASSERT_TRUE(restrictLibrarySearch());
    const std::string name = "vistrel-beside-" + std::to_string(GetCurrentProcessId()) + ".dll";
    const std::string planted = e2e::testProgramFolder() + "\\gdiplus_planted.dll";
    const std::string temp = e2e::makeTempFolder("current");
    char previous[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(temp.c_str()));
    for (const std::string& folder : {e2e::testProgramFolder(), temp}) {
        const std::string copy = folder + "\\" + name;
        if (!CopyFileA(planted.c_str(), copy.c_str(), FALSE)) {
            ADD_FAILURE() << "cannot copy to " << copy;
            continue;
        }
        HMODULE byName = LoadLibraryA(name.c_str());
        EXPECT_EQ(byName, nullptr) << folder;
        EXPECT_FALSE(e2e::fileExists(copy + ".loaded")) << folder;
        if (byName != nullptr) {
            FreeLibrary(byName);
        }
        HMODULE byPath = LoadLibraryA(copy.c_str());
        EXPECT_NE(byPath, nullptr) << copy;
        if (byPath != nullptr) {
            FreeLibrary(byPath);
        }
        DeleteFileA(copy.c_str());
        DeleteFileA((copy + ".loaded").c_str());
    }
    SetCurrentDirectoryA(previous);
    e2e::removeFolder(temp);
}

TEST(SystemLibrary, RefusesANameTooLongForAPath) {
    std::string name(MAX_PATH, 'a');
    EXPECT_EQ(loadSystemLibraryByPath(name.c_str()), nullptr);
}

TEST_F(GdiplusLoaderTest, LoadsAPngAndScalesItOverTheWholeRectangle) {
    std::string png = pngOf("halves.png", halves(100, 50, kRed, kBlue));
    GdiplusLoader loader;
    ASSERT_TRUE(loader.loadImageFromFile(e2e::widen(png).c_str()));
    ASSERT_NE(loader.image(), nullptr);
    uint32_t width = 0, height = 0;
    EXPECT_TRUE(loader.imageSize(&width, &height));
    EXPECT_EQ(width, 100u);
    EXPECT_EQ(height, 50u);
    Surface surface(250, 200, kGreen);
    EXPECT_TRUE(loader.drawImage(surface.dc(), 0, 0, 250, 200, loader.image()));
    PixelGrid drawn = surface.pixels();
    const struct {
        int x, y;
        uint32_t colour;
    } probes[] = {{4, 4, kRed},    {60, 100, kRed},   {4, 195, kRed},   {120, 195, kRed},
                  {130, 4, kBlue}, {190, 100, kBlue}, {245, 195, kBlue}};
    for (const auto& probe : probes) {
        EXPECT_LE(e2e::channelDistance(drawn.argb(probe.x, probe.y), probe.colour), 40)
            << probe.x << "," << probe.y << " " << std::hex << drawn.argb(probe.x, probe.y);
    }
}

TEST_F(GdiplusLoaderTest, DrawsIntoTheGivenRectangleOnly) {
    std::string png = pngOf("red.png", PixelGrid(10, 10, kRed));
    GdiplusLoader loader;
    ASSERT_TRUE(loader.loadImageFromFile(e2e::widen(png).c_str()));
    Surface surface(100, 100, kGreen);
    EXPECT_TRUE(loader.drawImage(surface.dc(), 20, 30, 60, 90, loader.image()));
    PixelGrid drawn = surface.pixels();
    EXPECT_LE(e2e::channelDistance(drawn.argb(40, 60), kRed), 8);
    EXPECT_EQ(e2e::rgbOf(drawn.argb(10, 60)), e2e::rgbOf(kGreen));
    EXPECT_EQ(e2e::rgbOf(drawn.argb(70, 60)), e2e::rgbOf(kGreen));
    EXPECT_EQ(e2e::rgbOf(drawn.argb(40, 20)), e2e::rgbOf(kGreen));
    EXPECT_EQ(e2e::rgbOf(drawn.argb(40, 95)), e2e::rgbOf(kGreen));
}

TEST_F(GdiplusLoaderTest, SavesTheBitmapItWasGivenAsJpeg) {
    HBITMAP bitmap = e2e::makeBitmap(quadrants(250, 200));
    GdiplusLoader loader;
    ASSERT_EQ(loader.createBitmapFromHbitmap(bitmap), kGdiplusOk);
    DeleteObject(bitmap);  // the loader holds its own copy
    ASSERT_NE(loader.image(), nullptr);
    std::string file = path("quadrants.jpg");
    ASSERT_TRUE(loader.saveImageToFile(e2e::widen(file).c_str(), 75, &kJpegEncoderClassId));
    EXPECT_NE(loader.image(), nullptr);  // kept after saving

    std::vector<uint8_t> bytes = e2e::readFileBytes(file);
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    PixelGrid saved;
    ASSERT_TRUE(e2e::decodePictureFile(file, &saved));
    EXPECT_EQ(saved.width, 250);
    EXPECT_EQ(saved.height, 200);
    EXPECT_LE(e2e::channelDistance(saved.argb(60, 50), kRed), kJpegTolerance);
    EXPECT_LE(e2e::channelDistance(saved.argb(190, 50), kBlue), kJpegTolerance);
    EXPECT_LE(e2e::channelDistance(saved.argb(60, 150), kGreen), kJpegTolerance);
    EXPECT_LE(e2e::channelDistance(saved.argb(190, 150), kYellow), kJpegTolerance);
}

TEST_F(GdiplusLoaderTest, ReplacesAnExistingFile) {
    std::string file = path("old.jpg");
    ASSERT_TRUE(e2e::writeFileBytes(file, "not a picture", 13));
    HBITMAP bitmap = e2e::makeBitmap(PixelGrid(40, 30, kBlue));
    GdiplusLoader loader;
    ASSERT_EQ(loader.createBitmapFromHbitmap(bitmap), kGdiplusOk);
    DeleteObject(bitmap);
    ASSERT_TRUE(loader.saveImageToFile(e2e::widen(file).c_str(), 75, &kJpegEncoderClassId));
    PixelGrid saved;
    ASSERT_TRUE(e2e::decodePictureFile(file, &saved));
    EXPECT_EQ(saved.width, 40);
}

// The class ids in the program are the ones GDI+ itself publishes.
TEST_F(GdiplusLoaderTest, JpegEncoderClassIdIsTheOneGdiplusLists) {
    struct ImageCodecInfo {
        CLSID Clsid;
        GUID FormatID;
        const WCHAR* CodecName;
        const WCHAR* DllName;
        const WCHAR* FormatDescription;
        const WCHAR* FilenameExtension;
        const WCHAR* MimeType;
        DWORD Flags, Version, SigCount, SigSize;
        const BYTE* SigPattern;
        const BYTE* SigMask;
    };
    using SizeFn = int(WINAPI*)(UINT*, UINT*);
    using ListFn = int(WINAPI*)(UINT, UINT, ImageCodecInfo*);
    GdiplusLoader loader;
    HMODULE gdiplus = GetModuleHandleA("gdiplus.dll");
    auto getSize = libraryExport<SizeFn>(gdiplus, "GdipGetImageEncodersSize");
    auto getList = libraryExport<ListFn>(gdiplus, "GdipGetImageEncoders");
    ASSERT_NE(getSize, nullptr);
    ASSERT_NE(getList, nullptr);
    UINT count = 0, bytes = 0;
    ASSERT_EQ(getSize(&count, &bytes), 0);
    std::vector<uint8_t> block(bytes);
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(block.data());
    ASSERT_EQ(getList(count, bytes, codecs), 0);
    bool found = false;
    for (UINT i = 0; i < count; ++i) {
        if (lstrcmpW(codecs[i].MimeType, L"image/jpeg") == 0) {
            found = true;
            EXPECT_EQ(memcmp(&codecs[i].Clsid, &kJpegEncoderClassId, sizeof(GUID)), 0);
        }
    }
    EXPECT_TRUE(found);
    const uint8_t qualityBytes[16] = {0xB5, 0xE4, 0x5B, 0x1D, 0x4A, 0xFA, 0x2D, 0x45,
                                      0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB};
    const uint8_t saveFlagBytes[16] = {0xFC, 0x66, 0x22, 0x29, 0x40, 0xAC, 0xBF, 0x47,
                                       0x8C, 0xFC, 0xA8, 0x5B, 0x89, 0xA6, 0x55, 0xDE};
    EXPECT_EQ(memcmp(&kEncoderQualityId, qualityBytes, 16), 0);
    EXPECT_EQ(memcmp(&kEncoderSaveFlagId, saveFlagBytes, 16), 0);
}

TEST_F(GdiplusLoaderTest, MissingFileLeavesNoImageEvenIfOneWasHeld) {
    std::string png = pngOf("blue.png", PixelGrid(8, 8, kBlue));
    GdiplusLoader loader;
    ASSERT_TRUE(loader.loadImageFromFile(e2e::widen(png).c_str()));
    ASSERT_NE(loader.image(), nullptr);
    EXPECT_FALSE(loader.loadImageFromFile(e2e::widen(path("missing.png")).c_str()));
    EXPECT_EQ(loader.image(), nullptr);
    uint32_t width = 7;
    EXPECT_FALSE(loader.imageSize(&width, &width));
    EXPECT_EQ(width, 7u);
}

TEST_F(GdiplusLoaderTest, CorruptFileLoadsNothing) {
    std::string file = path("corrupt.png");
    const unsigned char bytes[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 1, 2, 3};
    ASSERT_TRUE(e2e::writeFileBytes(file, bytes, sizeof(bytes)));
    GdiplusLoader loader;
    EXPECT_FALSE(loader.loadImageFromFile(e2e::widen(file).c_str()));
    EXPECT_EQ(loader.image(), nullptr);
}

TEST_F(GdiplusLoaderTest, SaveWithoutImageWritesNothing) {
    GdiplusLoader loader;
    std::string file = path("nothing.jpg");
    EXPECT_FALSE(loader.saveImageToFile(e2e::widen(file).c_str(), 75, &kJpegEncoderClassId));
    EXPECT_FALSE(e2e::fileExists(file));
}

TEST_F(GdiplusLoaderTest, SecondCreationReplacesTheFirstImage) {
    HBITMAP first = e2e::makeBitmap(PixelGrid(50, 40, kRed));
    HBITMAP second = e2e::makeBitmap(PixelGrid(80, 60, kBlue));
    GdiplusLoader loader;
    ASSERT_EQ(loader.createBitmapFromHbitmap(first), kGdiplusOk);
    ASSERT_EQ(loader.createBitmapFromHbitmap(second), kGdiplusOk);
    DeleteObject(first);
    DeleteObject(second);
    EXPECT_NE(loader.image(), nullptr);
    PixelGrid saved = savedPicture(loader, "second.jpg");
    EXPECT_EQ(saved.width, 80);
    EXPECT_EQ(saved.height, 60);
    EXPECT_LE(e2e::channelDistance(saved.argb(40, 30), kBlue), kJpegTolerance);
}

// GDI+ keeps a loaded file open while its image lives, so a released image frees the file.
TEST_F(GdiplusLoaderTest, LoadingAnotherPictureReleasesTheFirst) {
    std::string firstPng = pngOf("first.png", PixelGrid(8, 8, kRed));
    std::string secondPng = pngOf("second.png", PixelGrid(8, 8, kBlue));
    GdiplusLoader loader;
    ASSERT_TRUE(loader.loadImageFromFile(e2e::widen(firstPng).c_str()));
    HANDLE exclusive = CreateFileW(e2e::widen(firstPng).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(exclusive, INVALID_HANDLE_VALUE) << "GDI+ does not hold the file open";
    if (exclusive != INVALID_HANDLE_VALUE) {
        CloseHandle(exclusive);
    }
    ASSERT_TRUE(loader.loadImageFromFile(e2e::widen(secondPng).c_str()));
    exclusive = CreateFileW(e2e::widen(firstPng).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
    if (exclusive != INVALID_HANDLE_VALUE) {
        CloseHandle(exclusive);
    }
}

TEST_F(GdiplusLoaderTest, UnwritablePathsWriteNothing) {
    HBITMAP bitmap = e2e::makeBitmap(PixelGrid(20, 20, kRed));
    GdiplusLoader loader;
    ASSERT_EQ(loader.createBitmapFromHbitmap(bitmap), kGdiplusOk);
    DeleteObject(bitmap);
    for (const std::string& file :
         {path("no such folder\\shot.jpg"), path("bad<name>?.jpg"), std::string(),
          std::string("Z:\\proc\\vistrel-loader-test.jpg")}) {
        EXPECT_FALSE(loader.saveImageToFile(e2e::widen(file).c_str(), 75, &kJpegEncoderClassId))
            << file;
    }
    EXPECT_FALSE(e2e::fileExists(path("no such folder")));
    EXPECT_FALSE(loader.saveImageToFile(nullptr, 75, &kJpegEncoderClassId));
    EXPECT_FALSE(loader.saveImageToFile(e2e::widen(path("x.jpg")).c_str(), 75, nullptr));
    EXPECT_NE(loader.image(), nullptr);
}

TEST_F(GdiplusLoaderTest, NullPathLeavesAHeldImageAlone) {
    std::string png = pngOf("kept.png", PixelGrid(8, 8, kRed));
    GdiplusLoader loader;
    ASSERT_TRUE(loader.loadImageFromFile(e2e::widen(png).c_str()));
    void* held = loader.image();
    EXPECT_FALSE(loader.loadImageFromFile(nullptr));
    EXPECT_EQ(loader.image(), held);
}

// A library handed in instead of GDI+: none at all, or one that exports none of its names (so
// GDI+ is never started either). Every operation fails quietly and nothing is drawn.
TEST_F(GdiplusLoaderTest, WithoutTheLibraryOrItsExportsEveryOperationFailsQuietly) {
    std::string png = pngOf("red.png", PixelGrid(8, 8, kRed));
    for (HMODULE library : {static_cast<HMODULE>(nullptr), LoadLibraryA("kernel32.dll")}) {
        GdiplusLoader loader(library);
        EXPECT_FALSE(loader.loadImageFromFile(e2e::widen(png).c_str())) << library;
        HBITMAP bitmap = e2e::makeBitmap(PixelGrid(8, 8, kRed));
        EXPECT_NE(loader.createBitmapFromHbitmap(bitmap), kGdiplusOk);
        DeleteObject(bitmap);
        EXPECT_EQ(loader.image(), nullptr);
        EXPECT_FALSE(
            loader.saveImageToFile(e2e::widen(path("a.jpg")).c_str(), 75, &kJpegEncoderClassId));
        EXPECT_FALSE(e2e::fileExists(path("a.jpg")));
        Surface surface(20, 20, kGreen);
        EXPECT_FALSE(loader.drawImage(surface.dc(), 0, 0, 20, 20, nullptr));
        EXPECT_EQ(e2e::rgbOf(surface.pixels().argb(10, 10)), e2e::rgbOf(kGreen));
        uint32_t width = 7;
        EXPECT_FALSE(loader.imageSize(&width, &width));
        EXPECT_EQ(width, 7u);
    }
}

}  // namespace
