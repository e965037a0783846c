#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace {

// Pixel (x, y) of a pattern as a colour; X gets its own value.
TColor PatternColor(int x, int y) { return RGB(uint8_t(10 + x * 20), uint8_t(5 + y * 30), uint8_t(x * 7 + y)); }

void FillPattern(TBitmap& bmp) {
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) {
      uint8_t* p = bmp.ScanLine(y) + x * bmp.BytesPerPixel();
      const TColor c = PatternColor(x, y);
      p[kB] = GetBValue(c);
      p[kG] = GetGValue(c);
      p[kR] = GetRValue(c);
      if (bmp.BytesPerPixel() == 4) p[kX] = uint8_t(x + 16 * y + 1);
    }
}

TColor At(const TBitmap& bmp, int x, int y) {
  const uint8_t* p = bmp.ScanLine(y) + x * bmp.BytesPerPixel();
  return RGB(p[kR], p[kG], p[kB]);
}

}  // namespace

TEST(Bitmap, NewBitmapIsEmpty) {
  TBitmap bmp;
  EXPECT_EQ(bmp.Width(), 0);
  EXPECT_EQ(bmp.Height(), 0);
  EXPECT_TRUE(bmp.Empty());
  bmp.SetSize(0, 5);
  EXPECT_TRUE(bmp.Empty());
  EXPECT_EQ(bmp.Height(), 5);
  bmp.SetSize(-3, -1);  // negative sizes count as 0
  EXPECT_EQ(bmp.Width(), 0);
  EXPECT_EQ(bmp.Height(), 0);
}

TEST(Bitmap, RowsArePackedWithAlignedStride) {
  struct Case {
    TPixelFormat format;
    int width;
    std::ptrdiff_t stride;
  };
  const Case cases[] = {{pf24bit, 1, 4}, {pf24bit, 3, 12}, {pf24bit, 35, 108}, {pf32bit, 1, 4}, {pf32bit, 35, 140}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    TBitmap bmp;
    bmp.SetPixelFormat(c.format);
    bmp.SetSize(c.width, 3);
    EXPECT_EQ(bmp.Stride(), c.stride);
    EXPECT_EQ(bmp.ScanLine(2) - bmp.ScanLine(0), 2 * c.stride);
  }
}

TEST(Bitmap, SetSizeKeepsTopLeftAndFillsWithBrush) {
  for (TPixelFormat format : {pf24bit, pf32bit}) {
    SCOPED_TRACE(format == pf24bit ? "24-bit" : "32-bit");
    TBitmap bmp;
    bmp.SetPixelFormat(format);
    bmp.SetSize(3, 2);  // no canvas yet: white
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) ASSERT_EQ(At(bmp, x, y), clWhite);
    FillPattern(bmp);
    const TColor brush = RGB(1, 2, 3);
    bmp.Canvas().Brush.Color = brush;
    bmp.SetSize(5, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x) {
        const TColor expected = x < 3 && y < 2 ? PatternColor(x, y) : brush;
        EXPECT_EQ(At(bmp, x, y), expected) << "at " << x << ", " << y;
        if (format == pf32bit && !(x < 3 && y < 2)) {
          EXPECT_EQ(bmp.ScanLine(y)[x * 4 + kX], 0) << "X at " << x << ", " << y;
        }
      }
    bmp.SetSize(2, 1);
    EXPECT_EQ(At(bmp, 0, 0), PatternColor(0, 0));
    EXPECT_EQ(At(bmp, 1, 0), PatternColor(1, 0));
    bmp.SetHeight(2);
    EXPECT_EQ(At(bmp, 1, 1), brush);  // the row cut off before is gone
  }
}

TEST(Bitmap, TooLargeSizeIsRefusedAndNothingChanges) {
  TBitmap bmp;
  bmp.SetSize(2, 2);
  FillPattern(bmp);
  EXPECT_THROW(bmp.SetSize(1 << 15, (1 << 13) + 1), std::runtime_error);
  ASSERT_EQ(bmp.Width(), 2);
  ASSERT_EQ(bmp.Height(), 2);
  EXPECT_EQ(At(bmp, 1, 1), PatternColor(1, 1));
}

TEST(Bitmap, PixelFormatConversion) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(3, 2);
  FillPattern(bmp);
  bmp.SetPixelFormat(pf32bit);
  ASSERT_EQ(bmp.PixelFormat(), pf32bit);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(At(bmp, x, y), PatternColor(x, y));
      EXPECT_EQ(bmp.ScanLine(y)[x * 4 + kX], 0) << "X at " << x << ", " << y;
    }
  bmp.ScanLine(1)[2 * 4 + kX] = 77;
  const uint8_t* before = bmp.ScanLine(0);
  bmp.SetPixelFormat(pf32bit);  // same format: nothing changes
  EXPECT_EQ(bmp.ScanLine(0), before);
  EXPECT_EQ(bmp.ScanLine(1)[2 * 4 + kX], 77);
  bmp.SetPixelFormat(pf24bit);
  EXPECT_EQ(bmp.Stride(), 12);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(bmp, x, y), PatternColor(x, y));
}

TEST(Bitmap, AssignMakesAnIndependentCopy) {
  TBitmap a;
  a.SetPixelFormat(pf32bit);
  a.SetSize(3, 2);
  FillPattern(a);
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(7, 7);
  b.Assign(a);
  ASSERT_EQ(b.Width(), 3);
  ASSERT_EQ(b.Height(), 2);
  ASSERT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(std::memcmp(a.ScanLine(0), b.ScanLine(0), 3 * 2 * 4), 0);
  a.ScanLine(0)[0] = 0xEE;
  b.ScanLine(1)[0] = 0xDD;
  EXPECT_EQ(b.ScanLine(0)[0], GetBValue(PatternColor(0, 0)));
  EXPECT_EQ(a.ScanLine(1)[0], GetBValue(PatternColor(0, 1)));

  TBitmap empty;
  b.Assign(empty);
  EXPECT_TRUE(b.Empty());
  b.Assign(b);  // assigning itself keeps it
  EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, SwapExchangesPixelsSizeAndFormat) {
  TBitmap a, b;
  a.SetPixelFormat(pf32bit);
  a.SetSize(3, 2);
  FillPattern(a);
  b.SetPixelFormat(pf24bit);
  b.SetSize(1, 4);
  b.Canvas().SetPixel(0, 3, clRed);
  TCanvas& canvasOfA = a.Canvas();
  a.Swap(b);
  EXPECT_EQ(a.Width(), 1);
  EXPECT_EQ(a.Height(), 4);
  EXPECT_EQ(a.PixelFormat(), pf24bit);
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(At(b, 2, 1), PatternColor(2, 1));
  // The canvas stays with its bitmap and draws on the pixels it now holds.
  EXPECT_EQ(&a.Canvas(), &canvasOfA);
  EXPECT_EQ(a.Canvas().Pixel(0, 3), clRed);
  EXPECT_EQ(b.Canvas().Pixel(2, 1), PatternColor(2, 1));
}
