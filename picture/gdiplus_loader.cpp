#include "picture/gdiplus_loader.h"

#include "base/win/system_library.h"

#include <cstring>

// The same 16 bytes as GDI+'s own definitions (first three groups little-endian).
const GUID kJpegEncoderClassId = {
    0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const GUID kEncoderQualityId = {
    0x1D5BE4B5, 0xFA4A, 0x452D, {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}};
const GUID kEncoderSaveFlagId = {
    0x292266FC, 0xAC40, 0x47BF, {0x8C, 0xFC, 0xA8, 0x5B, 0x89, 0xA6, 0x55, 0xDE}};
static_assert(sizeof(GUID) == 16, "GUIDs are 16-byte records");

namespace {

// The published GDI+ flat-interface records, declared here so that nothing links to GDI+.
struct GdiplusStartupInput {
    UINT32 GdiplusVersion;
    void* DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};

struct EncoderParameter {
    GUID Guid;
    ULONG NumberOfValues;
    ULONG Type;
    void* Value;
};

// EncoderParameters with room for the two parameters this program passes.
struct EncoderParameters {
    UINT Count;
    EncoderParameter Parameter[2];
};

constexpr ULONG kEncoderParameterValueTypeLong = 4;

using GdiplusStartupFn = int(WINAPI*)(ULONG_PTR*, const GdiplusStartupInput*, void*);
using GdiplusShutdownFn = void(WINAPI*)(ULONG_PTR);
using GdipDisposeImageFn = int(WINAPI*)(void*);
using GdipLoadImageFromFileFn = int(WINAPI*)(const WCHAR*, void**);
using GdipCreateBitmapFromHbitmapFn = int(WINAPI*)(HBITMAP, HPALETTE, void**);
using GdipSaveImageToFileFn = int(WINAPI*)(void*, const WCHAR*, const GUID*,
                                           const EncoderParameters*);
using GdipCreateFromHdcFn = int(WINAPI*)(HDC, void**);
using GdipDeleteGraphicsFn = int(WINAPI*)(void*);
using GdipDrawImageRectIFn = int(WINAPI*)(void*, void*, INT, INT, INT, INT);
using GdipGetImageSideFn = int(WINAPI*)(void*, UINT*);

// Looked up afresh at every use; null when the library or the export is missing.
template <typename Function>
Function lookup(const UniqueModule& library, const char* exportName) {
    if (!library) {
        return nullptr;
    }
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), exportName)));
}

}  // namespace

GdiplusLoader::GdiplusLoader()
    : library(loadSystemLibrary("gdiplus.dll")), token(0), image(nullptr) {
    auto startup = lookup<GdiplusStartupFn>(library, "GdiplusStartup");
    if (startup == nullptr) {
        return;
    }
    GdiplusStartupInput input = {1, nullptr, FALSE, FALSE};
    ULONG_PTR started = 0;
    if (startup(&started, &input, nullptr) == kGdiplusOk) {
        token = started;
    }
}

GdiplusLoader::~GdiplusLoader() {
    if (!library) {
        return;
    }
    disposeImage();
    if (token != 0) {
        auto shutdown = lookup<GdiplusShutdownFn>(library, "GdiplusShutdown");
        if (shutdown != nullptr) {
            shutdown(token);
        }
        token = 0;
    }
    // The library is freed after this body, once nothing of it is used any more.
}

void GdiplusLoader::disposeImage() {
    auto dispose = lookup<GdipDisposeImageFn>(library, "GdipDisposeImage");
    if (image != nullptr && dispose != nullptr) {
        dispose(image);
        image = nullptr;
    }
}

int GdiplusLoader::loadImageFromFile(const wchar_t* path) {
    if (path == nullptr) {
        return 0;
    }
    disposeImage();
    auto load = lookup<GdipLoadImageFromFileFn>(library, "GdipLoadImageFromFile");
    if (token == 0 || load == nullptr) {
        return 0;
    }
    if (load(path, &image) != kGdiplusOk) {
        image = nullptr;  // GDI+ leaves no image behind a failed load
        return 0;
    }
    return 1;
}

int GdiplusLoader::createBitmapFromHbitmap(HBITMAP bitmap) {
    disposeImage();
    auto create = lookup<GdipCreateBitmapFromHbitmapFn>(library, "GdipCreateBitmapFromHBITMAP");
    if (token == 0 || create == nullptr) {
        // Reported as a failure, so the caller offers no save dialog that could never save.
        return kGdiplusUnavailable;
    }
    int status = create(bitmap, nullptr, &image);
    if (status != kGdiplusOk) {
        image = nullptr;
    }
    return status;
}

int GdiplusLoader::saveImageToFile(const wchar_t* path, uint32_t quality,
                                   const GUID* encoderClassId) {
    auto save = lookup<GdipSaveImageToFileFn>(library, "GdipSaveImageToFile");
    if (path == nullptr || image == nullptr || save == nullptr || encoderClassId == nullptr) {
        return 0;
    }
    ULONG qualityValue = quality;
    EncoderParameters parameters = {};
    parameters.Count = 2;
    parameters.Parameter[0] = {kEncoderQualityId, 1, kEncoderParameterValueTypeLong, &qualityValue};
    parameters.Parameter[1] = {kEncoderSaveFlagId, 0, kEncoderParameterValueTypeLong, nullptr};
    return save(image, path, encoderClassId, &parameters) == kGdiplusOk ? 1 : 0;
}

int GdiplusLoader::imageSize(uint32_t* width, uint32_t* height) const {
    auto getWidth = lookup<GdipGetImageSideFn>(library, "GdipGetImageWidth");
    auto getHeight = lookup<GdipGetImageSideFn>(library, "GdipGetImageHeight");
    if (image == nullptr || getWidth == nullptr || getHeight == nullptr) {
        return 0;
    }
    UINT w = 0;
    UINT h = 0;
    if (getWidth(image, &w) != kGdiplusOk || getHeight(image, &h) != kGdiplusOk) {
        return 0;
    }
    *width = w;
    *height = h;
    return 1;
}

int GdiplusLoader::drawImage(HDC dc, int left, int top, int right, int bottom, void* imageHandle) {
    if (!library) {
        return 0;
    }
    auto createGraphics = lookup<GdipCreateFromHdcFn>(library, "GdipCreateFromHDC");
    auto deleteGraphics = lookup<GdipDeleteGraphicsFn>(library, "GdipDeleteGraphics");
    auto draw = lookup<GdipDrawImageRectIFn>(library, "GdipDrawImageRectI");
    if (createGraphics == nullptr || deleteGraphics == nullptr || draw == nullptr) {
        return 0;
    }
    void* graphics = nullptr;
    createGraphics(dc, &graphics);
    draw(graphics, imageHandle, left, top, right - left, bottom - top);
    deleteGraphics(graphics);
    return 1;
}
