// Where the zoom window's view lands inside the 250 x 200 thumbnail, and the forced ".jpg".
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int32_t kThumbnailWidth = 250;
constexpr int32_t kThumbnailHeight = 200;
// 1/250 and 1/200 as single-precision values (bit patterns 3B83126F and 3BA3D70A). Their
// rounding decides some edges by one pixel, so saved thumbnails depend on it: keep them float.
constexpr float kThumbnailWidthFactor = 0.004f;
constexpr float kThumbnailHeightFactor = 0.005f;

// Right and bottom are exclusive.
struct ThumbnailRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The view of width x height scaled to fit the thumbnail, centred on the axis it does not
// fill. Negative sizes count as 0.
ThumbnailRect fitThumbnail(int32_t width, int32_t height);

// Appends ".jpg" in place unless the text from the path's last '.' is ".jpg" in any letter
// case. 1 when the path now ends in the extension; 0 (path unchanged) for a null path or a
// buffer of `capacity` bytes too small to take the extension.
int ensureJpgExtension(char* path, size_t capacity);
