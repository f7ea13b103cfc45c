#include "picture/gdiplus_loader.h"

#include "base/win/system_library.h"

// The same 16 bytes as GDI+'s own definitions (first three groups little-endian).
const GUID kJpegEncoderClassId = {
    0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const GUID kEncoderQualityId = {
    0x1D5BE4B5, 0xFA4A, 0x452D, {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}};
const GUID kEncoderSaveFlagId = {
    0x292266FC, 0xAC40, 0x47BF, {0x8C, 0xFC, 0xA8, 0x5B, 0x89, 0xA6, 0x55, 0xDE}};
static_assert(sizeof(GUID) == 16, "GUIDs are 16-byte records");

namespace {

constexpr ULONG kEncoderParameterValueTypeLong = 4;

}  // namespace

GdiplusLoader::Functions GdiplusLoader::resolveFunctions(HMODULE library) {
    Functions functions = {};
// Each field is named after its export, so the name and the type cannot disagree.
#define VISTREL_RESOLVE(name) functions.name = libraryExport<decltype(&::name)>(library, #name)
    VISTREL_RESOLVE(GdiplusStartup);
    VISTREL_RESOLVE(GdiplusShutdown);
    VISTREL_RESOLVE(GdipDisposeImage);
    VISTREL_RESOLVE(GdipLoadImageFromFile);
    VISTREL_RESOLVE(GdipCreateBitmapFromHBITMAP);
    VISTREL_RESOLVE(GdipSaveImageToFile);
    VISTREL_RESOLVE(GdipCreateFromHDC);
    VISTREL_RESOLVE(GdipDeleteGraphics);
    VISTREL_RESOLVE(GdipDrawImageRectI);
    VISTREL_RESOLVE(GdipGetImageWidth);
    VISTREL_RESOLVE(GdipGetImageHeight);
#undef VISTREL_RESOLVE
    return functions;
}

GdiplusLoader::GdiplusLoader() : GdiplusLoader(loadSystemLibrary("gdiplus.dll")) {}

GdiplusLoader::GdiplusLoader(HMODULE library)
    : library_(library), gdiplus_(resolveFunctions(library)) {
    if (gdiplus_.GdiplusStartup == nullptr) {
        return;
    }
    GdiplusStartupInput input = {1, nullptr, FALSE, FALSE};
    ULONG_PTR started = 0;
    if (gdiplus_.GdiplusStartup(&started, &input, nullptr) == kGdiplusOk) {
        token_ = started;
    }
}

GdiplusLoader::~GdiplusLoader() {
    disposeImage();
    if (token_ != 0 && gdiplus_.GdiplusShutdown != nullptr) {
        gdiplus_.GdiplusShutdown(token_);
    }
    // The library is freed after this body, once nothing of it is used any more.
}

void GdiplusLoader::disposeImage() {
    if (image_ != nullptr && gdiplus_.GdipDisposeImage != nullptr) {
        gdiplus_.GdipDisposeImage(image_);
        image_ = nullptr;
    }
}

bool GdiplusLoader::loadImageFromFile(const wchar_t* path) {
    if (path == nullptr) {
        return false;
    }
    disposeImage();
    if (token_ == 0 || gdiplus_.GdipLoadImageFromFile == nullptr) {
        return false;
    }
    if (gdiplus_.GdipLoadImageFromFile(path, &image_) != kGdiplusOk) {
        image_ = nullptr;  // GDI+ leaves no image behind a failed load
        return false;
    }
    return true;
}

int GdiplusLoader::createBitmapFromHbitmap(HBITMAP bitmap) {
    disposeImage();
    if (token_ == 0 || gdiplus_.GdipCreateBitmapFromHBITMAP == nullptr) {
        // Reported as a failure, so the caller offers no save dialog that could never save.
        return kGdiplusUnavailable;
    }
    int status = gdiplus_.GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image_);
    if (status != kGdiplusOk) {
        image_ = nullptr;
    }
    return status;
}

bool GdiplusLoader::saveImageToFile(const wchar_t* path, uint32_t quality,
                                    const GUID* encoderClassId) {
    if (path == nullptr || image_ == nullptr || gdiplus_.GdipSaveImageToFile == nullptr ||
        encoderClassId == nullptr) {
        return false;
    }
    ULONG qualityValue = quality;
    EncoderParameters parameters = {};
    parameters.Count = 2;
    parameters.Parameter[0] = {kEncoderQualityId, 1, kEncoderParameterValueTypeLong, &qualityValue};
    parameters.Parameter[1] = {kEncoderSaveFlagId, 0, kEncoderParameterValueTypeLong, nullptr};
    return gdiplus_.GdipSaveImageToFile(image_, path, encoderClassId, &parameters) == kGdiplusOk;
}

bool GdiplusLoader::imageSize(uint32_t* width, uint32_t* height) const {
    if (image_ == nullptr || gdiplus_.GdipGetImageWidth == nullptr ||
        gdiplus_.GdipGetImageHeight == nullptr) {
        return false;
    }
    UINT w = 0;
    UINT h = 0;
    if (gdiplus_.GdipGetImageWidth(image_, &w) != kGdiplusOk ||
        gdiplus_.GdipGetImageHeight(image_, &h) != kGdiplusOk) {
        return false;
    }
    *width = w;
    *height = h;
    return true;
}

bool GdiplusLoader::drawImage(HDC dc, int left, int top, int right, int bottom, void* imageHandle) {
    if (gdiplus_.GdipCreateFromHDC == nullptr || gdiplus_.GdipDeleteGraphics == nullptr ||
        gdiplus_.GdipDrawImageRectI == nullptr) {
        return false;
    }
    void* graphics = nullptr;
    gdiplus_.GdipCreateFromHDC(dc, &graphics);
    gdiplus_.GdipDrawImageRectI(graphics, imageHandle, left, top, right - left, bottom - top);
    gdiplus_.GdipDeleteGraphics(graphics);
    return true;
}
