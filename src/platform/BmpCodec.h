// BMP files: our own reader (every standard variant; damaged or hostile files are refused
// with an error, never read outside the data) and writer (24 and 32 bits).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Bitmap.h"

// Decodes a whole BMP file held in memory into bmp, which is left unchanged on an error
// (std::runtime_error). 32-bit files give a 32-bit bitmap: uncompressed ones keep the fourth byte
// as stored, bit-field ones hold their alpha channel there (0 without one). Every other depth
// gives a 24-bit bitmap. Pixels that a run-length stream skips take palette entry 0. A file of
// zero width or height gives an empty (0 by 0) bitmap.
void DecodeBmp(const uint8_t* data, std::size_t size, TBitmap& bmp);
// The bitmap as a BMP file of its own format, bottom-up, uncompressed (no pixels when empty).
std::vector<uint8_t> EncodeBmp(const TBitmap& bmp);
