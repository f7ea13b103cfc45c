// A small growable, heap-held, NUL-terminated string.
#pragma once

#include <cstdint>

class TextBuffer {
  public:
    TextBuffer();
    ~TextBuffer();
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    // Keeps the block when size < capacity; otherwise replaces it (the text is not kept)
    // with one of (size rounded down to 16) + 16 bytes. 1 on success, 0 on failure.
    int reserve(int32_t size);
    int assign(const char* text);
    // The block is sized for output at most sixteen times as long as the pattern.
    void format(const char* pattern, ...);
    void clear();

    const char* text() const { return buffer_; }
    int32_t capacity() const { return capacity_; }
    int32_t length() const { return length_; }

  private:
    char* buffer_;
    int32_t capacity_;
    int32_t length_;
};
