// Neighbourhood filters: 3 × 3 kernels, mosaic, differential (edge) picture.
#include "ImgtoolsRows.h"

#include <cstdlib>
#include <numeric>
#include <vector>

using namespace imgtools;

namespace {

// The columns x0 - 1 .. x1 of a row as they were before the filter wrote anything, each column
// clamped to the picture: entry i holds column clamp(x0 - 1 + i, 0, W - 1).
class PaddedRow {
 public:
  PaddedRow(int x0, int x1, int W) : x0_(x0), x1_(x1), W_(W), px_(std::size_t(x1 - x0 + 2)) {}
  void Load(const uint32_t* row) {
    px_.front() = row[std::max(x0_ - 1, 0)];
    std::memcpy(px_.data() + 1, row + x0_, std::size_t(x1_ - x0_) * 4);
    px_.back() = row[std::min(x1_, W_ - 1)];
  }
  // The entry of column x.
  const uint8_t* At(int x) const { return reinterpret_cast<const uint8_t*>(px_.data() + (x - x0_ + 1)); }
  void Swap(PaddedRow& o) { px_.swap(o.px_); }

 private:
  int x0_, x1_, W_;
  std::vector<uint32_t> px_;
};

// The filter's kernel known at compile time for the program's own kernels, so the divisions
// by 9, 16 and 12 become multiplications.
template <const Kernel3x3& K>
struct FixedKernel {
  static constexpr int kDiv = K[0] + K[1] + K[2] + K[3] + K[4] + K[5] + K[6] + K[7] + K[8];
  int W(int i) const { return K[i]; }
  int Div(int s) const { return s / kDiv; }
};
struct AnyKernel {
  int w[9];
  int div;
  int W(int i) const { return w[i]; }
  int Div(int s) const { return s / div; }
};

template <class Kn>
void ConvolveRow(uint8_t* __restrict out, const uint8_t* __restrict up, const uint8_t* __restrict own,
                 const uint8_t* __restrict down, int n, const Kn& k) {
  for (int x = 0; x < n; ++x) {
    const int i = 4 * x;
    for (int c = 0; c < 3; ++c) {
      const int s = k.W(0) * up[i - 4 + c] + k.W(1) * up[i + c] + k.W(2) * up[i + 4 + c] +
                    k.W(3) * own[i - 4 + c] + k.W(4) * own[i + c] + k.W(5) * own[i + 4 + c] +
                    k.W(6) * down[i - 4 + c] + k.W(7) * down[i + c] + k.W(8) * down[i + 4 + c];
      out[i + c] = static_cast<uint8_t>(Clamp255(k.Div(s)));
    }
  }
}

template <class Kn>
void ConvolveRange(TBitmap& bmp, const FrameShapeTest& t, const Range& r, const Kn& k) {
  const int W = bmp.Width(), H = bmp.Height();
  PaddedRow up(r.x0, r.x1, W), own(r.x0, r.x1, W), down(r.x0, r.x1, W);
  // The first row of the range is its own row above.
  up.Load(Row32(bmp, r.y0));
  own.Load(Row32(bmp, r.y0));
  down.Load(Row32(bmp, std::min(r.y0 + 1, H - 1)));
  Span s[2];
  for (int y = r.y0; y < r.y1; ++y) {
    uint8_t* out = bmp.ScanLine(y);
    const int n = SelectedSpans(t, y, r.x0, r.x1, s);
    for (int i = 0; i < n; ++i)
      ConvolveRow(out + 4 * s[i].a, up.At(s[i].a), own.At(s[i].a), down.At(s[i].a), s[i].b - s[i].a, k);
    if (y + 1 < r.y1) {
      up.Swap(own);
      own.Swap(down);
      down.Load(Row32(bmp, std::min(y + 2, H - 1)));
    }
  }
}

}  // namespace

void Convolve3x3(const EffectArgs& a, const std::array<int16_t, 9>& kernel) {
  TBitmap& bmp = a.Bmp;
  bmp.SetPixelFormat(pf32bit);
  if (bmp.Height() < 1) return;
  const FrameShapeTest t = FrameShapeSetup(a.Frame, a.Ellipse, a.Inverted);
  const Range r = EffectRange(bmp, a.Frame, a.Inverted);
  if (r.Empty()) return;
  // Reads come from copies of the rows taken before they are written, one row ahead.
  if (kernel == kBlurKernel) {
    ConvolveRange(bmp, t, r, FixedKernel<kBlurKernel>{});
  } else if (kernel == kSharpenKernel) {
    ConvolveRange(bmp, t, r, FixedKernel<kSharpenKernel>{});
  } else if (kernel == kStampSoftenKernel) {
    ConvolveRange(bmp, t, r, FixedKernel<kStampSoftenKernel>{});
  } else {
    AnyKernel k{};
    for (int i = 0; i < 9; ++i) k.w[i] = kernel[i];
    k.div = std::accumulate(kernel.begin(), kernel.end(), 0);
    if (k.div == 0) k.div = 1;  // weights adding up to 0: the weighted sum itself, clamped
    ConvolveRange(bmp, t, r, k);
  }
}

