#include "platform/QtBitmap.h"

#include <cstring>

QImage ToQImage(const TBitmap& bmp) {
  if (bmp.Empty()) return QImage();
  QImage img(bmp.Width(), bmp.Height(), QImage::Format_RGB32);
  for (int y = 0; y < bmp.Height(); ++y) {
    const uint8_t* s = bmp.ScanLine(y);
    uint8_t* d = img.scanLine(y);
    const int bpp = bmp.BytesPerPixel();
    for (int x = 0; x < bmp.Width(); ++x, s += bpp, d += 4) {
      d[kB] = s[kB];
      d[kG] = s[kG];
      d[kR] = s[kR];
      d[kX] = 0xFF;
    }
  }
  return img;
}

void AssignFromQImage(TBitmap& bmp, const QImage& img) {
  const QImage src = img.convertToFormat(QImage::Format_RGB32);
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(src.width(), src.height());
  for (int y = 0; y < src.height(); ++y) {
    std::memcpy(bmp.ScanLine(y), src.constScanLine(y), std::size_t(src.width()) * 4);
    uint8_t* p = bmp.ScanLine(y);
    for (int x = 0; x < src.width(); ++x) p[x * 4 + kX] = 0;
  }
}
