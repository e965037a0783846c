// A GIF file through the GIF reader (first frame).
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "platform/GifImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  TGIFImage gif;
  TBitmap bmp;
  try {
    gif.LoadFromMemory(data, size);
    // Huge screens are valid but only cost time here.
    if (int64_t(gif.Width()) * gif.Height() > (int64_t(1) << 22)) return 0;
    gif.AssignTo(bmp, pf32bit);
  } catch (const std::runtime_error&) {
    return 0;
  }
  if (bmp.Width() != gif.Width() || bmp.Height() != gif.Height()) __builtin_trap();
  return 0;
}
