// The resampler (block averages or bilinear) and the halving blur built on it.
#include "ImgtoolsRows.h"

#include <cmath>
#include <vector>

using namespace imgtools;

namespace {

// Block sums divided by the block's pixel count. Small blocks (d < 65536, sums < 2^24) divide
// by an exact reciprocal; larger ones sum in 64 bits and divide.
struct SmallBlock {
  using Acc = uint32_t;
  uint64_t m;
  explicit SmallBlock(uint32_t d) : m((uint64_t(1) << 40) / d + 1) {}
  uint8_t operator()(Acc n) const { return static_cast<uint8_t>((uint64_t(n) * m) >> 40); }
};
struct LargeBlock {
  using Acc = uint64_t;
  uint64_t d;
  explicit LargeBlock(uint64_t div) : d(div) {}
  uint8_t operator()(Acc n) const { return static_cast<uint8_t>(n / d); }
};

// Adds one source row's bytes into the column sums.
template <class Acc>
void AddRow(Acc* __restrict sum, const uint8_t* __restrict row, int n) {
  for (int i = 0; i < n; ++i) sum[i] += row[i];
}

template <class Div>
void BoxMethod(TBitmap& dst, int L, int T, int w, int h, const TBitmap& src, int bw, int bh, Div div) {
  using Acc = typename Div::Acc;
  const int sW = src.Width(), sH = src.Height();
  std::vector<int> sx(w);
  for (int x = 0; x < w; ++x) sx[x] = static_cast<int>(int64_t(x) * sW / w);
  const int used = std::min<int64_t>(sW, int64_t(sx[w - 1]) + bw);  // columns any block reaches
  std::vector<Acc> colSum(std::size_t(used) * 4);
  for (int y = 0; y < h; ++y) {
    const int sy = static_cast<int>(int64_t(y) * sH / h);
    std::fill(colSum.begin(), colSum.end(), Acc(0));
    for (int j = 0; j < bh; ++j) AddRow(colSum.data(), src.ScanLine(std::min(sy + j, sH - 1)), used * 4);
    uint8_t* out = dst.ScanLine(T + y) + std::ptrdiff_t(L) * 4;
    const Acc* cs = colSum.data();
    for (int x = 0; x < w; ++x, out += 4) {
      const int base = sx[x];
      const int inside = std::min(bw, sW - base);  // columns past sW - 1 repeat the last one
      Acc s[4] = {0, 0, 0, 0};
      for (int i = 0; i < inside; ++i)
        for (int c = 0; c < 4; ++c) s[c] += cs[(base + i) * 4 + c];
      if (inside < bw)
        for (int c = 0; c < 4; ++c) s[c] += Acc(bw - inside) * cs[(sW - 1) * 4 + c];
      for (int c = 0; c < 4; ++c) out[c] = div(s[c]);
    }
  }
}

// One axis of the bilinear method: the two source indexes and the weight of the second.
struct Tap {
  int s0, s1, w;
};

std::vector<Tap> AxisTaps(int n, int srcN) {
  const double ratio = static_cast<double>(srcN) / n;
  const double offset = ratio <= 1.8 ? 0.2 : 0.5;
  std::vector<Tap> taps(n);
  for (int i = 0; i < n; ++i) {
    const double f = i * ratio + offset;
    const int s = static_cast<int>(std::min<double>(std::floor(f), srcN - 1));
    taps[i] = {s, std::min(s + 1, srcN - 1), static_cast<int>((f - s) * 256)};
  }
  return taps;
}

void BilinearRow(uint8_t* __restrict out, const uint8_t* __restrict r0, const uint8_t* __restrict r1,
                 const Tap* __restrict tx, int w, int wy) {
  const int by = 256 - wy;
  for (int x = 0; x < w; ++x, out += 4) {
    const int wx = tx[x].w, ax = 256 - wx;
    const int w00 = (ax * by) >> 8, w01 = (wx * by) >> 8, w10 = (ax * wy) >> 8, w11 = (wx * wy) >> 8;
    const uint8_t* p00 = r0 + tx[x].s0 * 4;
    const uint8_t* p01 = r0 + tx[x].s1 * 4;
    const uint8_t* p10 = r1 + tx[x].s0 * 4;
    const uint8_t* p11 = r1 + tx[x].s1 * 4;
    for (int c = 0; c < 4; ++c)
      out[c] = static_cast<uint8_t>((p00[c] * w00 + p01[c] * w01 + p10[c] * w10 + p11[c] * w11) >> 8);
  }
}

void BilinearMethod(TBitmap& dst, int L, int T, int w, int h, const TBitmap& src) {
  const std::vector<Tap> tx = AxisTaps(w, src.Width());
  const std::vector<Tap> ty = AxisTaps(h, src.Height());
  for (int y = 0; y < h; ++y)
    BilinearRow(dst.ScanLine(T + y) + std::ptrdiff_t(L) * 4, src.ScanLine(ty[y].s0), src.ScanLine(ty[y].s1),
                tx.data(), w, ty[y].w);
}

}  // namespace

