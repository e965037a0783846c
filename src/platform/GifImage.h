// TGIFImage: one GIF file in memory, its first frame decoded into a TBitmap, and a bitmap
// written as a GIF89a file on the web palette (giflib).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

// Every failure is a std::runtime_error with a readable message; the object then holds no picture.
class TGIFImage {
 public:
  // Take a GIF87a or GIF89a file and read its screen descriptor.
  void LoadFromFile(const std::string& fileName);
  void LoadFromMemory(const uint8_t* data, std::size_t size);

  int Width() const { return width_; }  // the logical screen
  int Height() const { return height_; }
  bool Empty() const { return data_.empty(); }

  // The first frame on the logical screen: the frame at its offset, clipped to the screen; the
  // rest and the frame's transparent pixels in the screen's background colour (white when the
  // file has no global colour table). Interlaced frames and local colour tables are honoured; a
  // file without any image gives the empty screen.
  void AssignTo(TBitmap& bmp, TPixelFormat format = pf24bit) const;

  // Encodes a 24- or 32-bit bitmap as one LZW frame on the 216-colour web palette (levels 0, 51,
  // 102, 153, 204, 255 per channel, the nearest level per channel, no dithering).
  void Assign(const TBitmap& bmp);

  const std::vector<uint8_t>& Data() const { return data_; }
  // Written through a temporary file, so a failure leaves an existing file untouched.
  void SaveToFile(const std::string& fileName) const;

 private:
  std::vector<uint8_t> data_;
  int width_ = 0, height_ = 0;
};

// Palette index of the web-palette colour nearest to (r, g, b): 36 · R + 6 · G + B levels.
uint8_t WebPaletteIndex(uint8_t r, uint8_t g, uint8_t b);
