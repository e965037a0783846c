// The picture of a raised button that every painted face starts from.
#include "Designassist.h"

namespace {

constexpr int kSize = 28;
constexpr uint8_t kSilver = 192, kLight = 250, kShadow = 112, kSoftShadow = 168;

// Inside the outline: the square with its corners rounded off (radius about 3).
bool Inside(int x, int y) {
  if (x < 0 || y < 0 || x >= kSize || y >= kSize) return false;
  const int dx = x < 3 ? x - 3 : (x > kSize - 4 ? x - (kSize - 4) : 0);
  const int dy = y < 3 ? y - 3 : (y > kSize - 4 ? y - (kSize - 4) : 0);
  return dx == 0 || dy == 0 || dx * dx + dy * dy <= 8;
}

uint8_t Level(int x, int y) {
  if (!Inside(x, y)) return kSilver;
  if (!Inside(x + 1, y) || !Inside(x, y + 1)) return kShadow;
  if (!Inside(x, y - 1) || !Inside(x - 1, y)) return kLight;
  if (!Inside(x + 2, y) || !Inside(x, y + 2)) return kSoftShadow;
  return uint8_t(225 - (30 * y) / (kSize - 1));
}

}  // namespace

void DrawButtonBase(TBitmap& bmp) {
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    uint8_t* p = bmp.ScanLine(y);
    for (int x = 0; x < kSize; ++x, p += 3) p[kB] = p[kG] = p[kR] = Level(x, y);
  }
}
