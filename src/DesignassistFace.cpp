// The button face painter: grey base cache, three-slice stretch, tinted states with the glyph,
// halving, caption, disabled blend, developer dump and transparent corners.
#include <algorithm>
#include <cstring>

#include "Designassist.h"
#include "Imgtools.h"
#include "platform/Files.h"

namespace {

constexpr uint32_t kWhitePixel = 0x00FFFFFF;

uint32_t* Row(TBitmap& b, int y) { return reinterpret_cast<uint32_t*>(b.ScanLine(y)); }

bool SamePicture(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat()) return false;
  const std::size_t bytes = std::size_t(a.Width()) * a.BytesPerPixel();
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.ScanLine(y), b.ScanLine(y), bytes) != 0) return false;
  return true;
}

// The grey copy of the last base picture, kept between calls.
struct GreyBase {
  bool built = false;
  bool absent = false;  // built as white for a call without base picture
  TBitmap source;       // the base picture it was built from
  TBitmap grey;
  int builds = 0;
};

GreyBase& Cache() {
  static GreyBase cache;
  return cache;
}

TBitmap& GreyBaseFor(const TBitmap* base, int bw, int bh) {
  GreyBase& c = Cache();
  const bool same = c.built && (base ? !c.absent && SamePicture(*base, c.source) : c.absent);
  if (!same) {
    if (base) {
      c.source.Assign(*base);
      c.grey.Assign(*base);
    } else {
      c.source.SetSize(0, 0);
      c.grey.SetPixelFormat(pf32bit);
      c.grey.SetSize(0, 0);
      c.grey.Canvas().Brush.Color = clWhite;
      c.grey.SetSize(bw, bh);
    }
    GreyScale({c.grey, {0, 0, c.grey.Width(), c.grey.Height()}, false, false});
    c.built = true;
    c.absent = !base;
    ++c.builds;
  }
  return c.grey;
}

// The base kept at its width at the right end, its height stretched to fh, and spread to the
// left by repeating its middle third.
void StretchFace(TBitmap& face, TBitmap& grey, int fw, int fh) {
  const int cw = grey.Width(), ch = grey.Height();
  face.SetPixelFormat(pf32bit);
  face.Canvas().Brush.Color = clWhite;
  face.SetSize(fw, fh);
  TCanvas& c = face.Canvas();
  const int third = cw / 3, slice = (2 * cw) / 3;
  if (third == 0) {
    // Too narrow to slice: stretched over the whole face.
    c.CopyRect({0, 0, fw, fh}, grey.Canvas(), {0, 0, cw, ch});
    return;
  }
  c.CopyRect({fw - cw, 0, fw, fh}, grey.Canvas(), {0, 0, cw, ch});
  for (int x = fw - cw; x >= 0; x -= third) {
    const int u = std::max(0, x - third);
    c.CopyRect({u, 0, u + slice, fh}, c, {x, 0, x + slice, fh});
  }
}

void Tint(TBitmap& strip, const TBitmap& face, int left, uint32_t colour) {
  const uint32_t cr = (colour >> 16) & 0xFF, cg = (colour >> 8) & 0xFF, cb = colour & 0xFF;
  for (int y = 0; y < face.Height(); ++y) {
    const uint8_t* f = face.ScanLine(y);
    uint32_t* d = Row(strip, y) + left;
    for (int x = 0; x < face.Width(); ++x) {
      const uint32_t m = f[4 * x + kB];
      d[x] = (((cr * m) >> 8) << 16) | (((cg * m) >> 8) << 8) | ((cb * m) >> 8);
    }
  }
}

// Glyph pixels other than its bottom-left colour replace the strip's, clipped to the strip.
void Overlay(TBitmap& strip, const TBitmap& glyph, int left, int top) {
  const uint32_t key = reinterpret_cast<const uint32_t*>(glyph.ScanLine(glyph.Height() - 1))[0] & 0xFFFFFF;
  for (int y = 0; y < glyph.Height(); ++y) {
    const int sy = top + y;
    if (sy < 0 || sy >= strip.Height()) continue;
    const uint32_t* g = reinterpret_cast<const uint32_t*>(glyph.ScanLine(y));
    uint32_t* d = Row(strip, sy);
    for (int x = 0; x < glyph.Width(); ++x) {
      const int sx = left + x;
      const uint32_t v = g[x] & 0xFFFFFF;
      if (v != key && sx >= 0 && sx < strip.Width()) d[sx] = v;
    }
  }
}

