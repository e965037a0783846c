// Small helpers of the straightening and button face tests: pixel access and messages.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/Bitmap.h"

// Pixel values as stored (0xXXRRGGBB read as one little-endian integer).
inline uint32_t Px(const TBitmap& b, int x, int y) {
  uint32_t v = 0;
  std::memcpy(&v, b.ScanLine(y) + b.BytesPerPixel() * x, b.BytesPerPixel());
  return v;
}
inline void SetPx(TBitmap& b, int x, int y, uint32_t v) {
  std::memcpy(b.ScanLine(y) + b.BytesPerPixel() * x, &v, b.BytesPerPixel());
}
constexpr uint32_t Pix(int r, int g, int b, int x = 0) {
  return (uint32_t(x) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}
constexpr uint32_t Grey(int v) { return Pix(v, v, v); }

// A w × h bitmap of the given format with every pixel set by f(x, y).
template <class F>
void Make(TBitmap& b, int w, int h, F f, TPixelFormat format = pf32bit) {
  b.SetPixelFormat(format);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPx(b, x, y, f(x, y));
}

inline std::string At(int x, int y, uint32_t got, uint32_t want) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "(%d, %d) got 0x%08X want 0x%08X", x, y, got, want);
  return buf;
}
