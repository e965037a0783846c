// TJPEGImage: one compressed JPEG picture, decoded into and encoded from a TBitmap (libjpeg).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

// Every failure (unreadable file, damaged or unsupported data, a picture too big) is a
// std::runtime_error with a readable message; the object then holds no picture.
class TJPEGImage {
 public:
  int CompressionQuality = 90;  // 1 ... 100, used by Assign

  // Take a compressed picture (a whole file, or bytes in memory such as an EXIF thumbnail)
  // and read its header, so Width and Height are known before decoding.
  void LoadFromFile(const std::string& fileName);
  void LoadFromMemory(const uint8_t* data, std::size_t size);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return data_.empty(); }

  // Decodes the picture into bmp (replaced) in the given format; grey, CMYK and YCCK pictures
  // become B, G, R. The fourth byte of a 32-bit result is 0.
  void AssignTo(TBitmap& bmp, TPixelFormat format = pf24bit) const;

  // Encodes a 24- or 32-bit bitmap (the fourth byte is ignored) as a baseline JPEG at
  // CompressionQuality.
  void Assign(const TBitmap& bmp);

  const std::vector<uint8_t>& Data() const { return data_; }
  // Written through a temporary file, so a failure leaves an existing file untouched.
  void SaveToFile(const std::string& fileName) const;

 private:
  std::vector<uint8_t> data_;
  int width_ = 0, height_ = 0;
};
