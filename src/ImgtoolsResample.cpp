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
IMGTOOLS_ROW_KERNEL void AddRow(Acc* __restrict sum, const uint8_t* __restrict row, int n) {
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

// Exact halving (2 × 2 blocks at even coordinates), the common case of the box method.
IMGTOOLS_ROW_KERNEL void HalveRow(uint8_t* __restrict out, const uint8_t* __restrict r0,
                                  const uint8_t* __restrict r1, int w) {
  for (int x = 0; x < w; ++x)
    for (int c = 0; c < 4; ++c) {
      const int i = 8 * x + c;
      out[4 * x + c] = static_cast<uint8_t>((r0[i] + r0[i + 4] + r1[i] + r1[i + 4]) >> 2);
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

// The bilinear sum of one byte, (p00·w00 + p01·w01 + p10·w10 + p11·w11) >> 8, always lies in
// 0 … 65280 (the weights of equal pixels add up to 256 or a little less, even where a weight is
// negative past the last row or column), so it is exact in 16-bit arithmetic, modulo 2^16.
IMGTOOLS_ROW_KERNEL void BlendRow(uint8_t* __restrict out, const uint8_t* __restrict p00,
                                  const uint8_t* __restrict p01, const uint8_t* __restrict p10,
                                  const uint8_t* __restrict p11, const int16_t* __restrict w00,
                                  const int16_t* __restrict w01, const int16_t* __restrict w10,
                                  const int16_t* __restrict w11, int n) {
  for (int i = 0; i < n; ++i) {
    const uint16_t s =
        static_cast<uint16_t>(p00[i] * w00[i] + p01[i] * w01[i] + p10[i] * w10[i] + p11[i] * w11[i]);
    out[i] = static_cast<uint8_t>(s >> 8);
  }
}

// The same with the weights worked out on the way, for rows that share no weights.
IMGTOOLS_ROW_KERNEL void BlendRowWeighing(uint8_t* __restrict out, const uint8_t* __restrict p00,
                                          const uint8_t* __restrict p01, const uint8_t* __restrict p10,
                                          const uint8_t* __restrict p11, const int16_t* __restrict ax,
                                          const int16_t* __restrict wx, int wy, int n) {
  const int by = 256 - wy;
  for (int i = 0; i < n; ++i) {
    const int w00 = (ax[i] * by) >> 8, w01 = (wx[i] * by) >> 8, w10 = (ax[i] * wy) >> 8,
              w11 = (wx[i] * wy) >> 8;
    const uint16_t s = static_cast<uint16_t>(p00[i] * w00 + p01[i] * w01 + p10[i] * w10 + p11[i] * w11);
    out[i] = static_cast<uint8_t>(s >> 8);
  }
}

// The four weights of every byte of a row for the vertical weight wy.
IMGTOOLS_ROW_KERNEL void MakeWeights(const int16_t* __restrict ax, const int16_t* __restrict wx, int n,
                                     int wy, int16_t* __restrict w00, int16_t* __restrict w01,
                                     int16_t* __restrict w10, int16_t* __restrict w11) {
  const int by = 256 - wy;
  for (int i = 0; i < n; ++i) {
    w00[i] = static_cast<int16_t>((ax[i] * by) >> 8);
    w01[i] = static_cast<int16_t>((wx[i] * by) >> 8);
    w10[i] = static_cast<int16_t>((ax[i] * wy) >> 8);
    w11[i] = static_cast<int16_t>((wx[i] * wy) >> 8);
  }
}

struct RowWeights {
  std::vector<int16_t> w[4];
  void Make(const std::vector<int16_t>& ax, const std::vector<int16_t>& wx, int weight) {
    for (auto& v : w) v.resize(ax.size());
    MakeWeights(ax.data(), wx.data(), static_cast<int>(ax.size()), weight, w[0].data(), w[1].data(),
                w[2].data(), w[3].data());
  }
};

// A source row's pixels at the two sample columns of every destination column.
struct GatheredRow {
  int y = -1;
  std::vector<uint32_t> at0, at1;
  void Make(const uint32_t* row, int sy, const std::vector<Tap>& tx) {
    y = sy;
    const int n = static_cast<int>(tx.size());
    at0.resize(n);
    at1.resize(n);
    for (int x = 0; x < n; ++x) {
      at0[x] = row[tx[x].s0];
      at1[x] = row[tx[x].s1];
    }
  }
};

void BilinearMethod(TBitmap& dst, int L, int T, int w, int h, const TBitmap& src) {
  const std::vector<Tap> tx = AxisTaps(w, src.Width());
  const std::vector<Tap> ty = AxisTaps(h, src.Height());
  std::vector<int16_t> ax(std::size_t(w) * 4), wx(std::size_t(w) * 4);
  for (int x = 0; x < w; ++x)
    for (int c = 0; c < 4; ++c) {
      ax[4 * x + c] = static_cast<int16_t>(256 - tx[x].w);
      wx[4 * x + c] = static_cast<int16_t>(tx[x].w);
    }
  // Rows run down the source, so two gathered rows are enough.
  GatheredRow rows[2];
  // The gathered row of sy, made in the slot that does not hold row keep.
  auto gathered = [&](int sy, int keep) -> const GatheredRow& {
    for (const GatheredRow& g : rows)
      if (g.y == sy) return g;
    GatheredRow& g = rows[0].y == keep ? rows[1] : rows[0];
    g.Make(Row32(src, sy), sy, tx);
    return g;
  };
  // Enlarging by a whole factor k repeats k vertical weights (and a few more past the last row):
  // up to 16 weight sets are made once and kept.
  constexpr int kKept = 16;
  std::vector<int> distinct;
  for (int y = 0; y < h && int(distinct.size()) <= kKept; ++y)
    if (std::find(distinct.begin(), distinct.end(), ty[y].w) == distinct.end()) distinct.push_back(ty[y].w);
  const bool fewWeights = int(distinct.size()) <= kKept;
  std::vector<RowWeights> weights(fewWeights ? distinct.size() : 0);
  for (std::size_t i = 0; i < weights.size(); ++i) weights[i].Make(ax, wx, distinct[i]);
  auto bytes = [](const std::vector<uint32_t>& v) { return reinterpret_cast<const uint8_t*>(v.data()); };
  for (int y = 0; y < h; ++y) {
    const Tap& t = ty[y];
    const GatheredRow& r0 = gathered(t.s0, t.s1);
    const GatheredRow& r1 = gathered(t.s1, t.s0);
    uint8_t* out = dst.ScanLine(T + y) + std::ptrdiff_t(L) * 4;
    if (!fewWeights) {
      BlendRowWeighing(out, bytes(r0.at0), bytes(r0.at1), bytes(r1.at0), bytes(r1.at1), ax.data(), wx.data(),
                       t.w, 4 * w);
      continue;
    }
    const RowWeights& wt = weights[std::find(distinct.begin(), distinct.end(), t.w) - distinct.begin()];
    BlendRow(out, bytes(r0.at0), bytes(r0.at1), bytes(r1.at0), bytes(r1.at1), wt.w[0].data(), wt.w[1].data(),
             wt.w[2].data(), wt.w[3].data(), 4 * w);
  }
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
  if (bw == 2 && bh == 2 && sW / 2 == w && sH / 2 == h) {
    for (int y = 0; y < h; ++y)
      HalveRow(dst.ScanLine(T + y) + std::ptrdiff_t(L) * 4, src.ScanLine(2 * y), src.ScanLine(2 * y + 1), w);
    return;
  }
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
