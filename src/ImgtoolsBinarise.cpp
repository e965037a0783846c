// Two-level black and white: error diffusion, and the letterpress halftone of 4 × 4 tiles.
#include "ImgtoolsRows.h"

#include <vector>

using namespace imgtools;

void ErrorDiffusion(const EffectArgs& a) {
  TBitmap& bmp = a.Bmp;
  bmp.SetPixelFormat(pf32bit);
  const FrameShapeTest t = FrameShapeSetup(a.Frame, a.Ellipse, a.Inverted);
  const Range r = EffectRange(bmp, a.Frame, a.Inverted);
  if (r.Empty()) return;
  const int W = bmp.Width();
  int stretch[256];  // grey 16 … 224 stretched to 0 … 255
  for (int Y = 0; Y < 256; ++Y) stretch[Y] = Clamp255(((Y - 16) * 255) / 208);
  // Two error rows at entries 2W and 3W; a row's index -1 and W reach into its neighbour
  // (or the spare entries), which the diffusion order relies on.
  std::vector<int16_t> err(std::size_t(4) * W + 2, 0);
  Span s[2];
  for (int y = r.y0; y < r.y1; ++y) {
    int16_t* A = err.data() + std::ptrdiff_t((y & 1) + 2) * W;
    int16_t* B = err.data() + std::ptrdiff_t(((y & 1) ^ 1) + 2) * W;
    const int n = SelectedSpans(t, y, r.x0, r.x1, s);
    uint8_t* row = bmp.ScanLine(y);
    int acc = 128;
    for (int x = r.x0; x < r.x1; ++x) {
      uint8_t* p = row + 4 * x;
      const bool selected = (n > 0 && x >= s[0].a && x < s[0].b) || (n > 1 && x >= s[1].a && x < s[1].b);
      acc += stretch[Luma(p[kR], p[kG], p[kB])] + A[x - 1] + A[x] + A[x + 1] + B[x - 1];
      if (acc < 255) {
        if (selected) std::memset(p, 0, 4);
      } else {
        if (selected) std::memcpy(p, &kWhitePixel, 4);
        acc -= 255;
      }
      A[x] = 0;
      A[x + 1] = 0;
      const int16_t big = static_cast<int16_t>((5 * acc) >> 3), small = static_cast<int16_t>((3 * acc) >> 3);
      if ((x + y) & 1) {
        B[x - 1] = big;
        B[x] = small;
      } else {
        B[x - 1] = small;
        B[x] = big;
      }
      acc = 0;
    }
  }
}

namespace {

// Tile rows top to bottom, '#' black, '.' white, lightest last.
constexpr const char* kTiles[16][4] = {
    {"####", "####", "####", "####"}, {"####", "####", "####", "####"},
    {".##.", "####", "####", ".##."}, {".##.", "####", "####", ".##."},
    {"..#.", "###.", ".###", ".#.."}, {"..#.", "###.", ".###", ".#.."},
    {"..#.", ".##.", ".###", ".#.."}, {"....", "###.", ".###", "...."},
    {"..#.", ".##.", ".##.", "...."}, {"....", ".##.", ".##.", "...."},
    {"....", "..#.", ".##.", "...."}, {"....", ".##.", "..#.", "...."},
    {"....", "..#.", ".#..", "...."}, {"....", "....", "..#.", "...."},
    {"....", "....", "....", "...."}, {"....", "....", "....", "...."},
};

const TBitmap& TileSheet() {
  static TBitmap sheet;
  static const bool made = (MakeImgMono16(sheet), true);
  (void)made;
  return sheet;
}

}  // namespace

void MakeImgMono16(TBitmap& sheet) {
  sheet.SetPixelFormat(pf32bit);
  sheet.SetSize(19, 19);
  for (int y = 0; y < 19; ++y)
    for (int x = 0; x < 19; ++x) Row32(sheet, y)[x] = ColorToPixel(clRed);
  for (int n = 0; n < 16; ++n)
    for (int j = 0; j < 4; ++j)
      for (int i = 0; i < 4; ++i)
        Row32(sheet, (n / 4) * 5 + j)[(n % 4) * 5 + i] = kTiles[n][j][i] == '#' ? 0 : kWhitePixel;
}

void Letterpress(TBitmap& bmp, TRect& frame, bool ellipse) {
  GreyScale({bmp, frame, ellipse, false});
  // The blocks are chosen by the test GreyScale armed, on the frame before it shrinks.
  const FrameShapeTest t = FrameShapeSetup(frame, ellipse, false);
  frame.Right = frame.Left + (std::max(frame.Right - frame.Left, 0) & ~3);
  frame.Bottom = frame.Top + (std::max(frame.Bottom - frame.Top, 0) & ~3);
  const int W = bmp.Width(), H = bmp.Height();
  if (W == 0 || H == 0) return;
  const TBitmap& sheet = TileSheet();
  auto grey = [&](int x, int y) { return int(bmp.ScanLine(ClampTo(y, 0, H - 1))[4 * ClampTo(x, 0, W - 1) + kG]); };
  // Bands and blocks wholly outside the picture draw nothing and are skipped.
  int y = frame.Top;
  int shift = 0;
  if (y < -3) {
    const int64_t skip = (int64_t(-3) - y + 3) / 4;
    y += static_cast<int>(skip * 4);
    if (skip & 1) shift = 2;
  }
  const int bottom = std::min<int>(frame.Bottom, H);
  for (; y < bottom; y += 4, shift ^= 2) {
    int x = frame.Left - shift;
    if (x < -3) x += static_cast<int>((int64_t(-3) - x + 3) / 4 * 4);
    const int right = std::min<int>(frame.Right, W);
    for (; x < right; x += 4) {
      if (FrameShape(t, x + 2, y + 2) == 0) continue;
      const int xc = std::max(0, std::min(x, W - 4));
      const int m = (grey(xc, y) + grey(xc + 1, y + 1) + grey(xc + 2, y + 2) + grey(xc + 3, y + 3)) >> 2;
      const int level = Clamp255(((m - 32) * 255) / 192) >> 4;
      const int tx = (level % 4) * 5, ty = (level / 4) * 5;
      for (int j = 0; j < 4; ++j) {
        if (y + j < 0 || y + j >= H) continue;
        uint32_t* out = Row32(bmp, y + j);
        const uint32_t* tile = Row32(sheet, ty + j) + tx;
        for (int i = 0; i < 4; ++i)
          if (x + i >= 0 && x + i < W) out[x + i] = tile[i];
      }
    }
  }
}
