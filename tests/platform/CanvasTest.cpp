#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace {

// A w x h bitmap of one colour.
void Blank(TBitmap& bmp, int w, int h, TColor c = clWhite, TPixelFormat f = pf32bit) {
  bmp.SetPixelFormat(f);
  bmp.Canvas().Brush.Color = c;
  bmp.Canvas().Brush.Style = bsSolid;
  bmp.SetSize(w, h);
  bmp.Canvas().FillRect({0, 0, w, h});
}

// The pixels of colour c, as "x,y" in row order.
std::vector<std::string> PixelsOf(TBitmap& bmp, TColor c) {
  std::vector<std::string> out;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x)
      if (bmp.Canvas().Pixel(x, y) == c) out.push_back(std::to_string(x) + "," + std::to_string(y));
  return out;
}

using Pixels = std::vector<std::string>;

}  // namespace

TEST(Canvas, LineToLeavesOutTheEndPoint) {
  struct Case {
    const char* name;
    TPoint from, to;
    Pixels drawn;
  };
  const Case cases[] = {
      {"horizontal", {1, 1}, {5, 1}, {"1,1", "2,1", "3,1", "4,1"}},
      {"leftwards", {4, 2}, {1, 2}, {"2,2", "3,2", "4,2"}},
      {"vertical", {2, 0}, {2, 3}, {"2,0", "2,1", "2,2"}},
      {"diagonal", {1, 1}, {4, 4}, {"1,1", "2,2", "3,3"}},
      {"a single point draws nothing", {3, 3}, {3, 3}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap bmp;
    Blank(bmp, 6, 6);
    bmp.Canvas().Pen.Color = clRed;
    bmp.Canvas().MoveTo(c.from.X, c.from.Y);
    bmp.Canvas().LineTo(c.to.X, c.to.Y);
    EXPECT_EQ(PixelsOf(bmp, clRed), c.drawn);
    EXPECT_EQ(bmp.Canvas().PenPos(), c.to);
  }
}

TEST(Canvas, ClosedOutlineDrawsEveryCornerOnce) {
  TBitmap bmp;
  Blank(bmp, 8, 8);
  TCanvas& c = bmp.Canvas();
  c.Pen.Color = clNavy;
  c.MoveTo(1, 1);
  c.LineTo(5, 1);
  c.LineTo(5, 4);
  c.LineTo(1, 4);
  c.LineTo(1, 1);
  const Pixels drawn = PixelsOf(bmp, clNavy);
  // The outline of a 5 x 4 box: 2 · (4 + 3) pixels, each corner among them.
  EXPECT_EQ(drawn.size(), 14u);
  for (const char* corner : {"1,1", "5,1", "5,4", "1,4"})
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), corner), drawn.end()) << corner;
}

TEST(Canvas, FillRectExcludesRightAndBottom) {
  TBitmap bmp;
  Blank(bmp, 5, 4);
  bmp.Canvas().Brush.Color = clRed;
  bmp.Canvas().FillRect({1, 1, 4, 3});
  EXPECT_EQ(PixelsOf(bmp, clRed), (Pixels{"1,1", "2,1", "3,1", "1,2", "2,2", "3,2"}));
  bmp.Canvas().Brush.Color = clBlue;
  bmp.Canvas().FillRect({-5, 3, 100, 100});  // clipped to the bitmap
  EXPECT_EQ(PixelsOf(bmp, clBlue), (Pixels{"0,3", "1,3", "2,3", "3,3", "4,3"}));
  bmp.Canvas().Brush.Style = bsClear;
  bmp.Canvas().FillRect({0, 0, 5, 4});  // a clear brush fills nothing
  EXPECT_EQ(PixelsOf(bmp, clBlue).size(), 5u);
}

TEST(Canvas, FrameRectDrawsOnePixelInside) {
  TBitmap bmp;
  Blank(bmp, 6, 5, clWhite, pf24bit);
  bmp.Canvas().Brush.Color = clRed;
  bmp.Canvas().FrameRect({1, 1, 5, 4});
  EXPECT_EQ(PixelsOf(bmp, clRed),
            (Pixels{"1,1", "2,1", "3,1", "4,1", "1,2", "4,2", "1,3", "2,3", "3,3", "4,3"}));
}

