// Picture files for the tests, read and written through GDI+ in the test's own process, so
// the program's loader is checked against an independent use of the same platform part.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// Pixels as 0xAARRGGBB, rows top to bottom.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Picture() = default;
    Picture(int w, int h, uint32_t fill) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    void set(int x, int y, uint32_t argb) { pixels[size_t(y) * width + x] = argb; }
};

// 1 when GDI+ could be started in this process.
bool gdiplusAvailable();
// Any picture file GDI+ reads (PNG, JPEG, BMP); false when it cannot be decoded.
bool decodePictureFile(const std::string& path, Picture* picture);
// A 32-bit PNG with the picture's alpha channel.
bool writePngFile(const std::string& path, const Picture& picture);
// The pixels of a GDI bitmap (alpha 0xFF).
Picture readBitmap(HBITMAP bitmap);
// A 32-bit top-down DIB section with the picture's colours; the caller deletes it.
HBITMAP makeBitmap(const Picture& picture);

// The largest difference of the red, green and blue channels.
int channelDistance(uint32_t a, uint32_t b);
// Colours as 0xRRGGBB.
uint32_t rgbOf(uint32_t argb);

bool fileExists(const std::string& path);
std::vector<uint8_t> readFileBytes(const std::string& path);
bool writeFileBytes(const std::string& path, const void* bytes, size_t size);

}  // namespace e2e
