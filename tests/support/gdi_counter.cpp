#include "tests/support/gdi_counter.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/support/zoom_view.h"

namespace e2e {

namespace {

const char kAllocated[] = ":gdi:alloc_gdi_handle allocated ";
const char kFreed[] = ":gdi:free_gdi_handle freed ";

// "N/M" at the end of an event line: the count N, or -1.
long countAtLineEnd(const std::string& text, size_t lineStart, size_t lineEnd) {
    size_t slash = text.rfind('/', lineEnd);
    if (slash == std::string::npos || slash < lineStart) {
        return -1;
    }
    size_t digits = slash;
    while (digits > lineStart && text[digits - 1] >= '0' && text[digits - 1] <= '9') {
        --digits;
    }
    if (digits == slash) {
        return -1;
    }
    return strtol(text.c_str() + digits, nullptr, 10);
}

}  // namespace

long gdiCountFromTrace(const std::string& text) {
    size_t end = text.size();
    while (end > 0) {
        size_t lineStart = text.rfind('\n', end - 1);
        lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
        const std::string line = text.substr(lineStart, end - lineStart);
        const bool allocated = line.find(kAllocated) != std::string::npos;
        const bool freed = !allocated && line.find(kFreed) != std::string::npos;
        if (allocated || freed) {
            long count = countAtLineEnd(text, lineStart, end - 1);
            if (count >= 0) {
                return freed ? count - 1 : count;
            }
        }
        end = lineStart > 0 ? lineStart - 1 : 0;
    }
    return -1;
}

const char GdiCounter::kWineDebug[] = "-all,trace+gdi";

GdiCounter::GdiCounter() : folder_(makeTempFolder("gdi")) {
    tracePath_ = folder_ + "\\gdi-trace.log";
}

GdiCounter::~GdiCounter() {
    removeFolder(folder_);
}

bool GdiCounter::start(Program& program, const std::string& environment) const {
    return moveCursorTo(960, 540) &&
           program.startWithWineDebug(kWineDebug, tracePath_, environment) &&
           program.waitForMainWindow() != nullptr;
}

long GdiCounter::count() const {
    // Only the end of the file matters; the trace of a long run grows to megabytes.
    HANDLE file = CreateFileA(tracePath_.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return -1;
    }
    long result = -1;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    for (LONGLONG tail = 64 * 1024; result < 0; tail *= 4) {
        LONGLONG start = size.QuadPart > tail ? size.QuadPart - tail : 0;
        LARGE_INTEGER position = {};
        position.QuadPart = start;
        SetFilePointerEx(file, position, nullptr, FILE_BEGIN);
        std::vector<char> buffer(static_cast<size_t>(size.QuadPart - start));
        DWORD read = 0;
        if (!buffer.empty() &&
            !ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
            break;
        }
        result = gdiCountFromTrace(std::string(buffer.data(), read));
        if (start == 0) {
            break;
        }
    }
    CloseHandle(file);
    return result;
}

long GdiCounter::settledCount(DWORD quietMs, DWORD timeoutMs) const {
    long last = count();
    DWORD stableSince = GetTickCount();
    const DWORD begin = stableSince;
    while (GetTickCount() - begin < timeoutMs) {
        pumpFor(50);
        long now = count();
        if (now != last) {
            last = now;
            stableSince = GetTickCount();
        } else if (GetTickCount() - stableSince >= quietMs) {
            return last;
        }
    }
    return -1;
}

}  // namespace e2e
