// Small pictures for the pixel algorithm tests: building them, reading them, comparing them.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

// Pixel values as stored (0xXXRRGGBB read as one little-endian integer).
uint32_t Px(const TBitmap& b, int x, int y);
void SetPx(TBitmap& b, int x, int y, uint32_t v);
constexpr uint32_t Pix(int r, int g, int b, int x = 0) {
  return (uint32_t(x) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}
constexpr uint32_t Grey(int v) { return Pix(v, v, v); }

// A 32-bit w × h bitmap with every pixel set by f(x, y).
template <class F>
void Make(TBitmap& b, int w, int h, F f) {
  b.SetPixelFormat(pf32bit);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPx(b, x, y, f(x, y));
}
void MakeFlat(TBitmap& b, int w, int h, uint32_t v);
// Rows given top to bottom, one value per pixel.
void MakeRows(TBitmap& b, std::initializer_list<std::initializer_list<uint32_t>> rows);
// A picture with varied colours, different in every channel, X included.
uint32_t Photo(int x, int y);

// " (x, y) got 0x… want 0x…" for failure messages.
std::string Describe(int x, int y, uint32_t got, uint32_t want);

// Compares whole pixel values, or only B, G, R with mask 0x00FFFFFF; reports the first
// mismatches with coordinates and both values.
::testing::AssertionResult SamePixels(const TBitmap& got, const TBitmap& want, uint32_t mask = 0xFFFFFFFF);
template <class F>
::testing::AssertionResult PixelsAre(const TBitmap& got, F want, uint32_t mask = 0xFFFFFFFF) {
  int bad = 0;
  std::string msg;
  for (int y = 0; y < got.Height(); ++y)
    for (int x = 0; x < got.Width(); ++x) {
      const uint32_t g = Px(got, x, y) & mask, w = uint32_t(want(x, y)) & mask;
      if (g != w && ++bad <= 8) msg += Describe(x, y, g, w);
    }
  if (bad == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << bad << " pixels differ:" << msg;
}
