// Perspective straightening: edge lengths, relabelling of the corners, output size, row curve
// and the 1/16-pixel bilinear sampling with white outside the picture.
#include "ImgtoolsRows.h"
#include "ImgtoolsStraighten.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

using namespace imgtools;

namespace {

constexpr double kEdgeBias = 0.1;
constexpr double kTurnThreshold = 0.95;
constexpr double kHeightFactor = 0.95;
constexpr double kHeightBias = 0.1;
constexpr double kCorrectionThreshold = 0.99;
constexpr double kPositionBias = 0.001;
constexpr double kStrengthK[] = {0, 0.95, 0.86, 0.78};
// Corners further off than this (in picture pixels) are refused, so that no position
// computed from them overflows.
constexpr double kFarthest = 1e15;
// Sixteenths of a position within a picture side, and a little beyond, fit 32 bits.
constexpr int kLongestSide = (1 << 27) - 64;

using Quad = std::array<TPointF, 4>;

struct Edges {
  double top, bottom, left, right;
};

double Length(const TPointF& a, const TPointF& b) {
  const double dx = b.X - a.X, dy = b.Y - a.Y;
  return std::sqrt(dx * dx + dy * dy) + kEdgeBias;
}

Edges EdgesOf(const Quad& p) { return {Length(p[0], p[1]), Length(p[3], p[2]), Length(p[0], p[3]), Length(p[1], p[2])}; }

// Top and bottom become the pair that differs more; the bottom is not the clearly shorter one.
Edges Relabel(Quad& p) {
  Edges e = EdgesOf(p);
  const double rTB = std::max(e.top / e.bottom, e.bottom / e.top);
  const double rLR = std::max(e.left / e.right, e.right / e.left);
  if (rTB < kTurnThreshold * rLR) {
    p = {p[1], p[2], p[3], p[0]};
    e = EdgesOf(p);
  }
  if (e.bottom < kTurnThreshold * e.top) {
    std::swap(p[0], p[2]);
    std::swap(p[1], p[3]);
    e = EdgesOf(p);
  }
  return e;
}

uint32_t Sample(const uint8_t* const* rows, int w, int h, int x, int y) {
  if (x < 0 || y < 0 || x >= w || y >= h) return kWhitePixel;
  uint32_t v;
  std::memcpy(&v, rows[y] + 4 * x, 4);
  return v;
}

// Bilinear blend with 4-bit weights on the four channels at once: the upper pair (c00, c10)
// and the lower pair (c01, c11) as eight 16-bit lanes each; the fourth byte comes out 0.
using U8x8 = uint8_t __attribute__((vector_size(8)));
using U16x8 = uint16_t __attribute__((vector_size(16)));
using U16x4 = uint16_t __attribute__((vector_size(8)));
using U8x4 = uint8_t __attribute__((vector_size(4)));

inline uint32_t Blend(uint64_t upper, uint64_t lower, uint16_t fx, uint16_t fy) {
  U8x8 u, l;
  std::memcpy(&u, &upper, 8);
  std::memcpy(&l, &lower, 8);
  const uint16_t gx = 16 - fx, gy = 16 - fy;
  const U16x8 wx = {gx, gx, gx, gx, fx, fx, fx, fx};
  const U16x8 hu = __builtin_convertvector(u, U16x8) * wx;
  const U16x8 hl = __builtin_convertvector(l, U16x8) * wx;
  const U16x8 rows = (__builtin_shufflevector(hu, hl, 0, 1, 2, 3, 8, 9, 10, 11) +
                      __builtin_shufflevector(hu, hl, 4, 5, 6, 7, 12, 13, 14, 15)) >> 4;
  const U16x8 wy = {gy, gy, gy, gy, fy, fy, fy, fy};
  const U16x8 v = rows * wy;
  const U16x4 sum = (__builtin_shufflevector(v, v, 0, 1, 2, 3) + __builtin_shufflevector(v, v, 4, 5, 6, 7)) >> 4;
  const U8x4 bytes = __builtin_convertvector(sum, U8x4);
  uint32_t out;
  std::memcpy(&out, &bytes, 4);
  return out & 0x00FFFFFF;
}

inline uint64_t Pair(uint32_t a, uint32_t b) { return uint64_t(a) | (uint64_t(b) << 32); }

}  // namespace

TDistanceCorrection DistanceCorrection(double top, double bottom, int strength) {
  if (strength < kStraightenWeak || strength > kStraightenStrong || !(top < kCorrectionThreshold * bottom))
    return {};
  const double q = kStrengthK[strength] * top / bottom;
  return {q - 1, 2 - q};
}

