// The compressed texts of the program, generated at build time by make_text_blob from
// texts/source/ (never edited by hand): a 4-byte little-endian text length, then the LZARI bits.
#pragma once

#include <cstdint>

extern const uint8_t TextBlob[];
extern const uint32_t kTextBlobSize;
