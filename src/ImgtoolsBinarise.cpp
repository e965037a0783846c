// Two-level black and white: error diffusion, and the letterpress halftone of 4 × 4 tiles.
#include "ImgtoolsRows.h"

#include <vector>

using namespace imgtools;

namespace {

// Grey 16 … 224 of the row stretched to 0 … 255.
IMGTOOLS_ROW_KERNEL void StretchRow(const uint32_t* __restrict p, int n, int16_t* __restrict v) {
  for (int x = 0; x < n; ++x) {
    const uint32_t q = p[x];
    v[x] = static_cast<int16_t>(
        Clamp255(((Luma((q >> 16) & 0xFF, (q >> 8) & 0xFF, q & 0xFF) - 16) * 255) / 208));
  }
}

IMGTOOLS_ROW_KERNEL void WriteTwoLevel(uint32_t* __restrict p, const uint8_t* __restrict white, int n) {
  for (int x = 0; x < n; ++x) p[x] = white[x] ? kWhitePixel : 0u;
}

}  // namespace

void ErrorDiffusion(const EffectArgs& a) {
  TBitmap& bmp = a.Bmp;
  bmp.SetPixelFormat(pf32bit);
  const FrameShapeTest t = FrameShapeSetup(a.Frame, a.Ellipse, a.Inverted);
  const Range r = EffectRange(bmp, a.Frame, a.Inverted);
  if (r.Empty()) return;
  const int W = bmp.Width(), n = r.x1 - r.x0;
  // Two error rows at entries 2W and 3W; a row's index -1 and W reach into its neighbour
  // (or the spare entries), which the diffusion order relies on.
  std::vector<int16_t> err(std::size_t(4) * W + 2, 0);
  std::vector<int16_t> grey(n);
  std::vector<uint8_t> white(n);
  Span s[2];
  for (int y = r.y0; y < r.y1; ++y) {
    int16_t* A = err.data() + std::ptrdiff_t((y & 1) + 2) * W;
    int16_t* B = err.data() + std::ptrdiff_t(((y & 1) ^ 1) + 2) * W;
    uint32_t* row = Row32(bmp, y);
    StretchRow(row + r.x0, n, grey.data());
    // B[x - 1] is always the value the pixel before stored as its B[x]; keep it in a register.
    int carry = B[r.x0 - 1];
    int acc = 128;
    for (int x = r.x0; x < r.x1; ++x) {
      acc += grey[x - r.x0] + A[x - 1] + A[x] + A[x + 1] + carry;
      const bool w = acc >= 255;
      white[x - r.x0] = w;
      acc -= w ? 255 : 0;
      A[x] = 0;
      A[x + 1] = 0;
      const int16_t big = static_cast<int16_t>((5 * acc) >> 3), small = static_cast<int16_t>((3 * acc) >> 3);
      const bool odd = (x + y) & 1;
      B[x - 1] = odd ? big : small;
      B[x] = odd ? small : big;
      carry = B[x];
      acc = 0;
    }
    // Only the selected pixels are written; the others took part in the error flow.
    const int k = SelectedSpans(t, y, r.x0, r.x1, s);
    for (int i = 0; i < k; ++i) WriteTwoLevel(row + s[i].a, white.data() + (s[i].a - r.x0), s[i].b - s[i].a);
  }
}

namespace {

// Tile rows top to bottom, '#' black, '.' white, lightest last.
constexpr const char* kTiles[16][4] = {
    {"####", "####", "####", "####"},  // 0
    {"####", "####", "####", "####"},  // 1
    {".##.", "####", "####", ".##."},  // 2
    {".##.", "####", "####", ".##."},  // 3
    {"..#.", "###.", ".###", ".#.."},  // 4
    {"..#.", "###.", ".###", ".#.."},  // 5
    {"..#.", ".##.", ".###", ".#.."},  // 6
    {"....", "###.", ".###", "...."},  // 7
    {"..#.", ".##.", ".##.", "...."},  // 8
    {"....", ".##.", ".##.", "...."},  // 9
    {"....", "..#.", ".##.", "...."},  // 10
    {"....", ".##.", "..#.", "...."},  // 11
    {"....", "..#.", ".#..", "...."},  // 12
    {"....", "....", "..#.", "...."},  // 13
    {"....", "....", "....", "...."},  // 14
    {"....", "....", "....", "...."},  // 15
};

const TBitmap& TileSheet() {
  struct Sheet {
    TBitmap bmp;
    Sheet() { MakeImgMono16(bmp); }
  };
  static const Sheet sheet;
  return sheet.bmp;
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
  auto grey = [&](int x, int y) {
    return int(bmp.ScanLine(ClampTo(y, 0, H - 1))[4 * ClampTo(x, 0, W - 1) + kG]);
  };
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
