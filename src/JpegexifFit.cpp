// FitPictureInBox: the reduction behind the EXIF thumbnail, the previews and the thumbnail sheet.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "Jpegexif.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace {

constexpr uint8_t kSilver = 192;

void FillSilver(TBitmap& dest, int x0, int y0, int x1, int y1) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, dest.Width());
  y1 = std::min(y1, dest.Height());
  for (int y = y0; y < y1; ++y) {
    uint8_t* p = dest.ScanLine(y) + std::ptrdiff_t(x0) * 4;
    for (int x = x0; x < x1; ++x, p += 4) {
      p[kB] = p[kG] = p[kR] = kSilver;
      p[kX] = 0;
    }
  }
}

}  // namespace

void FitPictureInBox(TBitmap& dest, int x, int y, int w, int h, const TBitmap& src) {
  dest.SetPixelFormat(pf32bit);
  if (int64_t(x) + w > dest.Width()) dest.SetWidth(x + w);
  if (int64_t(y) + h > dest.Height()) dest.SetHeight(y + 1024);
  FillSilver(dest, x, y, x + w, y + h);

  const int64_t sw = src.Width(), sh = src.Height();
  // Sizes below 2 count as 2 where they divide.
  const int64_t swDiv = std::max<int64_t>(sw, 2), shDiv = std::max<int64_t>(sh, 2);
  int64_t dw, dh;
  if (sw * h < int64_t(w) * sh) {
    dh = h;
    dw = int64_t(h) * sw / shDiv;
  } else {
    dw = w;
    dh = int64_t(w) * sh / swDiv;
  }
  dw = std::max<int64_t>(dw, 2);
  dh = std::max<int64_t>(dh, 2);
  const int64_t left = x + (w - dw) / 2, top = y + (h - dh) / 2;
  const int64_t f = std::min(sw * 256 / dw, sh * 256 / dh);

  if (f <= 256) {
    dest.Canvas().StretchDraw({int32_t(left), int32_t(top), int32_t(left + dw), int32_t(top + dh)}, src);
    return;
  }
  // Average m x m source pixels from the top-left source pixel of each destination pixel.
  const int64_t m = f / 256;
  const int bpp = src.BytesPerPixel();
  std::vector<int64_t> columns(static_cast<std::size_t>(dw));
  for (int64_t j = 0; j < dw; ++j) columns[std::size_t(j)] = j * sw / dw;
  for (int64_t i = 0; i < dh; ++i) {
    const int64_t ty = top + i;
    if (ty < 0 || ty >= dest.Height()) continue;
    const int64_t sy = i * sh / dh;
    uint8_t* d = dest.ScanLine(int(ty));
    for (int64_t j = 0; j < dw; ++j) {
      const int64_t tx = left + j;
      if (tx < 0 || tx >= dest.Width()) continue;
      const int64_t sx = columns[std::size_t(j)];
      uint64_t b = 0, g = 0, r = 0;
      for (int64_t k = 0; k < m; ++k) {
        const uint8_t* row = src.ScanLine(int(std::min(sy + k, sh - 1)));
        for (int64_t l = 0; l < m; ++l) {
          const uint8_t* p = row + std::min(sx + l, sw - 1) * bpp;
          b += p[kB];
          g += p[kG];
          r += p[kR];
        }
      }
      uint8_t* q = d + tx * 4;
      q[kB] = uint8_t(b / (m * m));
      q[kG] = uint8_t(g / (m * m));
      q[kR] = uint8_t(r / (m * m));
    }
  }
}
