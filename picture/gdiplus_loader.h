// Run-time access to GDI+: each loader starts GDI+ with its own token and owns at most one image.
#pragma once

#include <windows.h>

#include <cstdint>

class GdiplusLoader {
  public:
    GdiplusLoader();
    ~GdiplusLoader();
    GdiplusLoader(const GdiplusLoader&) = delete;
    GdiplusLoader& operator=(const GdiplusLoader&) = delete;

    void disposeImage();
    int loadImageFromFile(const char* path);
    int createBitmapFromHbitmap(HBITMAP bitmap);
    int saveImageToFile(const char* path, uint32_t quality, const GUID* encoderClassId);
    int drawImage(HDC dc, int left, int top, int right, int bottom, void* imageHandle);

    HMODULE library;
    uintptr_t token;
    void* image;
};

extern GdiplusLoader exportLoader;
extern GdiplusLoader watermarkLoader;