TEST(Canvas, EllipseStaysInsideItsBox) {
  TBitmap bmp;
  Blank(bmp, 12, 12);
  TCanvas& c = bmp.Canvas();
  c.Pen.Color = clRed;
  c.Brush.Color = clBlue;
  c.Ellipse(0, 0, 10, 10);
  EXPECT_EQ(c.Pixel(5, 5), clBlue);
  EXPECT_EQ(c.Pixel(0, 0), clWhite);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(c.Pixel(10, i), clWhite) << "right edge, row " << i;
    EXPECT_EQ(c.Pixel(i, 10), clWhite) << "bottom edge, column " << i;
  }
  EXPECT_FALSE(PixelsOf(bmp, clRed).empty());
}

TEST(Canvas, StretchDrawSamplesNearestPixels) {
  TBitmap src;
  src.SetPixelFormat(pf24bit);
  src.SetSize(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.Canvas().SetPixel(x, y, RGB(uint8_t(x * 60), uint8_t(y * 60), 9));

  // Enlarging 2 x 2 to 6 x 4 repeats every pixel 3 times across and twice down.
  TBitmap small;
  small.SetSize(2, 2);
  small.Canvas().CopyRect({0, 0, 2, 2}, src.Canvas(), {0, 0, 2, 2});
  TBitmap big;
  Blank(big, 8, 6);
  big.Canvas().StretchDraw({1, 1, 7, 5}, small);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 1 && x < 7 && y >= 1 && y < 5;
      const TColor expected = inside ? small.Canvas().Pixel((x - 1) / 3, (y - 1) / 2) : clWhite;
      EXPECT_EQ(big.Canvas().Pixel(x, y), expected) << "at " << x << ", " << y;
    }

  // Reducing 4 x 4 to 2 x 2 keeps one pixel of each 2 x 2 block, unmixed.
  TBitmap reduced;
  Blank(reduced, 2, 2);
  reduced.Canvas().StretchDraw({0, 0, 2, 2}, src);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) {
      const TColor c = reduced.Canvas().Pixel(x, y);
      bool fromBlock = false;
      for (int sy = 2 * y; sy < 2 * y + 2; ++sy)
        for (int sx = 2 * x; sx < 2 * x + 2; ++sx) fromBlock = fromBlock || src.Canvas().Pixel(sx, sy) == c;
      EXPECT_TRUE(fromBlock) << "at " << x << ", " << y << ": " << std::hex << c;
    }

  // Draw copies 1:1.
  TBitmap copy;
  Blank(copy, 5, 5);
  copy.Canvas().Draw(1, 1, src);
  EXPECT_EQ(copy.Canvas().Pixel(4, 4), src.Canvas().Pixel(3, 3));
  EXPECT_EQ(copy.Canvas().Pixel(1, 1), src.Canvas().Pixel(0, 0));
  EXPECT_EQ(copy.Canvas().Pixel(0, 0), clWhite);
}

TEST(Canvas, CopyRectOfEqualSizeIsExact) {
  TBitmap src;
  src.SetPixelFormat(pf32bit);
  src.SetSize(5, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) {
      src.Canvas().SetPixel(x, y, RGB(uint8_t(x * 50), uint8_t(y * 50), uint8_t(x + y)));
      src.ScanLine(y)[x * 4 + kX] = uint8_t(x * 10 + y);
    }
  TBitmap dst;
  Blank(dst, 4, 3);
  dst.Canvas().CopyRect({1, 1, 4, 3}, src.Canvas(), {2, 1, 5, 3});
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      const bool inside = x >= 1 && y >= 1;
      EXPECT_EQ(dst.Canvas().Pixel(x, y), inside ? src.Canvas().Pixel(x + 1, y) : clWhite) << "at " << x << ", " << y;
      if (inside) {
        EXPECT_EQ(dst.ScanLine(y)[x * 4 + kX], src.ScanLine(y)[(x + 1) * 4 + kX]) << "X at " << x << ", " << y;
      }
    }
}

TEST(Canvas, PixelReadsAndWrites) {
  for (TPixelFormat f : {pf24bit, pf32bit}) {
    TBitmap bmp;
    Blank(bmp, 3, 3, clBlack, f);
    TCanvas& c = bmp.Canvas();
    c.SetPixel(2, 1, RGB(1, 2, 3));
    EXPECT_EQ(c.Pixel(2, 1), RGB(1, 2, 3));
    EXPECT_EQ(bmp.ScanLine(1)[2 * bmp.BytesPerPixel() + kR], 1);
    EXPECT_EQ(bmp.ScanLine(1)[2 * bmp.BytesPerPixel() + kB], 3);
    c.SetPixel(-1, 0, clWhite);  // outside: ignored
    c.SetPixel(3, 0, clWhite);
    EXPECT_EQ(c.Pixel(-1, 0), 0u);
    EXPECT_EQ(c.Pixel(0, 3), 0u);
    EXPECT_EQ(PixelsOf(bmp, clWhite).size(), 0u);
  }
  TBitmap empty;
  EXPECT_EQ(empty.Canvas().Pixel(0, 0), 0u);
  empty.Canvas().SetPixel(0, 0, clWhite);
  EXPECT_EQ(empty.Canvas().ClipRect(), (TRect{0, 0, 0, 0}));
}

