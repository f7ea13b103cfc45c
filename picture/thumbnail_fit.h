// Where the zoom window's view lands inside the 250 x 200 thumbnail, the forced ".jpg", the
// name the picture is written under before it replaces the target, the watermark's bound, and
// what the user is told when a save does not land.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/pixel_rect.h"

constexpr int32_t kThumbnailWidth = 250;
constexpr int32_t kThumbnailHeight = 200;
// 1/250 and 1/200 as single-precision values (bit patterns 3B83126F and 3BA3D70A). Their
// rounding decides some edges by one pixel, so saved thumbnails depend on it: keep them float.
constexpr float kThumbnailWidthFactor = 0.004f;
constexpr float kThumbnailHeightFactor = 0.005f;

// A watermark is scaled onto 250 x 200 pixels; a far larger picture only costs memory and
// time to draw, so one wider or taller than this is not used.
constexpr uint32_t kWatermarkSideLimit = 4096;

// How many temporary names a save tries before it gives up.
constexpr unsigned kTemporaryNameCount = 256;

// The view of width x height scaled to fit the thumbnail, centred on the axis it does not
// fill. Negative sizes count as 0.
PixelRect fitThumbnail(int32_t width, int32_t height);

// Appends ".jpg" in place unless the text from the path's last '.' is ".jpg" in any ASCII
// letter case. 1 when the path now ends in the extension; 0 (path unchanged) for a null path
// or a buffer of `capacity` characters too small to take the extension.
int ensureJpgExtension(wchar_t* path, size_t capacity);

// The temporary name number `attempt` for a picture that is to replace path (which ends in
// ".jpg" in any case): path with "jpg" replaced by '~' and two hexadecimal digits. It lies in
// the target's folder, so the finished file can be moved over the target, and is never longer
// than the target, so it fits wherever the target does. 1 when out (capacity characters) holds
// it; 0 with out empty for a null or other path, attempt >= kTemporaryNameCount or too small
// a buffer.
int temporarySaveName(const wchar_t* path, unsigned attempt, wchar_t* out, size_t capacity);

// Whether a watermark of width x height pixels is used.
bool watermarkFits(uint32_t width, uint32_t height);

// Why a save did not land, as the user is told it.
enum class SaveFailure {
    kHeld,          // another program holds the file (or the temporary one) open
    kDiskFull,      // no room on the disk, or the user's quota is used up
    kAccessDenied,  // the folder or the file refuses the write, or the medium is write-protected
    kOther,
};

// The reason for the system error (a Win32 error code) that stopped a save.
SaveFailure saveFailureOf(uint32_t systemError);

// heading, path and reason on lines of their own, the reason after an empty line, in out
// (capacity characters, always terminated; a long path is cut rather than the reason lost).
// Null texts count as empty.
void composeSaveFailure(wchar_t* out, size_t capacity, const wchar_t* heading, const wchar_t* path,
                        const wchar_t* reason);
