// Perspective straightening: output size, turning by the relabelled corners, white outside,
// the distance correction and the refused quadrilaterals.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "FacePixels.h"
#include "ImgtoolsStraighten.h"

namespace {

using Quad = std::array<TPointF, 4>;

// Blue = x, green = y: bilinear sampling of such a picture gives back the floor of the source
// position, so each output pixel tells where it was read.
constexpr int kRed = 77;
uint32_t Where(int x, int y) { return Pix(kRed, y, x, 0x5A); }

void MakeWhere(TBitmap& b, int w, int h, TPixelFormat f = pf32bit) {
  Make(b, w, h, [](int x, int y) { return Where(x, y); }, f);
}

::testing::AssertionResult SampledAt(const TBitmap& out, int i, int j, int x, int y) {
  const uint32_t got = Px(out, i, j), want = Pix(kRed, y, x);
  if (got == want) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << At(i, j, got, want);
}

TEST(StraightenQuad, CornersOnThePictureRectangleShrinkTheHeightSlightly) {
  // A 200 x 100 picture shown at half size in (0, 0, 100, 50): s = 2. Edges 99.1 and 49.1, so
  // W = trunc(198.2) = 198, H0 = trunc(98.2) = 98, r = 0.95 · 99.1 / 99.2, H = trunc(93.006) = 93.
  TBitmap b;
  MakeWhere(b, 200, 100);
  Quad q{{{0, 0}, {99, 0}, {99, 49}, {0, 49}}};
  const Quad before = q;
  ASSERT_TRUE(StraightenQuad(b, q, {0, 0, 100, 50}, kStraightenNone));
  ASSERT_EQ(b.Width(), 199);
  ASSERT_EQ(b.Height(), 94);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(q, before);
  // Columns are read one to one; 94 rows read 99 source rows (0 … 98), so some are skipped.
  int lastRow = -1, skipped = 0;
  for (int j = 0; j < b.Height(); ++j) {
    const int row = (Px(b, 0, j) >> 8) & 0xFF;
    EXPECT_GE(row, lastRow) << "row " << j;
    EXPECT_LE(row, lastRow + 2) << "row " << j;
    skipped += row - lastRow - 1;
    lastRow = row;
    for (int i = 0; i < b.Width(); ++i)
      ASSERT_TRUE(SampledAt(b, i, j, i, row));  // the fourth byte comes out 0
  }
  EXPECT_EQ(lastRow, 98);
  EXPECT_GT(skipped, 0);
}

TEST(StraightenQuad, RelabelledCornersTurnTheOutput) {
  struct Case {
    const char* name;
    Quad corners;
    Quad relabelled;
    int w, h;  // output size
  };
  // All in a 101 x 101 picture shown 1:1. Each output corner reads exactly one relabelled corner.
  const Case cases[] = {
      // Left 100.1, right 60.1 against top = bottom: a quarter turn, the short right edge on top.
      // W = trunc(100.1), H0 = trunc(102.08), H = trunc(102 · 0.95 · 100.1 / 60.2) = 161.
      {"converging left and right edges",
       {{{0, 0}, {100, 20}, {100, 80}, {0, 100}}},
       {{{100, 20}, {100, 80}, {0, 100}, {0, 0}}},
       101,
       162},
      // Top 100.1 against bottom 60.1: half a turn, the short edge on top.
      {"top more than 5 % longer than the bottom",
       {{{0, 0}, {100, 0}, {80, 100}, {20, 100}}},
       {{{80, 100}, {20, 100}, {0, 0}, {100, 0}}},
       101,
       162},
      // Top 100.1 against bottom 96.1 (4 % shorter): kept as it is.
      {"top less than 5 % longer than the bottom",
       {{{0, 0}, {100, 0}, {98, 100}, {2, 100}}},
       {{{0, 0}, {100, 0}, {98, 100}, {2, 100}}},
       101,
       99},
      // The short edge already on top.
      {"narrow top",
       {{{20, 0}, {80, 0}, {100, 100}, {0, 100}}},
       {{{20, 0}, {80, 0}, {100, 100}, {0, 100}}},
       101,
       162},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    MakeWhere(b, 101, 101, pf24bit);
    Quad q = c.corners;
    ASSERT_TRUE(StraightenQuad(b, q, {0, 0, 101, 101}, kStraightenNone));
    EXPECT_EQ(q, c.relabelled);
    ASSERT_EQ(b.Width(), c.w);
    ASSERT_EQ(b.Height(), c.h);
    ASSERT_EQ(b.PixelFormat(), pf32bit);
    const int W = b.Width() - 1, H = b.Height() - 1;
    const auto at = [&](int k) { return std::pair<int, int>(int(q[k].X), int(q[k].Y)); };
    EXPECT_TRUE(SampledAt(b, 0, 0, at(0).first, at(0).second));
    EXPECT_TRUE(SampledAt(b, W, 0, at(1).first, at(1).second));
    EXPECT_TRUE(SampledAt(b, W, H, at(2).first, at(2).second));
    EXPECT_TRUE(SampledAt(b, 0, H, at(3).first, at(3).second));
  }
}

TEST(StraightenQuad, OutsideThePictureIsWhite) {
  // Corners 50 pixels around a 100 x 100 picture: W = 199, H = trunc(199 · 0.95 · 199.1 / 199.2) = 188.
  // Column i reads source x = i - 50; a block with no pixel of the picture is pure white.
  TBitmap b;
  MakeWhere(b, 100, 100);
  Quad q{{{-50, -50}, {149, -50}, {149, 149}, {-50, 149}}};
  ASSERT_TRUE(StraightenQuad(b, q, {0, 0, 100, 100}, kStraightenNone));
  ASSERT_EQ(b.Width(), 200);
  ASSERT_EQ(b.Height(), 189);
  for (int j = 0; j < b.Height(); ++j)
    for (int i = 0; i < b.Width(); ++i) {
      const bool outside = i <= 48 || i >= 150 || j <= 46 || j >= 142;
      const uint32_t v = Px(b, i, j);
      if (outside) ASSERT_EQ(v, 0x00FFFFFFu) << At(i, j, v, 0x00FFFFFF);
      else ASSERT_NE(v, 0x00FFFFFFu) << At(i, j, v, 0);
    }
  // Centre: source (50, 49.5), half of row 49 and half of row 50.
  EXPECT_TRUE(SampledAt(b, 100, 94, 50, 49));
  // Column 49 reads x = -1 + 1/16 (the position is truncated toward zero before flooring):
  // 15/16 white, 1/16 of column 0. Blue (255 · 15 + 0) >> 4, green (255 · 15 + 49) >> 4 in both
  // rows, red (255 · 15 + 77) >> 4.
  EXPECT_EQ(Px(b, 49, 94), Pix(243, 242, 239));
}

TEST(DistanceCorrection, CurveByStrengthAndThreshold) {
  struct Case {
    const char* name;
    double top, bottom;
    int strength;
    double a, b;
  };
  const Case cases[] = {
      {"強, top half the bottom: q = 0.39", 100, 200, kStraightenStrong, -0.61, 1.61},
      {"中: q = 0.43", 100, 200, kStraightenMedium, -0.57, 1.57},
      {"弱: q = 0.475", 100, 200, kStraightenWeak, -0.525, 1.525},
      {"無", 100, 200, kStraightenNone, 0, 1},
      {"top just under 0.99 of the bottom", 98.9, 100, kStraightenStrong, 0.78 * 0.989 - 1, 2 - 0.78 * 0.989},
      {"top at 0.99 of the bottom", 99, 100, kStraightenStrong, 0, 1},
      {"equal edges", 100, 100, kStraightenWeak, 0, 1},
      {"unknown strength", 100, 200, 4, 0, 1},
      {"no item selected", 100, 200, -1, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TDistanceCorrection k = DistanceCorrection(c.top, c.bottom, c.strength);
    EXPECT_NEAR(k.A, c.a, 1e-12);
    EXPECT_NEAR(k.B, c.b, 1e-12);
  }
}

TEST(StraightenQuad, CorrectionGivesTheFarEdgeMoreRows) {
  // Top 99.95 + 0.1 = 100.05, bottom 200.1: half as long. W = 200, H0 = trunc(111.92) = 111,
  // H = trunc(111 · 0.95 · 200.1 / 100.15) = 210. Centre column, middle row (e = 0.5):
  // t = a / 4 + b / 2, r = trunc(210 · (1 - t)), source y = r · 100 / 210.
  struct Case {
    int strength;
    int row;  // source row read at the output's centre
  };
  const Case cases[] = {
      {kStraightenNone, 50},    // r = 105
      {kStraightenWeak, 36},    // t = 0.63125, r = 77
      {kStraightenMedium, 35},  // t = 0.6425, r = 75
      {kStraightenStrong, 34},  // t = 0.6525, r = 72
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.strength);
    TBitmap b;
    MakeWhere(b, 201, 101);
    Quad q{{{50.025, 0}, {149.975, 0}, {200, 100}, {0, 100}}};
    ASSERT_TRUE(StraightenQuad(b, q, {0, 0, 201, 101}, c.strength));
    ASSERT_EQ(b.Width(), 201);
    ASSERT_EQ(b.Height(), 211);
    EXPECT_EQ((Px(b, 100, 105) >> 8) & 0xFF, uint32_t(c.row));
    // The edges themselves stay where they are.
    EXPECT_TRUE(SampledAt(b, 100, 0, 100, 0));
    EXPECT_TRUE(SampledAt(b, 100, 210, 100, 100));
  }
}

TEST(StraightenQuad, RefusedQuadrilateralsChangeNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    Quad corners;
    TRect rect;
    int pictureW;
  };
  const Case cases[] = {
      {"all corners on one point: W = 0", {{{10, 10}, {10, 10}, {10, 10}, {10, 10}}}, {0, 0, 40, 30}, 40},
      {"a horizontal line: H = 0", {{{0, 5}, {30, 5}, {30, 5}, {0, 5}}}, {0, 0, 40, 30}, 40},
      {"a vertical line: W = 0", {{{5, 0}, {5, 0}, {5, 25}, {5, 25}}}, {0, 0, 40, 30}, 40},
      {"less than a picture pixel", {{{1, 1}, {1.5, 1}, {1.5, 1.5}, {1, 1.5}}}, {0, 0, 40, 30}, 40},
      {"picture rectangle of no width", {{{0, 0}, {30, 0}, {30, 20}, {0, 20}}}, {10, 0, 10, 30}, 40},
      {"corner not a number", {{{0, 0}, {30, 0}, {30, nan}, {0, 20}}}, {0, 0, 40, 30}, 40},
      {"corner absurdly far off", {{{0, 0}, {30, 0}, {30, 1e300}, {0, 20}}}, {0, 0, 40, 30}, 40},
      {"empty picture", {{{0, 0}, {30, 0}, {30, 20}, {0, 20}}}, {0, 0, 40, 30}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b, keep;
    MakeWhere(b, c.pictureW, c.pictureW ? 30 : 0, pf24bit);
    keep.Assign(b);
    Quad q = c.corners;
    EXPECT_FALSE(StraightenQuad(b, q, c.rect, kStraightenStrong));
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    ASSERT_EQ(b.Width(), keep.Width());
    ASSERT_EQ(b.Height(), keep.Height());
    for (int y = 0; y < b.Height(); ++y)
      ASSERT_EQ(std::memcmp(b.ScanLine(y), keep.ScanLine(y), 3 * b.Width()), 0) << "row " << y;
    for (int k = 0; k < 4; ++k) {
      // Compared bit for bit, so that a NaN corner counts as kept.
      EXPECT_EQ(std::memcmp(&q[k], &c.corners[k], sizeof(TPointF)), 0) << "corner " << k;
    }
  }
}

TEST(StraightenQuad, TooLargeAnOutputIsAnErrorThatChangesNothing) {
  // A 100 x 100 picture shown in one view pixel: s = 100, a 1000-pixel square gives 100 010 columns.
  TBitmap b;
  MakeWhere(b, 100, 100);
  Quad q{{{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}};
  EXPECT_THROW(StraightenQuad(b, q, {0, 0, 1, 1}, kStraightenNone), std::runtime_error);
  ASSERT_EQ(b.Width(), 100);
  ASSERT_EQ(b.Height(), 100);
  EXPECT_EQ(Px(b, 7, 9), Where(7, 9));
  EXPECT_EQ(q[2], (TPointF{1000, 1000}));
}

}  // namespace
