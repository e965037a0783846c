// 3 x 3 kernels, mosaic and the differential picture.
#include <gtest/gtest.h>

#include "Imgtools.h"
#include "Pixels.h"

namespace {

// B = v, G = 255 - v, R = v / 2, X = 0x5A for the grey level v.
constexpr uint32_t Tri(int v) { return Pix(v / 2, 255 - v, v, 0x5A); }

void MakeLevels(TBitmap& b, std::initializer_list<std::initializer_list<int>> rows) {
  const int h = int(rows.size()), w = int(rows.begin()->size());
  b.SetSize(w, h);
  int y = 0;
  for (const auto& row : rows) {
    int x = 0;
    for (int v : row) SetPx(b, x++, y, Tri(v));
    ++y;
  }
}

TEST(Convolve3x3, BlurUsesTheFirstFrameRowAsItsOwnRowAbove) {
  struct Case {
    const char* name;
    TRect frame;
    int x, y, want;  // B channel; G and R follow from the same sums
  };
  // Rows: 10 20 30 40 / 50 60 70 80 / 90 100 110 120.
  const Case cases[] = {
      {"corner: rows 0, 0, 1 and columns 0, 0, 1: 240 / 9", {0, 0, 4, 3}, 0, 0, 26},
      {"middle reads the unblurred row above: 540 / 9", {0, 0, 4, 3}, 1, 1, 60},
      {"bottom-right: row 2 repeats below, column 3 to the right: 930 / 9", {0, 0, 4, 3}, 3, 2, 103},
      {"frame from row 1: row 1 is its own row above: 660 / 9", {0, 1, 4, 3}, 1, 1, 73},
      {"frame from row 1, next row reads the original row 1: 780 / 9", {0, 1, 4, 3}, 1, 2, 86},
      {"frame ending at row 2: the real row 2 lies below row 1", {0, 0, 4, 2}, 1, 1, 60},
      {"outside the frame: unchanged", {0, 1, 4, 3}, 1, 0, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    MakeLevels(b, {{10, 20, 30, 40}, {50, 60, 70, 80}, {90, 100, 110, 120}});
    Convolve3x3({b, c.frame, false, false}, kBlurKernel);
    const uint32_t p = Px(b, c.x, c.y);
    EXPECT_EQ(p & 0xFF, uint32_t(c.want));
    EXPECT_EQ(p >> 24, 0x5Au);
  }
  // G of the middle pixel: (9 · 255 - 540) / 9 = 195; R: halves 5 10 15 25 30 35 45 50 55 -> 270 / 9.
  TBitmap b;
  MakeLevels(b, {{10, 20, 30, 40}, {50, 60, 70, 80}, {90, 100, 110, 120}});
  Convolve3x3({b, {0, 0, 4, 3}, false, false}, kBlurKernel);
  EXPECT_EQ(Px(b, 1, 1), Pix(30, 195, 60, 0x5A));
}

TEST(Convolve3x3, SharpenKeepsFlatAreasAndClamps) {
  TBitmap b;
  MakeFlat(b, 5, 5, Grey(100));
  SetPx(b, 2, 2, Grey(200));
  SetPx(b, 0, 4, Grey(10));
  SetPx(b, 1, 4, Grey(20));
  Convolve3x3({b, {0, 0, 5, 5}, false, false}, kSharpenKernel);
  EXPECT_EQ(Px(b, 4, 0), Grey(100));  // (24 · 100 - 8 · 100) / 16
  EXPECT_EQ(Px(b, 2, 2), Grey(250));  // (4800 - 800) / 16
  EXPECT_EQ(Px(b, 1, 1), Grey(93));   // (2400 - 7 · 100 - 200) / 16
  // (0, 4): rows 3, 4, 4 and columns 0, 0, 1: 24 · 10 - (300 + 10 + 20 + 10 + 10 + 20) = -130 -> 0.
  EXPECT_EQ(Px(b, 0, 4), Grey(0));

  TBitmap spot;
  MakeFlat(spot, 3, 3, Grey(0));
  SetPx(spot, 1, 1, Grey(200));
  Convolve3x3({spot, {0, 0, 3, 3}, false, false}, kSharpenKernel);
  EXPECT_EQ(Px(spot, 1, 1), Grey(255));  // 4800 / 16 = 300
  EXPECT_EQ(Px(spot, 0, 1), Grey(0));    // -200 / 16
}

TEST(Convolve3x3, StampSofteningAndOtherKernels) {
  struct Case {
    const char* name;
    Kernel3x3 k;
    int want;
  };
  // Frame (1, 1, 2, 2) on 0 0 0 / 0 120 30 / 0 0 0: row 1 is its own row above, so the
  // neighbourhood of the centre is 0 120 30 / 0 120 30 / 0 0 0.
  const Case cases[] = {
      {"softening 1 1 1 / 1 4 1 / 1 1 1: (150 + 480 + 30) / 12", kStampSoftenKernel, 55},
      {"blur: 300 / 9", kBlurKernel, 33},
      {"identity twice: 240 / 2", {0, 0, 0, 0, 2, 0, 0, 0, 0}, 120},
      {"negative divisor: (-0 - 240) / -3", {0, 0, 0, -1, -2, 0, 0, 0, 0}, 80},
      {"weights adding up to 0 use the sum itself: -0 + 120", {0, 0, 0, -1, 1, 0, 0, 0, 0}, 120},
      {"zero sum, clamped: 960 - 180", {-1, -1, -1, -1, 8, -1, -1, -1, -1}, 255},
      {"edge kernel: -0 + 120 + 30", {0, 0, 0, -1, 1, 1, 0, 0, 0}, 150},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    MakeRows(b, {{Grey(0), Grey(0), Grey(0)}, {Grey(0), Grey(120), Grey(30)}, {Grey(0), Grey(0), Grey(0)}});
    Convolve3x3({b, {1, 1, 2, 2}, false, false}, c.k);
    EXPECT_EQ(Px(b, 1, 1), Grey(c.want));
    EXPECT_EQ(Px(b, 2, 1), Grey(30));
  }
  // The zero-sum kernel on a flat area: 0.
  TBitmap flat;
  MakeFlat(flat, 4, 4, Grey(77));
  Convolve3x3({flat, {0, 0, 4, 4}, false, false}, {-1, -1, -1, -1, 8, -1, -1, -1, -1});
  EXPECT_TRUE(PixelsAre(flat, [](int, int) { return Grey(0); }));
}

TEST(Convolve3x3, EllipseAndInvertedSelectFromTheSameResult) {
  // Inverted: the range is the whole picture, so the selected pixels match a whole-picture run.
  // Ellipse: the same range as the rectangle, so selected pixels match the rectangle's run.
  const TRect f{3, 2, 12, 9};
  for (int mode = 1; mode < 4; ++mode) {
    const bool ellipse = mode & 1, inverted = mode & 2;
    SCOPED_TRACE(::testing::Message() << "ellipse " << ellipse << " inverted " << inverted);
    TBitmap b, whole, orig;
    Make(b, 14, 11, Photo);
    orig.Assign(b);
    whole.Assign(b);
    Convolve3x3({whole, inverted ? TRect{0, 0, 14, 11} : f, false, false}, kSharpenKernel);
    Convolve3x3({b, f, ellipse, inverted}, kSharpenKernel);
    const FrameShapeTest t = FrameShapeSetup(f, ellipse, inverted);
    EXPECT_TRUE(PixelsAre(b, [&](int x, int y) { return FrameShape(t, x, y) ? Px(whole, x, y) : Px(orig, x, y); }));
  }
}

TEST(Convolve3x3, EmptyPicturesAndFramesChangeNothing) {
  TBitmap empty;
  Convolve3x3({empty, {0, 0, 5, 5}, false, false}, kBlurKernel);
  EXPECT_TRUE(empty.Empty());
  TBitmap b;
  Make(b, 4, 4, Photo);
  Convolve3x3({b, {10, 10, 20, 20}, false, false}, kBlurKernel);
  Convolve3x3({b, {2, 2, 2, 4}, false, false}, kBlurKernel);
  EXPECT_TRUE(PixelsAre(b, Photo));
  TBitmap one;
  MakeFlat(one, 1, 1, Grey(9));
  Convolve3x3({one, {0, 0, 1, 1}, false, false}, kSharpenKernel);
  EXPECT_EQ(Px(one, 0, 0), Grey(9));
}

// Coordinates coded into the colour: R = 2x, G = 2y.
uint32_t Where(int x, int y) { return Pix(2 * x, 2 * y, 77, 0x33); }

TEST(Mosaic, SamplesFromTheBlockGridOfThePicture) {
  struct Case {
    const char* name;
    int w, h;
    TRect frame;
    bool coarse;
    int x, y, sx, sy;  // pixel and the sample it takes
  };
  const Case cases[] = {
      {"small picture: blocks of 2, sample at +1", 10, 7, {1, 1, 8, 6}, false, 2, 1, 3, 1},
      {"sample maps onto itself", 10, 7, {1, 1, 8, 6}, false, 1, 1, 1, 1},
      {"block begins left of the frame", 10, 7, {1, 1, 8, 6}, false, 1, 2, 1, 3},
      {"last row of the range holds the sample", 10, 7, {1, 1, 7, 5}, false, 5, 4, 5, 4},
      {"last column of the range", 10, 7, {1, 1, 7, 5}, false, 6, 3, 6, 3},
      {"shift: blocks of 4", 10, 7, {0, 0, 10, 7}, true, 4, 5, 6, 6},
      {"shift at the bottom: row 6 is the last", 10, 7, {0, 0, 10, 7}, true, 9, 4, 9, 6},
      {"499 wide: blocks of 2", 499, 3, {0, 0, 499, 3}, false, 100, 0, 101, 1},
      {"500 wide: blocks of 4", 500, 3, {0, 0, 500, 3}, false, 100, 0, 102, 2},
      {"640 wide: blocks of 4", 640, 8, {0, 0, 640, 8}, false, 5, 1, 6, 2},
      {"640 wide with shift: blocks of 8", 640, 8, {0, 0, 640, 8}, true, 5, 1, 4, 4},
      {"4000 wide: blocks of 32", 4000, 3, {0, 0, 4000, 3}, false, 40, 0, 48, 2},
      {"4000 wide with shift: blocks of 64", 4000, 3, {0, 0, 4000, 3}, true, 40, 0, 32, 2},
      {"tall pictures count too: 3 x 2000, blocks of 16", 3, 2000, {0, 0, 3, 2000}, false, 1, 17, 2, 24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    Make(b, c.w, c.h, [](int x, int y) { return Pix(x & 255, y & 255, (x >> 8) | ((y >> 8) << 4), 0x33); });
    Mosaic({b, c.frame, false, false}, c.coarse);
    const uint32_t want = Pix(c.sx & 255, c.sy & 255, (c.sx >> 8) | ((c.sy >> 8) << 4), 0x33);
    EXPECT_EQ(Px(b, c.x, c.y), want);
  }
}

TEST(Mosaic, WholeFrameAgainstTheSampleRule) {
  // Frame (1, 1, 8, 6) on 10 x 7, blocks of 2: (min(7, (x & ~1) + 1), min(5, (y & ~1) + 1)).
  TBitmap b;
  Make(b, 10, 7, Where);
  Mosaic({b, {1, 1, 8, 6}, false, false}, false);
  EXPECT_TRUE(PixelsAre(b, [](int x, int y) {
    if (x < 1 || x >= 8 || y < 1 || y >= 6) return Where(x, y);
    return Where(std::min(7, (x & ~1) + 1), std::min(5, (y & ~1) + 1));
  }));
}

TEST(Mosaic, EllipseKeepsPixelsOutsideAndInvertedFillsTheRest) {
  TBitmap b;
  Make(b, 12, 12, Where);
  Mosaic({b, {0, 0, 12, 12}, true, false}, true);
  const FrameShapeTest t = FrameShapeSetup({0, 0, 12, 12}, true, false);
  EXPECT_TRUE(PixelsAre(b, [&](int x, int y) {
    return FrameShape(t, x, y) ? Where(std::min(11, (x & ~3) + 2), std::min(11, (y & ~3) + 2)) : Where(x, y);
  }));
  // (0, 0) is outside the ellipse while its block's sample (2, 2) is inside.
  EXPECT_EQ(Px(b, 0, 0), Where(0, 0));

  TBitmap inv;
  Make(inv, 12, 12, Where);
  Mosaic({inv, {2, 2, 9, 9}, false, true}, false);
  EXPECT_TRUE(PixelsAre(inv, [&](int x, int y) {
    if (x >= 2 && x < 9 && y >= 2 && y < 9) return Where(x, y);
    return Where(std::min(11, (x & ~1) + 1), std::min(11, (y & ~1) + 1));
  }));
}

TEST(EdgeRelief, WhiteWhereFlatBlackAlongEdges) {
  TBitmap flat;
  MakeFlat(flat, 5, 4, Pix(10, 200, 30, 0x44));
  EdgeRelief({flat, {0, 0, 5, 4}, false, false});
  EXPECT_TRUE(PixelsAre(flat, [](int, int) { return Pix(255, 255, 255, 0x44); }));

  TBitmap edge;
  Make(edge, 8, 4, [](int x, int) { return x < 4 ? Grey(0) : Grey(255); });
  EdgeRelief({edge, {0, 0, 8, 4}, false, false});
  EXPECT_TRUE(PixelsAre(edge, [](int x, int) { return x == 3 || x == 4 ? Grey(0) : Grey(255); }));
}

TEST(EdgeRelief, HandComputedGradient) {
  // Greys 10 20 30 / 40 50 60 / 70 80 100.
  struct Case {
    const char* name;
    TRect frame;
    int x, y, want;
  };
  const Case cases[] = {
      {"middle: 255 - 2·|80 - 20| - 2·|60 - 40|", {0, 0, 3, 3}, 1, 1, 95},
      {"top-left: up is itself, left is itself: 255 - 2·30 - 2·10", {0, 0, 3, 3}, 0, 0, 175},
      {"bottom-right: 255 - 2·40 - 2·20", {0, 0, 3, 3}, 2, 2, 135},
      {"frame from row 1 still reads row 0 above", {0, 1, 3, 3}, 1, 1, 95},
      {"next row reads the unchanged luma of row 1: 255 - 2·30 - 2·30", {0, 1, 3, 3}, 1, 2, 135},
      {"outside the frame unchanged", {0, 1, 3, 3}, 1, 0, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    MakeRows(b, {{Grey(10), Grey(20), Grey(30)}, {Grey(40), Grey(50), Grey(60)}, {Grey(70), Grey(80), Grey(100)}});
    EdgeRelief({b, c.frame, false, false});
    EXPECT_EQ(Px(b, c.x, c.y), Grey(c.want));
  }
}

TEST(EdgeRelief, InvertedEllipseChangesOnlyTheSelectedPixels) {
  TBitmap b, whole, orig;
  Make(b, 11, 9, Photo);
  orig.Assign(b);
  whole.Assign(b);
  EdgeRelief({whole, {0, 0, 11, 9}, false, false});
  EdgeRelief({b, {1, 1, 10, 8}, true, true});
  const FrameShapeTest t = FrameShapeSetup({1, 1, 10, 8}, true, true);
  EXPECT_TRUE(PixelsAre(b, [&](int x, int y) { return FrameShape(t, x, y) ? Px(whole, x, y) : Px(orig, x, y); }));
}

}  // namespace
