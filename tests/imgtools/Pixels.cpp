// Helpers of the pixel algorithm tests.
#include "Pixels.h"

#include <cstdio>
#include <cstring>

uint32_t Px(const TBitmap& b, int x, int y) {
  uint32_t v;
  std::memcpy(&v, b.ScanLine(y) + 4 * x, 4);
  return v;
}

void SetPx(TBitmap& b, int x, int y, uint32_t v) { std::memcpy(b.ScanLine(y) + 4 * x, &v, 4); }

void MakeFlat(TBitmap& b, int w, int h, uint32_t v) {
  Make(b, w, h, [v](int, int) { return v; });
}

void MakeRows(TBitmap& b, std::initializer_list<std::initializer_list<uint32_t>> rows) {
  const int h = int(rows.size()), w = h ? int(rows.begin()->size()) : 0;
  b.SetPixelFormat(pf32bit);
  b.SetSize(w, h);
  int y = 0;
  for (const auto& row : rows) {
    int x = 0;
    for (uint32_t v : row) SetPx(b, x++, y, v);
    ++y;
  }
}

uint32_t Photo(int x, int y) {
  const int r = (x * 37 + y * 11 + (x * y) % 23) & 255;
  const int g = (x * 5 + y * 29 + ((x ^ y) & 31)) & 255;
  const int b = (x * 13 + y * 7 + ((x * x + y) % 17)) & 255;
  const int w = (x * 3 + y * 19) & 255;
  return Pix(r, g, b, w);
}

std::string Describe(int x, int y, uint32_t got, uint32_t want) {
  char buf[96];
  std::snprintf(buf, sizeof buf, " (%d, %d) got 0x%08X want 0x%08X;", x, y, got, want);
  return buf;
}

::testing::AssertionResult SamePixels(const TBitmap& got, const TBitmap& want, uint32_t mask) {
  if (got.Width() != want.Width() || got.Height() != want.Height())
    return ::testing::AssertionFailure() << "size " << got.Width() << " x " << got.Height() << ", want "
                                         << want.Width() << " x " << want.Height();
  return PixelsAre(got, [&](int x, int y) { return Px(want, x, y); }, mask);
}
