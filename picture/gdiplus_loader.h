// Run-time access to GDI+: each loader starts GDI+ with its own token and owns at most one image.
// gdiplus.dll is taken from the system folder only, and every function is looked up by its
// export name at each use, so a system without GDI+ (or without one of its functions) only
// loses the operations that need it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/win/handle_guards.h"

// GDI+ status 0 (Ok); any other value is a failure.
constexpr int kGdiplusOk = 0;
// What createBitmapFromHbitmap returns when it cannot call GDI+ at all (GdiplusNotInitialized).
constexpr int kGdiplusUnavailable = 18;

// Class id of GDI+'s JPEG encoder, {557CF401-1A04-11D3-9A73-0000F81EF32E}.
extern const GUID kJpegEncoderClassId;
// The encoder parameter ids: EncoderQuality and EncoderSaveFlag.
extern const GUID kEncoderQualityId;
extern const GUID kEncoderSaveFlagId;

class GdiplusLoader {
  public:
    GdiplusLoader();
    ~GdiplusLoader();
    GdiplusLoader(const GdiplusLoader&) = delete;
    GdiplusLoader& operator=(const GdiplusLoader&) = delete;

    void disposeImage();
    // 1 when the picture was loaded; any image held before is released first, either way.
    int loadImageFromFile(const wchar_t* path);
    // The GDI+ status; kGdiplusOk means the loader now holds a copy of the bitmap.
    int createBitmapFromHbitmap(HBITMAP bitmap);
    // 1 when the held image was written; quality 0..100.
    int saveImageToFile(const wchar_t* path, uint32_t quality, const GUID* encoderClassId);
    // 1 with the held image's size in pixels; 0 (sizes untouched) without an image or when
    // GDI+ cannot tell.
    int imageSize(uint32_t* width, uint32_t* height) const;
    // Scales imageHandle over the rectangle (right and bottom exclusive). 1 when the drawing
    // calls were made.
    int drawImage(HDC dc, int left, int top, int right, int bottom, void* imageHandle);

    UniqueModule library;
    uintptr_t token;
    void* image;
};