TEST(Canvas, ClearBrushTextPaintsOnlyGlyphs) {
  const TColor ground = RGB(0, 200, 0);
  for (TBrushStyle style : {bsClear, bsSolid}) {
    SCOPED_TRACE(style == bsClear ? "clear brush" : "solid brush");
    TBitmap bmp;
    Blank(bmp, 60, 30, ground);
    TCanvas& c = bmp.Canvas();
    c.Font.Height = 20;
    c.Font.Color = clBlack;
    c.Brush.Color = clRed;
    c.Brush.Style = style;
    c.TextOut(5, 5, "Ab");
    const int w = c.TextWidth("Ab");
    ASSERT_GT(w, 0);
    int brushPixels = 0, dark = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 60; ++x) {
        const TColor p = c.Pixel(x, y);
        brushPixels += p == clRed;
        dark += GetGValue(p) < 100 && GetRValue(p) < 100;
        const bool inCell = x >= 5 && x < 5 + w && y >= 5 && y < 25;
        if (!inCell) {
          EXPECT_EQ(p, ground) << "outside the text cell at " << x << ", " << y;
        }
      }
    EXPECT_GT(dark, 10);  // the glyphs
    if (style == bsClear) {
      EXPECT_EQ(brushPixels, 0);
      EXPECT_EQ(c.Pixel(5, 5), ground);  // the cell's corner keeps the picture
    } else {
      EXPECT_EQ(c.Pixel(5, 5), clRed);
    }
  }
}

// A positive height is the cell height: the text is set in the largest pixel size whose
// QFontMetrics height fits it (equal to it where the face has such a size) and a solid brush
// fills exactly that many rows.
TEST(Canvas, PositiveFontHeightIsTheCellHeight) {
  struct Face {
    const char* name;
    const char* installed;
  };
  for (const Face face : {Face{"ＭＳ ゴシック", "IPAGothic"}, Face{"ＭＳ Ｐゴシック", "IPAPGothic"}})
    for (int h : {12, 13, 16, 24, 96, 150}) {
      SCOPED_TRACE(std::string(face.name) + " " + std::to_string(h));
      QFont q{QString::fromUtf8(face.installed)};
      int px = 1;
      for (int size = 1; size <= h; ++size) {
        q.setPixelSize(size);
        if (QFontMetrics(q).height() <= h) px = size;
      }
      q.setPixelSize(px);
      const QFontMetrics fm(q);
      if (h == 12 || h == 13 || h == 16) {
        EXPECT_EQ(fm.height(), h);  // sizes the face has
      }
      EXPECT_GE(fm.height(), h - 1);

      TBitmap bmp;
      Blank(bmp, 3 * h, 2 * h, clWhite);
      TCanvas& c = bmp.Canvas();
      c.Font.Name = face.name;
      c.Font.Height = h;
      EXPECT_EQ(c.TextHeight("あA"), h);
      EXPECT_EQ(c.TextWidth("あA"), fm.horizontalAdvance(QStringLiteral("あA")));
      c.Brush.Color = clRed;
      c.TextOut(0, 2, "あA");
      EXPECT_EQ(c.Pixel(0, 2), clRed);
      EXPECT_EQ(c.Pixel(0, 1 + h), clRed);
      EXPECT_EQ(c.Pixel(0, 2 + h), clWhite);
      c.Font.Bold = true;
      EXPECT_EQ(c.TextHeight("あA"), h);
    }
}

TEST(Canvas, JapaneseFacesAreSubstituted) {
  EXPECT_EQ(QFontInfo(QFont(QStringLiteral("ＭＳ ゴシック"))).family(), QStringLiteral("IPAGothic"));
  EXPECT_EQ(QFontInfo(QFont(QStringLiteral("ＭＳ Ｐゴシック"))).family(), QStringLiteral("IPAPGothic"));
}
