// Every text the encoder compresses expands to itself, byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "texts/lzari_decoder.h"
#include "tools/lzari_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> block = lzariEncode(data, static_cast<uint32_t>(size));
    std::vector<uint8_t> output(size + 1);
    LzariDecoder decoder;
    uint32_t length = decoder.lzariDecode(block.data(), static_cast<uint32_t>(block.size()),
                                          output.data(), static_cast<uint32_t>(output.size()));
    if (length != size || (size > 0 && std::memcmp(output.data(), data, size) != 0)) {
        __builtin_trap();
    }
    return 0;
}
