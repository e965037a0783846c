// Tone and colour: contrast, dark-area contrast, grey scale, white/black swap.
#include "ImgtoolsRows.h"

#include <cstdlib>
#include <vector>

using namespace imgtools;

namespace {

// Pixels left out of the contrast means: all channels 252 or more, or all multiples of 16.
constexpr bool Excluded(uint32_t p) { return ((p & 0xFCFCFC) == 0xFCFCFC) | ((p & 0x0F0F0F) == 0); }

constexpr int LumaOf(uint32_t p) { return Luma((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

struct Mean {
  int64_t sum = 0, count = 0;
  int Value() const { return static_cast<int>(sum / std::max<int64_t>(count, 1)); }
};

// Sums of up to 2^24 pixels stay in 32 bits, which lets the loops vectorise.
constexpr int kChunk = 1 << 24;

IMGTOOLS_ROW_KERNEL void AddLumaExcluding(const uint32_t* __restrict p, int a, int b, Mean& m) {
  for (int c = a; c < b; c += kChunk) {
    const int e = std::min(b, c + kChunk);
    uint32_t sum = 0, count = 0;
    for (int x = c; x < e; ++x) {
      const uint32_t v = p[x];
      const uint32_t use = !Excluded(v);
      sum += use * uint32_t(LumaOf(v));
      count += use;
    }
    m.sum += sum;
    m.count += count;
  }
}

IMGTOOLS_ROW_KERNEL void AddLuma(const uint32_t* __restrict p, int a, int b, Mean& m) {
  for (int c = a; c < b; c += kChunk) {
    const int e = std::min(b, c + kChunk);
    uint32_t sum = 0;
    for (int x = c; x < e; ++x) sum += uint32_t(LumaOf(p[x]));
    m.sum += sum;
    m.count += e - c;
  }
}

// Y' and the colour-difference scale s, both functions of Y alone.
struct ContrastTable {
  int y[256];
  int s[256];
};

// Exact v / 9 (toward zero) for |v| < 2^22: the quotient is never within 1/9 of the next integer.
inline int DivideBy9(int v) { return static_cast<int>(static_cast<float>(v) / 9.0f); }

// Looks up Y' and s per pixel (a table lookup does not vectorise), then works out the colours.
IMGTOOLS_ROW_KERNEL void ContrastRow(uint32_t* __restrict p, int a, int b, const ContrastTable& t,
                                     int* __restrict ys, int* __restrict ss) {
  const int n = b - a;
  p += a;
  for (int x = 0; x < n; ++x) {
    const uint32_t v = p[x];
    const int Y = Luma((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    ys[x] = t.y[Y];
    ss[x] = t.s[Y];
  }
  for (int x = 0; x < n; ++x) {
    const uint32_t v = p[x];
    const int R = (v >> 16) & 0xFF, G = (v >> 8) & 0xFF, B = v & 0xFF;
    const int Y = Luma(R, G, B), yp = ys[x], s = ss[x];
    // |d · s| stays below 2^28: a large s needs a small Y, which bounds the difference.
    const int dR = ((R - Y) * s) / 65536, dB = ((B - Y) * s) / 65536;
    const int R2 = Clamp255(yp + dR), B2 = Clamp255(yp + dB), G2 = Clamp255(yp - DivideBy9(5 * dR + 2 * dB));
    p[x] = (v & 0xFF000000) | uint32_t(R2 << 16) | uint32_t(G2 << 8) | uint32_t(B2);
  }
}

int Nudge(int target, int v, int b) { return Clamp255(((target + 7 * b) >> 3) + ((9 * (v - b)) >> 3)); }

IMGTOOLS_ROW_KERNEL void DarkContrastRow(uint32_t* __restrict p, const uint32_t* __restrict blur, int a,
                                         int b) {
  for (int x = a; x < b; ++x) {
    const uint32_t v = p[x], bl = blur[x];
    const int nb = Nudge(128, v & 0xFF, bl & 0xFF);
    const int ng = Nudge(136, (v >> 8) & 0xFF, (bl >> 8) & 0xFF);
    const int nr = Nudge(144, (v >> 16) & 0xFF, (bl >> 16) & 0xFF);
    const uint32_t changed = (v & 0xFF000000) | uint32_t(nr << 16) | uint32_t(ng << 8) | uint32_t(nb);
    p[x] = Excluded(v) ? v : changed;
  }
}

IMGTOOLS_ROW_KERNEL void GreyRow(uint32_t* __restrict p, int a, int b) {
  for (int x = a; x < b; ++x) {
    const uint32_t v = p[x];
    const uint32_t y = uint32_t(LumaOf(v));
    p[x] = (v & 0xFF000000u) | y | (y << 8) | (y << 16);
  }
}

uint32_t Rgb(uint32_t x, int r, int g, int b) {
  return x | uint32_t(r << 16) | uint32_t(g << 8) | uint32_t(b);
}

// Every outcome is worked out and one chosen, so the row has no branches; the picture's
// brightness decides which outcomes there are.
template <bool Dark, bool Bright>
IMGTOOLS_ROW_KERNEL void SwapRow(uint32_t* __restrict p, int a, int b, int lo, int hi) {
  for (int x = a; x < b; ++x) {
    const uint32_t v = p[x], keepX = v & 0xFF000000;
    const int R = (v >> 16) & 0xFF, G = (v >> 8) & 0xFF, B = v & 0xFF;
    const int Y = Luma(R, G, B);
    uint32_t out = v;
    if constexpr (Bright) {
      const uint32_t stretched = Rgb(keepX, Clamp255(2 * (R - 128) + 128), Clamp255(16 * (G - 128) + 128),
                                     Clamp255(2 * (B - 128) + 128));
      out = G <= 176 ? stretched : out;
    }
    if constexpr (Dark) {
      const uint32_t toGrey = Rgb(keepX, (R - 128) / 2 + 128, (G - 128) / 16 + 128, (B - 128) / 2 + 128);
      out = G > 176 ? toGrey : out;
    }
    out = Y > hi ? 0u : out;
    out = Y < lo ? kWhitePixel : out;
    p[x] = out;
  }
}

}  // namespace

void ContrastUp(const EffectArgs& a, double factor) {
  TBitmap& bmp = a.Bmp;
  bmp.SetPixelFormat(pf32bit);
  const FrameShapeTest t = FrameShapeSetup(a.Frame, a.Ellipse, a.Inverted);
  const Range r = EffectRange(bmp, a.Frame, a.Inverted);
  Mean m;
  ForEachSelectedRun(t, r, [&](int y, int x0, int x1) { AddLumaExcluding(Row32(bmp, y), x0, x1, m); });
  const int64_t mean = m.Value();
  const int64_t k = static_cast<int64_t>(std::clamp(factor * 65536, -1e12, 1e12));
  const int64_t pivot = factor > 1.0 ? mean : (mean + 128) / 2;
  ContrastTable table;
  for (int Y = 0; Y < 256; ++Y) {
    table.y[Y] = Clamp255(static_cast<int>(std::clamp<int64_t>(pivot + ((Y - mean) * k) / 65536, -1, 256)));
    table.s[Y] = (table.y[Y] * 65536) / std::max(Y, 1);
  }
  std::vector<int> ys(std::max(r.x1 - r.x0, 0)), ss(ys.size());
  ForEachSelectedRun(
      t, r, [&](int y, int x0, int x1) { ContrastRow(Row32(bmp, y), x0, x1, table, ys.data(), ss.data()); });
}

void DarkContrast(const EffectArgs& a) {
  TBitmap& bmp = a.Bmp;
  bmp.SetPixelFormat(pf32bit);
  const FrameShapeTest t = FrameShapeSetup(a.Frame, a.Ellipse, a.Inverted);
  const Range r = EffectRange(bmp, a.Frame, a.Inverted);
  if (r.Empty()) return;
  const int W = bmp.Width(), H = bmp.Height();
  TBitmap& blur = ScratchBitmap(kScratchBlur, W, H);
  HalvingBlur(blur, bmp, std::min(W, H) / 8);
  ForEachSelectedRun(t, r,
                     [&](int y, int x0, int x1) { DarkContrastRow(Row32(bmp, y), Row32(blur, y), x0, x1); });
}

void GreyScale(const EffectArgs& a) {
  TBitmap& bmp = a.Bmp;
  bmp.SetPixelFormat(pf32bit);
  const FrameShapeTest t = FrameShapeSetup(a.Frame, a.Ellipse, a.Inverted);
  ForEachSelectedRun(t, EffectRange(bmp, a.Frame, a.Inverted),
                     [&](int y, int x0, int x1) { GreyRow(Row32(bmp, y), x0, x1); });
}

void WhiteBlackSwap(const EffectArgs& a) {
  TBitmap& bmp = a.Bmp;
  bmp.SetPixelFormat(pf32bit);
  const FrameShapeTest t = FrameShapeSetup(a.Frame, a.Ellipse, a.Inverted);
  const Range r = EffectRange(bmp, a.Frame, a.Inverted);
  Mean m;
  ForEachSelectedRun(t, r, [&](int y, int x0, int x1) { AddLuma(Row32(bmp, y), x0, x1, m); });
  const int mean = m.Value();
  const int spread = std::abs(mean - 128);
  const int lo = 128 - spread, hi = 128 + spread;
  auto swap = mean < 32 ? SwapRow<true, false> : mean > 224 ? SwapRow<false, true> : SwapRow<false, false>;
  ForEachSelectedRun(t, r, [&](int y, int x0, int x1) { swap(Row32(bmp, y), x0, x1, lo, hi); });
}
