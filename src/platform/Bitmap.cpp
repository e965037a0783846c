// TBitmap storage: size and format changes, copies, and the canvas over its own pixels.
#include "platform/Bitmap.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/Canvas.h"
#include "platform/CanvasTarget.h"
#include "platform/PixelMemory.h"

class TBitmapSurface : public TCanvasTarget {
 public:
  explicit TBitmapSurface(TBitmap& bmp) : bmp_(bmp), canvas_(*this) {}
  QImage* Image() override {
    if (bmp_.Empty()) return nullptr;
    uint8_t* bits = bmp_.ScanLine(0);
    const QImage::Format f = bmp_.PixelFormat() == pf32bit ? QImage::Format_RGB32 : QImage::Format_BGR888;
    if (image_.constBits() != bits || image_.width() != bmp_.Width() || image_.height() != bmp_.Height() ||
        image_.format() != f)
      image_ = QImage(bits, bmp_.Width(), bmp_.Height(), bmp_.Stride(), f);
    return &image_;
  }
  QPaintDevice* Device() override { return Image(); }
  TCanvas& Canvas() { return canvas_; }

 private:
  TBitmap& bmp_;
  QImage image_;
  TCanvas canvas_;
};

void TBitmap::Free::operator()(uint8_t* p) const { FreePixels(p); }

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

TCanvas& TBitmap::Canvas() {
  if (!surface_) surface_ = std::make_unique<TBitmapSurface>(*this);
  return surface_->Canvas();
}

namespace {
std::ptrdiff_t StrideOf(int w, TPixelFormat f) {
  return f == pf32bit ? std::ptrdiff_t(w) * 4 : (std::ptrdiff_t(w) * 3 + 3) / 4 * 4;
}
}  // namespace

void TBitmap::Reallocate(int w, int h, TPixelFormat f) {
  if (int64_t(w) * h > kMaxPixels)
    throw std::runtime_error("画像が大きすぎます (" + std::to_string(w) + " x " + std::to_string(h) + ")");
  const std::ptrdiff_t stride = StrideOf(w, f);
  bits_.reset(AllocatePixels(std::size_t(stride) * std::size_t(h)));
  width_ = w;
  height_ = h;
  format_ = f;
  stride_ = stride;
}

void TBitmap::SetSize(int w, int h) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  if (w == width_ && h == height_) return;
  std::unique_ptr<uint8_t, Free> old(bits_.release());
  const int oldW = width_, oldH = height_;
  const std::ptrdiff_t oldStride = stride_;
  try {
    Reallocate(w, h, format_);
  } catch (...) {
    bits_.reset(old.release());
    throw;
  }
  const TColor brush = surface_ ? surface_->Canvas().Brush.Color : clWhite;
  const int bpp = BytesPerPixel();
  const int keepW = std::min(w, oldW), keepH = std::min(h, oldH);
  // One row of brush colour, copied wherever new pixels appear.
  std::vector<uint8_t> fill(std::size_t(w) * bpp);
  for (std::size_t i = 0; i < fill.size(); i += bpp) {
    fill[i + kB] = GetBValue(brush);
    fill[i + kG] = GetGValue(brush);
    fill[i + kR] = GetRValue(brush);
    if (bpp == 4) fill[i + kX] = 0;
  }
  for (int y = 0; y < h; ++y) {
    uint8_t* row = ScanLine(y);
    const int kept = y < keepH ? keepW : 0;
    if (kept) std::memcpy(row, old.get() + y * oldStride, std::size_t(kept) * bpp);
    if (w > kept) std::memcpy(row + std::size_t(kept) * bpp, fill.data(), std::size_t(w - kept) * bpp);
  }
}

void TBitmap::SetPixelFormat(TPixelFormat f) {
  if (f == format_) return;
  if (Empty()) {
    format_ = f;
    stride_ = StrideOf(width_, f);
    bits_.reset(AllocatePixels(std::size_t(stride_) * std::size_t(height_)));
    return;
  }
  std::unique_ptr<uint8_t, Free> old(bits_.release());
  const std::ptrdiff_t oldStride = stride_;
  const TPixelFormat from = format_;
  try {
    Reallocate(width_, height_, f);
  } catch (...) {
    bits_.reset(old.release());
    format_ = from;
    stride_ = oldStride;
    throw;
  }
  for (int y = 0; y < height_; ++y) {
    const uint8_t* s = old.get() + y * oldStride;
    uint8_t* d = ScanLine(y);
    if (f == pf32bit) {
      for (int x = 0; x < width_; ++x, s += 3, d += 4) {
        d[kB] = s[kB];
        d[kG] = s[kG];
        d[kR] = s[kR];
        d[kX] = 0;
      }
    } else {
      for (int x = 0; x < width_; ++x, s += 4, d += 3) {
        d[kB] = s[kB];
        d[kG] = s[kG];
        d[kR] = s[kR];
      }
    }
  }
}

void TBitmap::Assign(const TBitmap& other) {
  if (&other == this) return;
  if (other.width_ != width_ || other.height_ != height_ || other.format_ != format_ || !bits_)
    Reallocate(other.width_, other.height_, other.format_);
  if (!other.Empty()) std::memcpy(bits_.get(), other.bits_.get(), std::size_t(stride_) * std::size_t(height_));
}

void TBitmap::Swap(TBitmap& other) {
  std::swap(width_, other.width_);
  std::swap(height_, other.height_);
  std::swap(format_, other.format_);
  std::swap(stride_, other.stride_);
  std::swap(bits_, other.bits_);
}
