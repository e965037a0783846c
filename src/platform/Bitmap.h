// TBitmap: a picture in memory, 24- or 32-bit rows (B, G, R[, X]) with a drawing surface.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Types.h"

enum TPixelFormat { pf24bit, pf32bit };

class TCanvas;

// Pixels are owned by the bitmap. Row y starts at ScanLine(y); rows are Stride() bytes apart
// (4 · Width for 32 bits, 3 · Width rounded up to 4 bytes for 24 bits). Pointers stay valid
// until the size or the format changes.
class TBitmap {
 public:
  // Largest picture accepted, in pixels; larger sizes are refused with an error.
  static constexpr int64_t kMaxPixels = int64_t(1) << 28;

  TBitmap();
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // Keeps the pixels at the top-left; new pixels take Canvas().Brush.Color.
  // Negative sizes count as 0.
  void SetSize(int w, int h);
  void SetWidth(int w) { SetSize(w, height_); }
  void SetHeight(int h) { SetSize(width_, h); }

  TPixelFormat PixelFormat() const { return format_; }
  void SetPixelFormat(TPixelFormat f);  // to 32 bits: X = 0
  int BytesPerPixel() const { return format_ == pf32bit ? 4 : 3; }
  std::ptrdiff_t Stride() const { return stride_; }

  uint8_t* ScanLine(int y) { return bits_.get() + y * stride_; }
  const uint8_t* ScanLine(int y) const { return bits_.get() + y * stride_; }

  // Independent copy of size, format and pixels.
  void Assign(const TBitmap& other);
  // Exchanges pixels, size and format (the canvases stay with their bitmaps).
  void Swap(TBitmap& other);

  TCanvas& Canvas();

  // BMP files. Reading throws std::runtime_error on a damaged or unsupported file and leaves
  // the bitmap unchanged; writing stores the bitmap's own format.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

 private:
  struct Free {
    void operator()(uint8_t* p) const;
  };
  void Reallocate(int w, int h, TPixelFormat f);

  int width_ = 0, height_ = 0;
  TPixelFormat format_ = pf32bit;
  std::ptrdiff_t stride_ = 0;
  std::unique_ptr<uint8_t, Free> bits_;
  std::unique_ptr<class TBitmapSurface> surface_;
};

// Pixel value of a colour in 32-bit storage (X = 0), read as a little-endian integer.
constexpr uint32_t ColorToPixel(TColor c) {
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}
constexpr TColor PixelToColor(uint32_t p) {
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}
