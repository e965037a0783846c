// A BMP file through the BMP reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "platform/BmpCodec.h"

namespace {

uint32_t Le(const uint8_t* p, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

// Pixels the header claims (info header or the 12-byte core header); 0 when unreadable.
int64_t ClaimedPixels(const uint8_t* data, std::size_t size) {
  if (size < 26) return 0;
  if (Le(data + 14, 4) == 12) return int64_t(Le(data + 18, 2)) * Le(data + 20, 2);
  return std::llabs(int64_t(int32_t(Le(data + 18, 4)))) * std::llabs(int64_t(int32_t(Le(data + 22, 4))));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // Huge run-length pictures are valid but only cost time here.
  if (ClaimedPixels(data, size) > (int64_t(1) << 22)) return 0;
  TBitmap bmp;
  try {
    DecodeBmp(data, size, bmp);
  } catch (const std::runtime_error&) {
    return 0;
  }
  if (bmp.Empty()) return 0;
  // Touch the last byte of every row the reader claims to have filled.
  volatile uint8_t sink = 0;
  for (int y = 0; y < bmp.Height(); ++y) sink = sink ^ bmp.ScanLine(y)[bmp.Width() * bmp.BytesPerPixel() - 1];
  return 0;
}
