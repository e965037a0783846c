// Whole-picture geometry and decoration: quarter turns, mirror, fixed scaling, margins, raised border.
#include "ImgtoolsRows.h"

#include <cmath>

using namespace imgtools;

namespace {

// Rotation in square tiles so that both the rows read and the rows written stay in cache.
constexpr int kTile = 32;

void RotateTile(TBitmap& to, const TBitmap& from, bool left, int x0, int y0, int x1, int y1) {
  const int W0 = from.Width(), H0 = from.Height();
  for (int y = y0; y < y1; ++y) {
    uint32_t* __restrict out = Row32(to, y);
    if (left) {
      const int sx = W0 - 1 - y;  // new (x, y) = old (W0 - 1 - y, x)
      for (int x = x0; x < x1; ++x) out[x] = Row32(from, x)[sx];
    } else {
      for (int x = x0; x < x1; ++x) out[x] = Row32(from, H0 - 1 - x)[y];  // old (y, H0 - 1 - x)
    }
  }
}

}  // namespace

void RotateQuarter(TBitmap& bmp, bool left) {
  bmp.SetPixelFormat(pf32bit);
  const int W0 = bmp.Width(), H0 = bmp.Height();
  TBitmap& turned = ScratchBitmap(kScratchCopy, H0, W0);
  for (int ty = 0; ty < W0; ty += kTile)
    for (int tx = 0; tx < H0; tx += kTile)
      RotateTile(turned, bmp, left, tx, ty, std::min(tx + kTile, H0), std::min(ty + kTile, W0));
  bmp.Swap(turned);  // the old pixels stay behind as the next command's scratch
}

void MirrorImage(TBitmap& bmp) {
  bmp.SetPixelFormat(pf32bit);
  const int W = bmp.Width();
  for (int y = 0; y < bmp.Height(); ++y) {
    uint32_t* p = Row32(bmp, y);
    std::reverse(p, p + W);
  }
}

void ScaleByPercent(TBitmap& bmp, TRect& cutRect, int percent) {
  cutRect = {0, 0, bmp.Width(), bmp.Height()};
  bmp.SetPixelFormat(pf32bit);
  const int w = static_cast<int>(int64_t(bmp.Width()) * percent / 100);
  const int h = static_cast<int>(int64_t(bmp.Height()) * percent / 100);
  // Every pixel of the new picture is drawn, so it is made apart and exchanged.
  TBitmap& scaled = ScratchBitmap(kScratchCopy, w, h);
  ResampleInto(scaled, 0, 0, w, h, bmp);
  bmp.Swap(scaled);
}

void AddMargin(TBitmap& bmp, TRect& cutRect, bool blue) {
  bmp.SetPixelFormat(pf32bit);
  const int W = bmp.Width(), H = bmp.Height();
  const int m = static_cast<int>(std::max(8.0, 2 * std::sqrt(double(std::max(W, H)))));
  const TColor colour = blue ? clBlue : clWhite;
  // The brush keeps the colour: a later right margin is filled with it.
  TCanvas& c = bmp.Canvas();
  c.Brush.Color = colour;
  c.Brush.Style = bsSolid;
  TBitmap& framed = ScratchBitmap(kScratchCopy, W + 2 * m, H + 2 * m);
  const uint32_t fill = ColorToPixel(colour);
  for (int y = 0; y < framed.Height(); ++y) {
    uint32_t* __restrict out = Row32(framed, y);
    if (y < m || y >= m + H) {
      std::fill(out, out + framed.Width(), fill);
      continue;
    }
    std::fill(out, out + m, fill);
    std::memcpy(out + m, Row32(bmp, y - m), std::size_t(W) * 4);
    std::fill(out + m + W, out + framed.Width(), fill);
  }
  bmp.Swap(framed);
  cutRect = {cutRect.Left + m, cutRect.Top + m, cutRect.Right + m, cutRect.Bottom + m};
}

void AddRightMargin(TBitmap& bmp) {
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(2 * bmp.Width(), bmp.Height());
}

namespace {

struct Shades {
  uint8_t light[256], dark[256];
  Shades() {
    for (int c = 0; c < 256; ++c) {
      light[c] = static_cast<uint8_t>(std::min(255, static_cast<int>(c * 1.5)));
      dark[c] = static_cast<uint8_t>(static_cast<int>(c * 0.6));
    }
  }
};

void Shade(uint8_t* p, const uint8_t* table) {
  p[kB] = table[p[kB]];
  p[kG] = table[p[kG]];
  p[kR] = table[p[kR]];
}

void ShadeRun(uint8_t* row, int a, int b, const uint8_t* table) {
  for (int x = a; x < b; ++x) Shade(row + 4 * x, table);
}

}  // namespace

void Border3D(TBitmap& bmp, int n) {
  bmp.SetPixelFormat(pf32bit);
  static const Shades s;
  const int W = bmp.Width(), H = bmp.Height();
  // Bands that would fall outside a small picture are cut at its edges.
  for (int r = 0; r < n && r < H; ++r) ShadeRun(bmp.ScanLine(r), r, W - r, s.light);
  for (int y = 0; y < H; ++y) {
    int k = n;
    if (y < n) k = y;
    if (H - 1 - y < n) k = H - 1 - y;
    k = std::min(k, W);
    uint8_t* row = bmp.ScanLine(y);
    for (int i = 0; i < k; ++i) {
      Shade(row + 4 * i, s.light);
      Shade(row + 4 * (W - 1 - i), s.dark);
    }
  }
  for (int r = 0; r < n && H - 1 - r >= 0; ++r) ShadeRun(bmp.ScanLine(H - 1 - r), r, W - r, s.dark);
}
