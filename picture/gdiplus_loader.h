// Run-time access to GDI+: each loader starts GDI+ with its own token and owns at most one image.
// gdiplus.dll is taken from the system folder only and its functions are resolved once, when
// the loader is made, so a system without GDI+ (or without one of its functions) only loses the
// operations that need it.
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

// The published GDI+ flat-interface records and functions the loader uses. The functions are
// declared for their types only: nothing links to GDI+, each is resolved from the library.
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
extern "C" {
int WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
int WINAPI GdipDisposeImage(void* image);
int WINAPI GdipLoadImageFromFile(const WCHAR* file, void** image);
int WINAPI GdipCreateBitmapFromHBITMAP(HBITMAP bitmap, HPALETTE palette, void** image);
int WINAPI GdipSaveImageToFile(void* image, const WCHAR* file, const GUID* encoder,
                               const EncoderParameters* parameters);
int WINAPI GdipCreateFromHDC(HDC dc, void** graphics);
int WINAPI GdipDeleteGraphics(void* graphics);
int WINAPI GdipDrawImageRectI(void* graphics, void* image, INT x, INT y, INT width, INT height);
int WINAPI GdipGetImageWidth(void* image, UINT* width);
int WINAPI GdipGetImageHeight(void* image, UINT* height);
}

class GdiplusLoader {
  public:
    // gdiplus.dll from the system folder.
    GdiplusLoader();
    // The library handed in (owned from now on; null for none) in its place.
    explicit GdiplusLoader(HMODULE library);
    ~GdiplusLoader();
    GdiplusLoader(const GdiplusLoader&) = delete;
    GdiplusLoader& operator=(const GdiplusLoader&) = delete;

    // The one image the loader owns; null when it holds none.
    void* image() const { return image_; }
    void disposeImage();
    // True when the picture was loaded; any image held before is released first, either way.
    bool loadImageFromFile(const wchar_t* path);
    // The GDI+ status; kGdiplusOk means the loader now holds a copy of the bitmap.
    int createBitmapFromHbitmap(HBITMAP bitmap);
    // True when the held image was written; quality 0..100.
    bool saveImageToFile(const wchar_t* path, uint32_t quality, const GUID* encoderClassId);
    // True with the held image's size in pixels; false (sizes untouched) without an image or
    // when GDI+ cannot tell.
    bool imageSize(uint32_t* width, uint32_t* height) const;
    // Scales imageHandle over the rectangle (right and bottom exclusive). True when the drawing
    // calls were made.
    bool drawImage(HDC dc, int left, int top, int right, int bottom, void* imageHandle);

  private:
    // Resolved once from library_; each is null where the library lacks it.
    struct Functions {
        decltype(&::GdiplusStartup) GdiplusStartup;
        decltype(&::GdiplusShutdown) GdiplusShutdown;
        decltype(&::GdipDisposeImage) GdipDisposeImage;
        decltype(&::GdipLoadImageFromFile) GdipLoadImageFromFile;
        decltype(&::GdipCreateBitmapFromHBITMAP) GdipCreateBitmapFromHBITMAP;
        decltype(&::GdipSaveImageToFile) GdipSaveImageToFile;
        decltype(&::GdipCreateFromHDC) GdipCreateFromHDC;
        decltype(&::GdipDeleteGraphics) GdipDeleteGraphics;
        decltype(&::GdipDrawImageRectI) GdipDrawImageRectI;
        decltype(&::GdipGetImageWidth) GdipGetImageWidth;
        decltype(&::GdipGetImageHeight) GdipGetImageHeight;
    };
    static Functions resolveFunctions(HMODULE library);

    UniqueModule library_;
    Functions gdiplus_;
    ULONG_PTR token_ = 0;  // 0 while GDI+ is not started by this loader
    void* image_ = nullptr;
};