void ResampleInto(TBitmap& dst, int L, int T, int R, int B, TBitmap& src) {
  dst.SetPixelFormat(pf32bit);
  src.SetPixelFormat(pf32bit);
  if (dst.Width() == src.Width() && dst.Height() == src.Height()) {
    dst.Assign(src);
    return;
  }
  const int sW = std::max(src.Width(), 2), sH = std::max(src.Height(), 2);
  src.SetSize(sW, sH);
  const int dW = std::max(dst.Width(), 2), dH = std::max(dst.Height(), 2);
  dst.SetSize(dW, dH);
  L = ClampTo(L, 0, dW - 1);
  T = ClampTo(T, 0, dH - 1);
  R = std::max(2, std::min(R, dW));
  B = std::max(2, std::min(B, dH));
  const int w = R - L, h = B - T;
  if (w <= 0 || h <= 0) return;  // a rectangle turned inside out by the clipping: nothing to draw
  if (2 * int64_t(w) > sW && 2 * int64_t(h) > sH) {
    BilinearMethod(dst, L, T, w, h, src);
    return;
  }
  const int bw = static_cast<int>(std::max<int64_t>(1, (sW + (int64_t(8) * w) / 9) / w));
  const int bh = static_cast<int>(std::max<int64_t>(1, (sH + (int64_t(8) * h) / 9) / h));
  const int64_t d = int64_t(bw) * bh;
  if (d < 65536)
    BoxMethod(dst, L, T, w, h, src, bw, bh, SmallBlock(static_cast<uint32_t>(d)));
  else
    BoxMethod(dst, L, T, w, h, src, bw, bh, LargeBlock(static_cast<uint64_t>(d)));
}

void HalvingBlur(TBitmap& dst, TBitmap& src, int limit) {
  src.SetPixelFormat(pf32bit);
  const int W = src.Width(), H = src.Height();
  dst.SetPixelFormat(pf32bit);
  if (W == 0 || H == 0) {
    dst.SetSize(W, H);
    return;
  }
  // The resampler grows a 1-pixel side to 2; let it grow a private copy, never the caller's picture.
  TBitmap tiny;
  TBitmap* from = &src;
  if (W < 2 || H < 2) {
    tiny.Assign(src);
    from = &tiny;
  }
  int level = 0;
  TBitmap* a = &ScratchBitmap(kScratchHalf + level, W / 2, H / 2);
  ResampleInto(*a, 0, 0, a->Width(), a->Height(), *from);
  // Stops at the limit, and where the resampler could not make a side any smaller.
  while (a->Width() > limit && a->Height() > limit && a->Width() > 2 && a->Height() > 2) {
    TBitmap* b = &ScratchBitmap(kScratchHalf + ++level, a->Width() / 2, a->Height() / 2);
    ResampleInto(*b, 0, 0, b->Width(), b->Height(), *a);
    a = b;
  }
  dst.SetSize(W, H);
  ResampleInto(dst, 0, 0, W, H, *a);
  dst.SetSize(W, H);  // undo the resampler's growth of a 1-pixel side
}
