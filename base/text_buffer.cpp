#include "base/text_buffer.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

TextBuffer::TextBuffer() : buffer_(nullptr), capacity_(0), length_(0) {
    assign("");
}

TextBuffer::~TextBuffer() {
    clear();
}

void TextBuffer::clear() {
    free(buffer_);
    buffer_ = nullptr;
    capacity_ = 0;
    length_ = 0;
}

int TextBuffer::reserve(int32_t size) {
    if (size < capacity_) {
        return 1;
    }
    clear();
    // A request near the top of the range cannot be rounded up without overflow.
    if (size < 0 || size > INT32_MAX - 16) {
        return 0;
    }
    int32_t newCapacity = (size & ~int32_t{15}) + 16;
    buffer_ = static_cast<char*>(malloc(static_cast<size_t>(newCapacity)));
    if (buffer_ == nullptr) {
        return 0;
    }
    capacity_ = newCapacity;
    buffer_[0] = '\0';
    buffer_[capacity_ - 1] = '\0';
    return 1;
}

int TextBuffer::assign(const char* text) {
    if (text == nullptr) {
        text = "";
    }
    size_t textLength = strlen(text);
    if (textLength > static_cast<size_t>(INT32_MAX / 2 - 16)) {
        clear();
        return 0;
    }
    int32_t n = static_cast<int32_t>(textLength);
    if (n <= 0) {
        n = 4;
    }
    // assign() may be handed this buffer's own text; a growing reserve would free it first.
    if (text == buffer_ && 2 * n >= capacity_) {
        return 1;
    }
    if (!reserve(2 * n)) {
        return 0;
    }
    memmove(buffer_, text, textLength + 1);
    length_ = static_cast<int32_t>(strlen(buffer_));
    return 1;
}

void TextBuffer::format(const char* pattern, ...) {
    size_t patternLength = strlen(pattern);
    if (patternLength > static_cast<size_t>(INT32_MAX / 16 - 16)) {
        clear();
        return;
    }
    int32_t size = 16 * static_cast<int32_t>(patternLength);
    if (!reserve(size)) {
        return;
    }
    va_list args;  // NOLINT(cppcoreguidelines-init-variables): va_start initialises it
    va_start(args, pattern);
    // Bounded by the block: a pattern whose output outgrows the size rule is cut, never overrun.
    int written = vsnprintf(buffer_, static_cast<size_t>(capacity_), pattern, args);
    va_end(args);
    if (written < 0) {
        buffer_[0] = '\0';
        written = 0;
    } else if (written >= capacity_) {
        written = capacity_ - 1;
    }
    length_ = written;
}
