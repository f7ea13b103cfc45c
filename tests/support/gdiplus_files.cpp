#include "tests/support/gdiplus_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/support/e2e.h"
#include "tests/support/screen_pattern.h"

namespace e2e {

namespace {

struct StartupInput {
    UINT32 version;
    void* debugCallback;
    BOOL suppressBackgroundThread;
    BOOL suppressExternalCodecs;
};

const GUID kPngEncoder = {
    0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
constexpr int kPixelFormat32bppArgb = 0x26200A;

class Gdiplus {
  public:
    Gdiplus() {
        char path[MAX_PATH] = {};
        UINT length = GetSystemDirectoryA(path, MAX_PATH);
        if (length == 0 || length + 13 >= MAX_PATH) {
            return;
        }
        strcat(path, "\\gdiplus.dll");
        library_ = LoadLibraryA(path);
        using Startup = int(WINAPI*)(ULONG_PTR*, const StartupInput*, void*);
        auto startup = get<Startup>("GdiplusStartup");
        StartupInput input = {1, nullptr, FALSE, FALSE};
        started_ = startup != nullptr && startup(&token_, &input, nullptr) == 0;
    }
    bool started() const { return started_; }
    template <typename Function>
    Function get(const char* name) const {
        if (library_ == nullptr) {
            return nullptr;
        }
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library_, name)));
    }

  private:
    HMODULE library_ = nullptr;
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

// Started once for the test process and left running to its end.
const Gdiplus& gdiplus() {
    static Gdiplus instance;
    return instance;
}

}  // namespace

bool gdiplusAvailable() {
    return gdiplus().started();
}

bool decodePictureFile(const std::string& path, PixelGrid* picture) {
    using Load = int(WINAPI*)(const WCHAR*, void**);
    using ToHbitmap = int(WINAPI*)(void*, HBITMAP*, DWORD);
    using Dispose = int(WINAPI*)(void*);
    auto load = gdiplus().get<Load>("GdipCreateBitmapFromFile");
    auto toHbitmap = gdiplus().get<ToHbitmap>("GdipCreateHBITMAPFromBitmap");
    auto dispose = gdiplus().get<Dispose>("GdipDisposeImage");
    if (!gdiplusAvailable() || load == nullptr || toHbitmap == nullptr || dispose == nullptr) {
        return false;
    }
    std::wstring wide = widen(path);
    void* bitmap = nullptr;
    if (load(wide.c_str(), &bitmap) != 0) {
        return false;
    }
    HBITMAP gdiBitmap = nullptr;
    int status = toHbitmap(bitmap, &gdiBitmap, 0xFFFFFFFF);
    dispose(bitmap);
    if (status != 0 || gdiBitmap == nullptr) {
        return false;
    }
    *picture = gridFromBitmap(gdiBitmap);
    DeleteObject(gdiBitmap);
    return picture->width > 0;
}

bool writePngFile(const std::string& path, const PixelGrid& picture) {
    using FromScan0 = int(WINAPI*)(INT, INT, INT, INT, BYTE*, void**);
    using Save = int(WINAPI*)(void*, const WCHAR*, const GUID*, const void*);
    using Dispose = int(WINAPI*)(void*);
    auto fromScan0 = gdiplus().get<FromScan0>("GdipCreateBitmapFromScan0");
    auto save = gdiplus().get<Save>("GdipSaveImageToFile");
    auto dispose = gdiplus().get<Dispose>("GdipDisposeImage");
    if (!gdiplusAvailable() || fromScan0 == nullptr || save == nullptr || dispose == nullptr) {
        return false;
    }
    std::vector<uint32_t> pixels = picture.pixels;
    void* bitmap = nullptr;
    if (fromScan0(picture.width, picture.height, picture.width * 4, kPixelFormat32bppArgb,
                  reinterpret_cast<BYTE*>(pixels.data()), &bitmap) != 0) {
        return false;
    }
    std::wstring wide = widen(path);
    int status = save(bitmap, wide.c_str(), &kPngEncoder, nullptr);
    dispose(bitmap);
    return status == 0;
}

int channelDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int d = abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        if (d > worst) {
            worst = d;
        }
    }
    return worst;
}

uint32_t rgbOf(uint32_t argb) {
    return argb & 0x00FFFFFFu;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<uint8_t> readFileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* file = _wfopen(widen(path).c_str(), L"rb");
    if (file == nullptr) {
        return bytes;
    }
    uint8_t chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    fclose(file);
    return bytes;
}

bool writeFileBytes(const std::string& path, const void* bytes, size_t size) {
    FILE* file = _wfopen(widen(path).c_str(), L"wb");
    if (file == nullptr) {
        return false;
    }
    bool written = fwrite(bytes, 1, size, file) == size;
    return fclose(file) == 0 && written;
}

}  // namespace e2e