bool StraightenQuad(TBitmap& picture, std::array<TPointF, 4>& corners, const TRect& pictureRect, int strength) {
  if (picture.Empty() || picture.Width() > kLongestSide || picture.Height() > kLongestSide ||
      pictureRect.Right <= pictureRect.Left)
    return false;
  const double s = double(picture.Width()) / (double(pictureRect.Right) - pictureRect.Left);
  for (const TPointF& c : corners) {
    const double x = (c.X - pictureRect.Left) * s, y = (c.Y - pictureRect.Top) * s;
    if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > kFarthest || std::abs(y) > kFarthest) return false;
  }

  Quad p = corners;
  const Edges e = Relabel(p);
  const double wide = std::trunc(std::max(e.top, e.bottom) * s);
  const double h0 = std::trunc(std::max(e.left, e.right) * s);
  const double grow = (kHeightFactor * std::max(e.top, e.bottom)) / (std::min(e.top, e.bottom) + kHeightBias);
  const double tall = std::trunc(h0 * grow);
  if (wide < 1 || tall < 1) return false;
  if ((wide + 1) * (tall + 1) > double(TBitmap::kMaxPixels))
    throw std::runtime_error("画像が大きすぎます (" + std::to_string(int64_t(wide) + 1) + " x " +
                             std::to_string(int64_t(tall) + 1) + ")");
  const int W = int(wide), H = int(tall);

  TBitmap out;
  out.SetSize(W + 1, H + 1);
  picture.SetPixelFormat(pf32bit);

  const TDistanceCorrection k = DistanceCorrection(e.top, e.bottom, strength);
  const double L = pictureRect.Left, T = pictureRect.Top;
  std::vector<double> tx(W + 1), ty(W + 1), bx(W + 1), by(W + 1);
  for (int i = 0; i <= W; ++i) {
    const double wl = W - i, wr = i;
    tx[i] = ((wl * p[0].X + wr * p[1].X) / W - L) * s;
    ty[i] = ((wl * p[0].Y + wr * p[1].Y) / W - T) * s;
    bx[i] = ((wl * p[3].X + wr * p[2].X) / W - L) * s;
    by[i] = ((wl * p[3].Y + wr * p[2].Y) / W - T) * s;
  }
  const int sw = picture.Width(), sh = picture.Height();
  std::vector<const uint8_t*> src(sh);
  for (int y = 0; y < sh; ++y) src[y] = picture.ScanLine(y);
  std::vector<uint32_t*> dst(H + 1);
  for (int j = 0; j <= H; ++j) dst[j] = Row32(out, j);

  // Positions are clamped to a little beyond the picture, where every sample is white anyway,
  // so that they fit 32-bit integers.
  const double Hd = H;
  const double lo = -32, hiX = 16.0 * double(sw) + 32, hiY = 16.0 * double(sh) + 32;
  std::vector<int32_t> xs(W + 1), ys(W + 1);
  for (int j = 0; j <= H; ++j) {
    const double ev = (Hd - j) / Hd;
    const double t = k.A * ev * ev + k.B * ev;
    const double rv = Hd - Hd * t;
    const int r = rv <= 0 ? 0 : (rv >= Hd ? H : int(rv));
    const double wt = H - r, wb = r;
    for (int i = 0; i <= W; ++i) {
      const double x = (wt * tx[i] + wb * bx[i]) * 16 / Hd + kPositionBias;
      const double y = (wt * ty[i] + wb * by[i]) * 16 / Hd + kPositionBias;
      xs[i] = int32_t(std::min(std::max(x, lo), hiX));
      ys[i] = int32_t(std::min(std::max(y, lo), hiY));
    }
    uint32_t* d = dst[j];
    for (int i = 0; i <= W; ++i) {
      const int32_t x0 = xs[i] >> 4, y0 = ys[i] >> 4;
      const uint32_t fx = uint32_t(xs[i] & 15), fy = uint32_t(ys[i] & 15);
      uint64_t upper, lower;
      if (uint32_t(x0) < uint32_t(sw - 1) && uint32_t(y0) < uint32_t(sh - 1)) {
        std::memcpy(&upper, src[y0] + 4 * x0, 8);
        std::memcpy(&lower, src[y0 + 1] + 4 * x0, 8);
      } else {
        const uint8_t* const* rows = src.data();
        upper = Pair(Sample(rows, sw, sh, x0, y0), Sample(rows, sw, sh, x0 + 1, y0));
        lower = Pair(Sample(rows, sw, sh, x0, y0 + 1), Sample(rows, sw, sh, x0 + 1, y0 + 1));
      }
      d[i] = Blend(upper, lower, uint16_t(fx), uint16_t(fy));
    }
  }

  picture.Swap(out);
  corners = p;
  return true;
}
