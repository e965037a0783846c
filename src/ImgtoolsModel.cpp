// The pixel model: the frame shape test and its row spans, scratch bitmaps, the outside-ellipse fill.
#include "ImgtoolsRows.h"

#include <cmath>
#include <memory>
#include <vector>

using namespace imgtools;

FrameShapeTest FrameShapeSetup(const TRect& r, bool ellipse, bool inverted) {
  FrameShapeTest t{};
  t.L = r.Left;
  t.T = r.Top;
  t.R = r.Right;
  t.B = r.Bottom;
  t.Rx = std::max<int64_t>(1, std::abs(t.R - t.L) / 2);
  t.Ry = std::max<int64_t>(1, std::abs(t.B - t.T) / 2);
  t.Cx = (t.L + t.R) / 2;
  t.Cy = (t.T + t.B) / 2;
  t.Inner = (t.Rx - 1) * (t.Rx - 1);
  t.Outer = t.Rx * t.Rx;
  t.Ellipse = ellipse;
  t.Inverted = inverted;
  return t;
}

namespace imgtools {

namespace {
// Largest m with m² < k, for k > 0.
int64_t RootBelow(int64_t k) {
  int64_t m = static_cast<int64_t>(std::sqrt(static_cast<double>(k - 1)));
  while (m > 0 && m * m > k - 1) --m;
  while ((m + 1) * (m + 1) <= k - 1) ++m;
  return m;
}
}  // namespace

Span EllipseRun(const FrameShapeTest& t, int y, int64_t limit, int x0, int x1) {
  int64_t a = std::max<int64_t>(t.L, x0), b = std::min<int64_t>(t.R, x1);
  if (t.Ellipse) {
    const int64_t dy = ((y - t.Cy) * t.Rx) / t.Ry;
    const int64_t k = limit - dy * dy;
    if (k <= 0) return {x0, x0};
    const int64_t m = RootBelow(k);
    a = std::max(a, t.Cx - m);
    b = std::min(b, t.Cx + m + 1);
  }
  if (a >= b) return {x0, x0};
  return {static_cast<int>(a), static_cast<int>(b)};
}

int SelectedSpans(const FrameShapeTest& t, int y, int x0, int x1, Span out[2]) {
  if (x0 >= x1) return 0;
  if (y < t.T || y >= t.B) {
    if (!t.Inverted) return 0;
    out[0] = {x0, x1};
    return 1;
  }
  if (!t.Inverted) {
    const Span s = EllipseRun(t, y, t.Outer, x0, x1);
    if (s.a >= s.b) return 0;
    out[0] = s;
    return 1;
  }
  // Inverted: everything but the inside proper (the edge ring stays selected).
  const Span in = EllipseRun(t, y, t.Inner, x0, x1);
  if (in.a >= in.b) {
    out[0] = {x0, x1};
    return 1;
  }
  int n = 0;
  if (x0 < in.a) out[n++] = {x0, in.a};
  if (in.b < x1) out[n++] = {in.b, x1};
  return n;
}

TBitmap& ScratchBitmap(int slot, int w, int h) {
  static std::vector<std::unique_ptr<TBitmap>> slots;
  if (slot >= static_cast<int>(slots.size())) slots.resize(slot + 1);
  if (!slots[slot]) slots[slot] = std::make_unique<TBitmap>();
  TBitmap& b = *slots[slot];
  if (b.PixelFormat() != pf32bit || b.Width() != w || b.Height() != h) {
    b.SetSize(0, 0);  // nothing worth keeping: avoid copying the old pixels
    b.SetPixelFormat(pf32bit);
    b.SetSize(w, h);
  }
  return b;
}

}  // namespace imgtools

namespace {
void FillRun(uint32_t* __restrict p, int a, int b, uint32_t c) {
  for (int x = a; x < b; ++x) p[x] = c;
}
void BlendRun(uint32_t* __restrict p, int a, int b, uint32_t c) {
  const uint32_t half = c & 0xFEFEFE;
  for (int x = a; x < b; ++x) p[x] = ((p[x] & 0xFEFEFE) + half) >> 1;
}
}  // namespace

void FillOutsideEllipse(TBitmap& bmp, uint32_t pixelValue) {
  bmp.SetPixelFormat(pf32bit);
  const int W = bmp.Width(), H = bmp.Height();
  const FrameShapeTest t = FrameShapeSetup({0, 0, W, H}, true, false);
  for (int y = 0; y < H; ++y) {
    uint32_t* row = Row32(bmp, y);
    const Span out = EllipseRun(t, y, t.Outer, 0, W);
    if (out.a >= out.b) {
      FillRun(row, 0, W, pixelValue);
      continue;
    }
    const Span in = EllipseRun(t, y, t.Inner, 0, W);
    FillRun(row, 0, out.a, pixelValue);
    if (in.a >= in.b) {
      BlendRun(row, out.a, out.b, pixelValue);
    } else {
      BlendRun(row, out.a, in.a, pixelValue);
      BlendRun(row, in.b, out.b, pixelValue);
    }
    FillRun(row, out.b, W, pixelValue);
  }
}
