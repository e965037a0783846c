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
// Corners further than this from the picture (in picture pixels) are refused: sixteenths of
// such positions would not fit the sampler's integers.
constexpr double kFarthest = 1e15;

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

uint32_t Sample(const uint8_t* const* rows, int64_t w, int64_t h, int64_t x, int64_t y) {
  if (x < 0 || y < 0 || x >= w || y >= h) return kWhitePixel;
  uint32_t v;
  std::memcpy(&v, rows[y] + 4 * x, 4);
  return v;
}

// Bilinear blend of four pixels with 4-bit weights, B and R side by side in one word, G alone.
inline uint32_t Blend(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, uint32_t fx, uint32_t fy) {
  const uint32_t gx = 16 - fx, gy = 16 - fy;
  const uint32_t upRB = (((c00 & 0xFF00FF) * gx + (c10 & 0xFF00FF) * fx) >> 4) & 0xFF00FF;
  const uint32_t loRB = (((c01 & 0xFF00FF) * gx + (c11 & 0xFF00FF) * fx) >> 4) & 0xFF00FF;
  const uint32_t upG = (((c00 >> 8) & 0xFF) * gx + ((c10 >> 8) & 0xFF) * fx) >> 4;
  const uint32_t loG = (((c01 >> 8) & 0xFF) * gx + ((c11 >> 8) & 0xFF) * fx) >> 4;
  const uint32_t rb = ((upRB * gy + loRB * fy) >> 4) & 0xFF00FF;
  const uint32_t g = (upG * gy + loG * fy) >> 4;
  return rb | (g << 8);
}

}  // namespace

TDistanceCorrection DistanceCorrection(double top, double bottom, int strength) {
  if (strength < kStraightenWeak || strength > kStraightenStrong || !(top < kCorrectionThreshold * bottom))
    return {};
  const double q = kStrengthK[strength] * top / bottom;
  return {q - 1, 2 - q};
}

bool StraightenQuad(TBitmap& picture, std::array<TPointF, 4>& corners, const TRect& pictureRect, int strength) {
  if (picture.Empty() || pictureRect.Right <= pictureRect.Left) return false;
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

  picture.SetPixelFormat(pf32bit);
  TBitmap out;
  out.SetSize(W + 1, H + 1);

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
  const int64_t sw = picture.Width(), sh = picture.Height();
  std::vector<const uint8_t*> src(sh);
  for (int64_t y = 0; y < sh; ++y) src[y] = picture.ScanLine(int(y));
  std::vector<uint32_t*> dst(H + 1);
  for (int j = 0; j <= H; ++j) dst[j] = Row32(out, j);

  const double Hd = H;
  for (int j = 0; j <= H; ++j) {
    const double ev = (Hd - j) / Hd;
    const double t = k.A * ev * ev + k.B * ev;
    const double rv = Hd - Hd * t;
    const int r = rv <= 0 ? 0 : (rv >= Hd ? H : int(rv));
    const double wt = H - r, wb = r;
    uint32_t* d = dst[j];
    for (int i = 0; i <= W; ++i) {
      const int64_t X16 = int64_t((wt * tx[i] + wb * bx[i]) * 16 / Hd + kPositionBias);
      const int64_t Y16 = int64_t((wt * ty[i] + wb * by[i]) * 16 / Hd + kPositionBias);
      const int64_t x0 = X16 >> 4, y0 = Y16 >> 4;
      const uint32_t fx = uint32_t(X16 & 15), fy = uint32_t(Y16 & 15);
      uint32_t c00, c10, c01, c11;
      if (uint64_t(x0) < uint64_t(sw - 1) && uint64_t(y0) < uint64_t(sh - 1)) {
        const uint32_t* up = reinterpret_cast<const uint32_t*>(src[y0]) + x0;
        const uint32_t* lo = reinterpret_cast<const uint32_t*>(src[y0 + 1]) + x0;
        c00 = up[0];
        c10 = up[1];
        c01 = lo[0];
        c11 = lo[1];
      } else {
        c00 = Sample(src.data(), sw, sh, x0, y0);
        c10 = Sample(src.data(), sw, sh, x0 + 1, y0);
        c01 = Sample(src.data(), sw, sh, x0, y0 + 1);
        c11 = Sample(src.data(), sw, sh, x0 + 1, y0 + 1);
      }
      d[i] = Blend(c00, c10, c01, c11, fx, fy);
    }
  }

  picture.Swap(out);
  corners = p;
  return true;
}
