// The leading bytes of a JPEG file through the EXIF reader, thumbnail decoding included.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "Jpegexif.h"
#include "platform/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  TBitmap thumbnail;
  PictureInfo info;
  info.Thumbnail = &thumbnail;
  try {
    ReadExifInfoFromBytes(info, data, size);
  } catch (const std::runtime_error&) {
    // a thumbnail the codec rejects
  }
  // The texts stay terminated within their fields.
  if (info.ShotDate[20] != 0 || info.Model[20] != 0) __builtin_trap();
  const std::size_t block = ExifBlockSize(data, size);
  if (block != 0 && block <= size) {
    for (uint16_t tag : {uint16_t(0x0110), uint16_t(0x9003), uint16_t(0x0201), uint16_t(0x1234)}) {
      const uint32_t entry = FindExifEntry(data, block, tag);
      if (entry != 0 && (12 + uint64_t(entry) + 12 > block)) __builtin_trap();
    }
  }
  return 0;
}
