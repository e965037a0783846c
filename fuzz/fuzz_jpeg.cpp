// A JPEG file through the JPEG decoder, and the decoded picture through the encoder.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "platform/JpegImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  TJPEGImage jpeg;
  TBitmap bmp;
  try {
    jpeg.LoadFromMemory(data, size);
    // Large pictures are valid but only cost time here.
    if (int64_t(jpeg.Width()) * jpeg.Height() > (int64_t(1) << 20)) return 0;
    jpeg.AssignTo(bmp, size % 2 ? pf32bit : pf24bit);
  } catch (const std::runtime_error&) {
    return 0;
  }
  if (bmp.Width() != jpeg.Width() || bmp.Height() != jpeg.Height()) __builtin_trap();
  if (bmp.Width() <= 256 && bmp.Height() <= 256) {
    TJPEGImage again;
    again.Assign(bmp);
    if (again.Data().size() < 4) __builtin_trap();
  }
  return 0;
}
