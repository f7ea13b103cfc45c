// Any block, however damaged, decodes within its buffers; the text rules then cut whatever came
// out without leaving the buffer either.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "texts/lzari_decoder.h"
#include "texts/text_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    // The first byte picks the capacity; the rest is the block, in a heap copy of exactly its
    // size, with whatever length its header announces: the decoder stops at a full buffer.
    uint32_t capacity = data[0] * 71u;
    std::vector<uint8_t> block(data + 1, data + size);
    std::unique_ptr<char[]> output(new char[capacity == 0 ? 1 : capacity]);
    LzariDecoder decoder;
    uint32_t length = decoder.lzariDecode(block.empty() ? nullptr : block.data(),
                                          static_cast<uint32_t>(block.size()),
                                          reinterpret_cast<uint8_t*>(output.get()), capacity);
    if (block.size() < 4 && length != 0) {
        __builtin_trap();
    }
    LoadedTexts texts = {};
    cutText(output.get(), capacity, length, texts);
    for (int index = 0; index < kListLength; index++) {
        (void)std::strlen(uiStringFor(texts, 0, index));
        (void)std::strlen(uiStringFor(texts, 1, index));
    }
    (void)std::strlen(helpTextFor(texts, 0));
    (void)std::strlen(helpTextFor(texts, 1));
    return 0;
}