// Each output pixel the mean of a 2 × 2 block in the upper six bits, with the low bit set, so
// that no pixel comes out pure white or pure black.
void Halve(TBitmap& strip) {
  const int w = strip.Width() / 2, h = strip.Height() / 2;
  for (int k = 0; k < h; ++k) {
    const uint32_t* a = Row(strip, 2 * k);
    const uint32_t* b = Row(strip, 2 * k + 1);
    uint32_t* d = Row(strip, k);
    for (int p = 0; p < w; ++p)
      d[p] = (((a[2 * p] & 0xFCFCFC) + (a[2 * p + 1] & 0xFCFCFC) + (b[2 * p] & 0xFCFCFC) +
               (b[2 * p + 1] & 0xFCFCFC)) >> 2) | 0x010101;
  }
  strip.SetSize(w, h);
}

void BlendToward(TBitmap& strip, int x0, int x1, uint32_t colour) {
  const uint32_t c = colour & 0xFEFEFE;
  for (int y = 0; y < strip.Height(); ++y) {
    uint32_t* d = Row(strip, y);
    for (int x = x0; x < x1; ++x) d[x] = ((d[x] & 0xFEFEFE) + c) >> 1;
  }
}

std::string TrimBlanks(const std::string& s) {
  std::size_t a = 0, b = s.size();
  while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
  return s.substr(a, b - a);
}

}  // namespace

int GreyBaseBuilds() { return Cache().builds; }

TButtonFaceSizes ButtonFaceSizes(int bw, int bh) {
  const int fw = 2 * bw - 8, fh = 2 * bh - 6;
  return {fw, fh, fw / 2, fh / 2};
}

bool PaintButtonFace(TFaceButton& button, const TBitmap* base, uint32_t up, uint32_t disabled, uint32_t pressed,
                     uint32_t held) {
  const TButtonFaceSizes z = ButtonFaceSizes(button.Width, button.Height);
  const int fw = z.WorkWidth, fh = z.WorkHeight, sw = z.StateWidth, sh = z.StateHeight;
  if (sw < 2 || sh < 1) return false;
  const uint32_t colours[4] = {up ? up : kFaceUpDefault, disabled ? disabled : kFaceDisabledDefault,
                               pressed ? pressed : kFacePressedDefault, held ? held : kFaceHeldDefault};

  TBitmap& grey = GreyBaseFor(base && !base->Empty() ? base : nullptr, button.Width, button.Height);
  TBitmap face;
  StretchFace(face, grey, fw, fh);

  TBitmap glyph;
  glyph.Assign(button.Glyph);
  if (!glyph.Empty()) glyph.SetPixelFormat(pf32bit);
  TBitmap strip;
  strip.SetPixelFormat(pf32bit);
  strip.SetSize(4 * fw, fh);
  int pad = 4;
  for (int i = 0; i < 4; ++i) {
    Tint(strip, face, i * fw, colours[i]);
    if (!glyph.Empty()) Overlay(strip, glyph, i * fw + 8, (fh - glyph.Height()) / 2);
    pad = (glyph.Width() + 16) / 2;
  }
  Halve(strip);

  const std::string text = TrimBlanks(button.Caption);
  TCanvas& canvas = strip.Canvas();
  const TCaptionPlace place = FitButtonCaption(canvas, button.Font, text, sw, sh, pad);
  canvas.Font = button.Font;
  canvas.Brush.Style = bsClear;
  for (int i = 0; i < 4; ++i) canvas.TextOut(sw * i + place.X, place.Y, text);

  BlendToward(strip, sw, 2 * sw, colours[1]);

  if (files::FileExists("OBJ/ApUnit1.obj")) strip.SaveToFile("OBJ/" + button.Name + ".bmp");

  for (int y = 0; y < sh; ++y) Row(strip, y)[0] = kWhitePixel;
  Row(strip, 0)[1] = Row(strip, sh - 1)[1] = kWhitePixel;
  Row(strip, 0)[sw - 1] = Row(strip, sh - 1)[sw - 1] = kWhitePixel;

  button.Glyph.Assign(strip);
  button.NumGlyphs = 4;
  button.Caption.clear();
  return true;
}
