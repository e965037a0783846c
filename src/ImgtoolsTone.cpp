// Tone and colour: contrast, dark-area contrast, grey scale, white/black swap.
#include "ImgtoolsRows.h"

#include <cstdlib>

using namespace imgtools;

namespace {

// Pixels left out of the contrast means: all channels 252 or more, or all multiples of 16.
constexpr bool Excluded(uint32_t p) { return (p & 0xFCFCFC) == 0xFCFCFC || (p & 0x0F0F0F) == 0; }

constexpr int LumaOf(uint32_t p) { return Luma((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

struct Mean {
  int64_t sum = 0, count = 0;
  int Value() const { return static_cast<int>(sum / std::max<int64_t>(count, 1)); }
};

void AddLumaExcluding(const uint32_t* __restrict p, int a, int b, Mean& m) {
  int64_t sum = 0, count = 0;
  for (int x = a; x < b; ++x) {
    const bool use = !Excluded(p[x]);
    sum += use ? LumaOf(p[x]) : 0;
    count += use;
  }
  m.sum += sum;
  m.count += count;
}

void AddLuma(const uint32_t* __restrict p, int a, int b, Mean& m) {
  int64_t sum = 0;
  for (int x = a; x < b; ++x) sum += LumaOf(p[x]);
  m.sum += sum;
  m.count += b - a;
}

// Y' and the colour-difference scale s, both functions of Y alone.
struct ContrastTable {
  int y[256];
  int s[256];
};

void ContrastRow(uint8_t* __restrict p, int a, int b, const ContrastTable& t) {
  for (int x = a; x < b; ++x) {
    uint8_t* q = p + 4 * x;
    const int R = q[kR], G = q[kG], B = q[kB];
    const int Y = Luma(R, G, B);
    const int yp = t.y[Y], s = t.s[Y];
    // |d · s| stays below 2^28: a large s needs a small Y, which bounds the difference.
    const int dR = ((R - Y) * s) / 65536, dB = ((B - Y) * s) / 65536;
    q[kR] = Clamp255(yp + dR);
    q[kB] = Clamp255(yp + dB);
    q[kG] = Clamp255(yp - (5 * dR + 2 * dB) / 9);
  }
}

void DarkContrastRow(uint8_t* __restrict p, const uint8_t* __restrict blur, int a, int b) {
  for (int x = a; x < b; ++x) {
    uint8_t* q = p + 4 * x;
    uint32_t v;
    std::memcpy(&v, q, 4);
    if (Excluded(v)) continue;
    const uint8_t* bl = blur + 4 * x;
    q[kB] = Clamp255(((128 + 7 * bl[kB]) >> 3) + ((9 * (q[kB] - bl[kB])) >> 3));
    q[kG] = Clamp255(((136 + 7 * bl[kG]) >> 3) + ((9 * (q[kG] - bl[kG])) >> 3));
    q[kR] = Clamp255(((144 + 7 * bl[kR]) >> 3) + ((9 * (q[kR] - bl[kR])) >> 3));
  }
}

void GreyRow(uint32_t* __restrict p, int a, int b) {
  for (int x = a; x < b; ++x) {
    const uint32_t v = p[x];
    const uint32_t y = uint32_t(LumaOf(v));
    p[x] = (v & 0xFF000000u) | y | (y << 8) | (y << 16);
  }
}

struct SwapRule {
  int lo, hi;
  bool dark, bright;
};

void SwapRow(uint8_t* __restrict p, int a, int b, const SwapRule& r) {
  for (int x = a; x < b; ++x) {
    uint8_t* q = p + 4 * x;
    const int R = q[kR], G = q[kG], B = q[kB];
    const int Y = Luma(R, G, B);
    if (Y < r.lo) {
      const uint32_t white = kWhitePixel;
      std::memcpy(q, &white, 4);
    } else if (Y > r.hi) {
      std::memset(q, 0, 4);
    } else if (r.dark && G > 176) {
      q[kR] = (R - 128) / 2 + 128;
      q[kG] = (G - 128) / 16 + 128;
      q[kB] = (B - 128) / 2 + 128;
    } else if (r.bright && G <= 176) {
      q[kR] = Clamp255(2 * (R - 128) + 128);
      q[kG] = Clamp255(16 * (G - 128) + 128);
      q[kB] = Clamp255(2 * (B - 128) + 128);
    }
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
  ForEachSelectedRun(t, r, [&](int y, int x0, int x1) { ContrastRow(bmp.ScanLine(y), x0, x1, table); });
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
  ForEachSelectedRun(t, r, [&](int y, int x0, int x1) { DarkContrastRow(bmp.ScanLine(y), blur.ScanLine(y), x0, x1); });
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
  const SwapRule rule{128 - spread, 128 + spread, mean < 32, mean > 224};
  ForEachSelectedRun(t, r, [&](int y, int x0, int x1) { SwapRow(bmp.ScanLine(y), x0, x1, rule); });
}
