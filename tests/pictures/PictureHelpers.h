// Helpers of the picture tests: pictures made in memory, decoded by outside tools, compared.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

// A picture as plain rows of R, G, B bytes, as tools like djpeg and ImageMagick write them.
struct RgbPicture {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Rgb;  // Width * Height * 3
  const uint8_t* At(int x, int y) const { return &Rgb[(std::size_t(y) * Width + x) * 3]; }
};

// Parses a binary PPM (P6) or PGM (P5) with maxval 255; grey becomes R = G = B.
RgbPicture ParsePnm(const std::string& bytes);
// Runs a command that writes a PPM/PGM to standard output; fails the test when it fails.
RgbPicture DecodeWithTool(const std::string& command);
std::string Quote(const std::string& path);

// A w x h bitmap whose pixel (x, y) is f(x, y) as TColor.
template <typename F>
void Paint(TBitmap& bmp, int w, int h, TPixelFormat format, F f) {
  bmp.SetPixelFormat(format);
  bmp.SetSize(w, h);
  const int bpp = bmp.BytesPerPixel();
  for (int y = 0; y < h; ++y) {
    uint8_t* p = bmp.ScanLine(y);
    for (int x = 0; x < w; ++x, p += bpp) {
      const TColor c = f(x, y);
      p[kB] = GetBValue(c);
      p[kG] = GetGValue(c);
      p[kR] = GetRValue(c);
      if (bpp == 4) p[kX] = 0;
    }
  }
}

TColor PixelAt(const TBitmap& bmp, int x, int y);  // B, G, R as a TColor (any format)
uint8_t XAt(const TBitmap& bmp, int x, int y);     // fourth byte of a 32-bit bitmap

// Largest difference of one channel between the bitmap and the picture, with where it is.
struct Difference {
  int Max = 0, X = -1, Y = -1;
  TColor Ours = 0;
  uint8_t Theirs[3] = {};
};
Difference Compare(const TBitmap& bmp, const RgbPicture& pic);
std::string Describe(const Difference& d);

// Makes a file or folder read-only for this process while it lives: mode without write bits and,
// for root (who writes anyway), the immutable attribute. Fails the test when that is not possible.
class ReadOnlyGuard {
 public:
  explicit ReadOnlyGuard(const std::string& path);
  ~ReadOnlyGuard();
  ReadOnlyGuard(const ReadOnlyGuard&) = delete;
  ReadOnlyGuard& operator=(const ReadOnlyGuard&) = delete;

 private:
  std::string path_;
  unsigned mode_ = 0;
  bool immutable_ = false;
};