namespace {

// Fills the columns [a, b) of a row from the block samples; blocks are 2·half wide from x = 0.
void MosaicRow(uint32_t* __restrict p, const uint32_t* srow, int a, int b, int half, int last) {
  const int block = 2 * half;
  for (int start = a & ~(block - 1); start < b; start += block) {
    const uint32_t v = srow[std::min(last, start + half)];
    const int e = std::min(b, start + block);
    for (int x = std::max(a, start); x < e; ++x) p[x] = v;
  }
}

}  // namespace

void Mosaic(const EffectArgs& a, bool coarse) {
  TBitmap& bmp = a.Bmp;
  bmp.SetPixelFormat(pf32bit);
  const FrameShapeTest t = FrameShapeSetup(a.Frame, a.Ellipse, a.Inverted);
  const Range r = EffectRange(bmp, a.Frame, a.Inverted);
  if (r.Empty()) return;
  int level = coarse ? 1 : 0;
  const int side = std::max(bmp.Width(), bmp.Height());
  for (int threshold : {500, 1000, 2000, 4000})
    if (side >= threshold) ++level;
  const int half = 1 << level, mask = ~(2 * half - 1);
  // In place: a block's sample maps onto itself, so it still holds its colour when read.
  ForEachSelectedRun(t, r, [&](int y, int x0, int x1) {
    const int sy = std::min(r.y1 - 1, (y & mask) + half);
    MosaicRow(Row32(bmp, y), Row32(bmp, sy), x0, x1, half, r.x1 - 1);
  });
}

namespace {

// Luma of the columns x0 - 1 .. x1 of a row, columns clamped to the picture.
class LumaRow {
 public:
  LumaRow(int x0, int x1, int W) : x0_(x0), x1_(x1), W_(W), l_(std::size_t(x1 - x0 + 2)) {}
  void Load(const uint8_t* row) {
    uint8_t* __restrict l = l_.data();
    const int base = x0_ - 1, n = x1_ - x0_ + 2;
    for (int i = 0; i < n; ++i) {
      const uint8_t* p = row + 4 * ClampTo(base + i, 0, W_ - 1);
      l[i] = static_cast<uint8_t>(Luma(p[kR], p[kG], p[kB]));
    }
  }
  const uint8_t* At(int x) const { return l_.data() + (x - x0_ + 1); }
  void Swap(LumaRow& o) { l_.swap(o.l_); }

 private:
  int x0_, x1_, W_;
  std::vector<uint8_t> l_;
};

void ReliefRow(uint8_t* __restrict out, const uint8_t* __restrict up, const uint8_t* __restrict own,
               const uint8_t* __restrict down, int n) {
  for (int x = 0; x < n; ++x) {
    const int v = Clamp255(255 - 2 * std::abs(down[x] - up[x]) - 2 * std::abs(own[x + 1] - own[x - 1]));
    out[4 * x + kB] = out[4 * x + kG] = out[4 * x + kR] = static_cast<uint8_t>(v);
  }
}

}  // namespace

void EdgeRelief(const EffectArgs& a) {
  TBitmap& bmp = a.Bmp;
  bmp.SetPixelFormat(pf32bit);
  const FrameShapeTest t = FrameShapeSetup(a.Frame, a.Ellipse, a.Inverted);
  const Range r = EffectRange(bmp, a.Frame, a.Inverted);
  if (r.Empty()) return;
  const int W = bmp.Width(), H = bmp.Height();
  // Luma of the rows above, at and below the current one, taken before they are written.
  LumaRow up(r.x0, r.x1, W), own(r.x0, r.x1, W), down(r.x0, r.x1, W);
  up.Load(bmp.ScanLine(std::max(r.y0 - 1, 0)));
  own.Load(bmp.ScanLine(r.y0));
  down.Load(bmp.ScanLine(std::min(r.y0 + 1, H - 1)));
  Span s[2];
  for (int y = r.y0; y < r.y1; ++y) {
    uint8_t* out = bmp.ScanLine(y);
    const int n = SelectedSpans(t, y, r.x0, r.x1, s);
    for (int i = 0; i < n; ++i)
      ReliefRow(out + 4 * s[i].a, up.At(s[i].a), own.At(s[i].a), down.At(s[i].a), s[i].b - s[i].a);
    if (y + 1 < r.y1) {
      up.Swap(own);
      own.Swap(down);
      down.Load(bmp.ScanLine(std::min(y + 2, H - 1)));
    }
  }
}
