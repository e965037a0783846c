// Whiteboard cleaning and its stages.
#include <gtest/gtest.h>

#include "Imgtools.h"
#include "Pixels.h"

namespace {

struct Dot {
  int x, y;
  uint32_t v;
};

void MakeDots(TBitmap& b, int w, int h, uint32_t back, std::initializer_list<Dot> dots) {
  MakeFlat(b, w, h, back);
  for (const Dot& d : dots) SetPx(b, d.x, d.y, d.v);
}

uint32_t Colour(uint32_t p) { return p & 0x00FFFFFF; }

TEST(MarkerRestore, HandComputedCentres) {
  // 9 x 9 of grey 200 (Y 200): only (4, 4) is in the range. Σ K9 · Y = Σ weight · (Y - 200).
  struct Case {
    const char* name;
    std::initializer_list<Dot> dots;
    uint32_t want;
  };
  const Case cases[] = {
      // Y 102: Σ = 12 · -98, a = -1176 / 57 = -20, b = 215, c = 95; normalised (255, 76, 63).
      {"red marker", {{4, 4, Pix(200, 60, 50)}}, Pix(215, 28, 23)},
      // Y 73: a = -1524 / 57 = -26, b = 203, c = 47; normalised (46, 69, 255).
      {"blue marker", {{4, 4, Pix(40, 60, 220)}}, Pix(8, 12, 203)},
      // Y 135: a = -780 / 57 = -13, b = 229, c = 151; normalised (63, 255, 76).
      {"green marker", {{4, 4, Pix(50, 200, 60)}}, Pix(37, 229, 45)},
      // Y 18 < 32: R = G = B = 18; a = -2184 / 57 = -38, c = 0.
      {"dark stroke", {{4, 4, Pix(10, 20, 30)}}, Grey(0)},
      // Grey 150 and grey 50 on its right (weight 5): Σ = -600 - 750, a = -23, c = 71.
      {"grey stroke", {{4, 4, Grey(150)}, {5, 4, Grey(50)}}, Grey(71)},
      // Grey 0 at (4, 0) (weight -1): Σ = 200, a = 3, b = c = 255.
      {"board next to a stroke", {{4, 0, Grey(0)}}, Grey(255)},
      // Grey 0 at (0, 0) has weight 0: still the flat board.
      {"corner weight 0", {{0, 0, Grey(0)}}, Grey(255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    MakeDots(b, 9, 9, Grey(200), c.dots);
    MarkerRestore(b, 0, 0, 9, 9);
    EXPECT_EQ(Colour(Px(b, 4, 4)), c.want);
    EXPECT_EQ(Px(b, 3, 4), Pix(200, 200, 200, 200));  // outside the range: colour kept, X = luma
  }
}

TEST(MarkerRestore, LeavesAFourPixelBorderAndStoresLumaEverywhere) {
  TBitmap b, orig;
  Make(b, 14, 12, Photo);
  orig.Assign(b);
  MarkerRestore(b, -3, 0, 100, 9);  // range x 4 … 9, y 4 … 8
  int changed = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 14; ++x) {
      const uint32_t p = Px(orig, x, y);
      const int luma = Luma((p >> 16) & 255, (p >> 8) & 255, p & 255);
      EXPECT_EQ(Px(b, x, y) >> 24, uint32_t(luma)) << x << ", " << y;
      const bool inRange = x >= 4 && x < 10 && y >= 4 && y < 9;
      if (!inRange) {
        EXPECT_EQ(Colour(Px(b, x, y)), Colour(p)) << x << ", " << y;
      }
      changed += inRange && Colour(Px(b, x, y)) != Colour(p);
    }
  EXPECT_GT(changed, 20);
}

TEST(BoostStrokes, HandComputedCentres) {
  // 11 x 11 of grey 200: only (5, 5) is in the range; s = Σ K10 · (v - 200), clamp(s / 14 + 255, 0, 235).
  struct Case {
    const char* name;
    std::initializer_list<Dot> dots;
    uint32_t want;
  };
  const Case cases[] = {
      {"flat board: 255 clamped to 235", {}, Grey(235)},
      {"centre 100 (weight 18): -1800 / 14 = -128", {{5, 5, Grey(100)}}, Grey(127)},
      {"and 0 at dx -4 (weight -1): -1600 / 14", {{5, 5, Grey(100)}, {1, 5, Grey(0)}}, Grey(141)},
      {"0 at dx -5 lies outside the kernel", {{5, 5, Grey(100)}, {0, 5, Grey(0)}}, Grey(127)},
      {"0 at the corner (dx -4, dy -4) has weight 0", {{5, 5, Grey(100)}, {1, 1, Grey(0)}}, Grey(127)},
      {"0 at (dx -1, dy -4) has weight -1", {{5, 5, Grey(100)}, {4, 1, Grey(0)}}, Grey(141)},
      {"0 at (dx 2, dy 5) has weight -1", {{5, 5, Grey(100)}, {7, 10, Grey(0)}}, Grey(141)},
      {"0 at (dx 3, dy 5) has weight 0", {{5, 5, Grey(100)}, {8, 10, Grey(0)}}, Grey(127)},
      {"the block below right counts 18 too: 18 · -200 / 14 = -257", {{6, 6, Grey(0)}}, Grey(0)},
      // R: -1800 - 2700 + 200; G: -2700 + 200 = -2500 / 14 = -178; B: -2700 - 2700 + 200.
      {"channels apart", {{5, 5, Pix(100, 200, 50)}, {6, 6, Grey(50)}, {1, 5, Grey(0)}}, Pix(0, 77, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    MakeDots(b, 11, 11, Grey(200) | 0x66000000, c.dots);
    BoostStrokes(b, 0, 0, 11, 11);
    EXPECT_EQ(Colour(Px(b, 5, 5)), c.want);
    EXPECT_EQ(Px(b, 4, 5) >> 24, Px(b, 4, 4) >> 24);
  }
}

TEST(BoostStrokes, LeavesAFivePixelBorder) {
  TBitmap b;
  MakeFlat(b, 16, 14, Grey(255) | 0x11000000);
  BoostStrokes(b, 0, 0, 16, 14);
  EXPECT_TRUE(PixelsAre(b, [](int x, int y) {
    return (x >= 5 && x < 11 && y >= 5 && y < 9 ? Grey(235) : Grey(255)) | 0x11000000;
  }));
}

TEST(ColourStrokes, HandComputedCentres) {
  // 3 x 3, only (1, 1) in the range; s = (8 neighbours + 30 · pixel) / 38.
  struct Case {
    const char* name;
    uint32_t around, centre, want;
  };
  const Case cases[] = {
      // Ys = 1800 >> 4 = 112, grey = 112 · 12 >> 4 = 84; B = min(255, 200 + 5 · 100).
      {"blue", Pix(100, 100, 200), Pix(100, 100, 200), Pix(84, 84, 255)},
      // Ys = 156, grey 117; G = min(255, 200 + 100).
      {"green", Pix(100, 200, 100), Pix(100, 200, 100), Pix(117, 255, 117)},
      // Ys = 131, grey 98; R = min(255, 200 + 2 · 100).
      {"red", Pix(200, 100, 100), Pix(200, 100, 100), Pix(255, 98, 98)},
      // Red needs more than 12 over the others: Ys = Y0 = 103, not darker: white.
      {"weak red", Pix(112, 100, 100), Pix(112, 100, 100), Grey(255)},
      // s = (1600 + 3000) / 38 = 121; Y0 = 100 < 121: grey = 1452 >> 4.
      {"darker than around", Grey(200), Grey(100), Grey(90)},
      // s = (800 + 6000) / 38 = 178; Y0 = 200: white.
      {"lighter than around", Grey(100), Grey(200), Grey(255)},
      // Flat 235: Ys = Y0 = 235: white.
      {"boosted board", Grey(235), Grey(235), Grey(255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    MakeDots(b, 3, 3, c.around, {{1, 1, c.centre}});
    ColourStrokes(b, 0, 0, 3, 3);
    EXPECT_EQ(Colour(Px(b, 1, 1)), c.want);
    EXPECT_EQ(Px(b, 0, 1), c.around);
  }
}

TEST(FillGaps, LightPixelsBetweenDarkOnesTurnGrey) {
  struct Case {
    const char* name;
    uint32_t centre, up, left, right, down, want;
  };
  const Case cases[] = {
      // n = 3: (690 + 300 + 150) / 9 = 126, (126 + 255) >> 1 = 190.
      {"two dark neighbours", Grey(230), Grey(100), Grey(50), Grey(240), Grey(240), Grey(190)},
      {"one dark neighbour", Grey(230), Grey(100), Grey(240), Grey(240), Grey(240), Grey(230)},
      {"centre too dark (Luma 219)", Grey(219), Grey(100), Grey(50), Grey(240), Grey(240), Grey(219)},
      // G 199 counts, G 200 does not: (690 + 199·3 + 100·3 + ...) with n = 3:
      // 230·3 + (10 + 199 + 10) + (10 + 199 + 10) = 1128 / 9 = 125 -> 190.
      {"G below 200 counts", Grey(230), Pix(10, 199, 10), Pix(10, 199, 10), Pix(10, 200, 10), Grey(240), Grey(190)},
      // n = 5: (690 + 4 · 0) / 15 = 46, (46 + 255) >> 1 = 150.
      {"all four dark", Grey(230), Grey(0), Grey(0), Grey(0), Grey(0), Grey(150)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    MakeDots(b, 3, 3, Grey(255), {{1, 1, c.centre}, {1, 0, c.up}, {0, 1, c.left}, {2, 1, c.right}, {1, 2, c.down}});
    FillGaps(b, 0, 0, 3, 3);
    EXPECT_EQ(Colour(Px(b, 1, 1)), c.want);
  }
  // Neighbours are read from the picture before the stage: a pixel made grey does not count
  // as dark for the next one. Row: dark, light, light, dark -> both lights have one dark
  // horizontal neighbour plus the dark row above.
  TBitmap r;
  Make(r, 6, 3, [](int x, int y) { return y == 0 || x == 0 || x == 3 ? Grey(0) : Grey(240); });
  FillGaps(r, 0, 0, 6, 3);
  EXPECT_EQ(Colour(Px(r, 1, 1)), Grey((720 / 9 + 255) >> 1));
  EXPECT_EQ(Colour(Px(r, 2, 1)), Grey((720 / 9 + 255) >> 1));
  EXPECT_EQ(Colour(Px(r, 4, 1)), Grey((720 / 9 + 255) >> 1));  // left 0 and above 0
}

// The pipeline spelt out with the stages.
void Pipeline(TBitmap& work, bool strong) {
  const int W = work.Width(), H = work.Height();
  ContrastUp({work, {0, 0, W, H}, false, false}, 1.2);
  if (strong) {
    BoostStrokes(work, 0, 0, W, H);
    ColourStrokes(work, 5, 5, W - 5, H - 5);
  } else {
    MarkerRestore(work, 0, 0, W, H);
  }
  FillGaps(work, 0, 0, W, H);
}

void CopyOut(TBitmap& part, const TBitmap& b, const TRect& r) {
  part.SetSize(r.Width(), r.Height());
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) SetPx(part, x, y, Px(b, r.Left + x, r.Top + y));
}

uint32_t Board(int x, int y) {
  // A light board with strokes and marker lines.
  if ((x + 2 * y) % 23 < 2) return Pix(30, 30, 40);
  if (y % 9 == 4) return Pix(200, 40, 40);
  if (x % 13 == 6) return Pix(40, 60, 190);
  return Pix(215 + (x % 7), 218, 210 + (y % 5));
}

TEST(WhiteboardClean, FrameUpTo1600WideAtFullSize) {
  for (bool strong : {false, true}) {
    SCOPED_TRACE(strong ? "strong" : "normal");
    TBitmap b, orig, want;
    Make(b, 40, 30, [](int x, int y) { return Board(x, y) | 0x5A000000; });
    orig.Assign(b);
    const TRect frame{3, 2, 37, 28};
    CopyOut(want, b, frame);
    Pipeline(want, strong);
    WhiteboardClean(b, frame, strong);
    EXPECT_TRUE(PixelsAre(b, [&](int x, int y) {
      const bool in = x >= frame.Left && x < frame.Right && y >= frame.Top && y < frame.Bottom;
      if (!in) return Px(orig, x, y);
      return Colour(Px(want, x - frame.Left, y - frame.Top)) | 0x5A000000;  // X kept
    }));
  }
}

TEST(WhiteboardClean, WideFrameWorkedAt1600AndLifted) {
  // 3200 wide: f = 0.5, worked at 1600 x 12 and enlarged back; values above 250 become 255.
  TBitmap b, want, small;
  Make(b, 3210, 24, Board);
  const TRect frame{5, 0, 3205, 24};
  CopyOut(want, b, frame);
  small.SetSize(1600, 12);
  ResampleInto(small, 0, 0, 1600, 12, want);
  Pipeline(small, false);
  ResampleInto(want, 0, 0, 3200, 24, small);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 3200; ++x) {
      uint32_t p = Px(want, x, y);
      for (int c = 0; c < 3; ++c)
        if (((p >> (8 * c)) & 255) > 250) p |= 0xFFu << (8 * c);
      SetPx(want, x, y, p);
    }
  WhiteboardClean(b, frame, false);
  int lifted = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 3200; ++x) {
      const uint32_t got = Colour(Px(b, frame.Left + x, y));
      ASSERT_EQ(got, Colour(Px(want, x, y))) << x << ", " << y;
      for (int c = 0; c < 3; ++c) {
        const int v = (got >> (8 * c)) & 255;
        EXPECT_FALSE(v > 250 && v < 255) << x << ", " << y;
        lifted += v == 255;
      }
    }
  EXPECT_GT(lifted, 0);
  EXPECT_EQ(Px(b, 0, 0), Board(0, 0));
  EXPECT_EQ(Px(b, 3209, 23), Board(3209, 23));
}

TEST(WhiteboardClean, OddReductionUsesTheTruncatedSize) {
  // 1700 wide: f = 1600 / 1700, the work copy is (int)(1700 · f) x (int)(20 · f).
  TBitmap b, want, small;
  Make(b, 1700, 20, Board);
  const double f = 1600.0 / 1700;
  const int sw = int(1700 * f), sh = int(20 * f);
  CopyOut(want, b, {0, 0, 1700, 20});
  small.SetSize(sw, sh);
  ResampleInto(small, 0, 0, sw, sh, want);
  Pipeline(small, true);
  ResampleInto(want, 0, 0, 1700, 20, small);
  WhiteboardClean(b, {0, 0, 1700, 20}, true);
  EXPECT_TRUE(PixelsAre(b, [&](int x, int y) {
    uint32_t p = Colour(Px(want, x, y));
    for (int c = 0; c < 3; ++c)
      if (((p >> (8 * c)) & 255) > 250) p |= 0xFFu << (8 * c);
    return p;
  }, 0x00FFFFFF));
}

TEST(WhiteboardClean, CleanBoardStaysWhite) {
  TBitmap b;
  MakeFlat(b, 30, 20, Grey(255));
  WhiteboardClean(b, {0, 0, 30, 20}, false);
  EXPECT_TRUE(PixelsAre(b, [](int, int) { return Grey(255); }, 0x00FFFFFF));
}

TEST(WhiteboardClean, FrameOutsideThePictureIsClipped) {
  TBitmap b, c;
  Make(b, 30, 24, Board);
  c.Assign(b);
  WhiteboardClean(b, {-5, -7, 20, 50}, false);
  WhiteboardClean(c, {0, 0, 20, 24}, false);
  EXPECT_TRUE(SamePixels(b, c));
  TBitmap d, e;
  Make(d, 10, 10, Board);
  e.Assign(d);
  WhiteboardClean(d, {12, 0, 20, 10}, true);
  WhiteboardClean(d, {4, 4, 4, 9}, true);
  EXPECT_TRUE(SamePixels(d, e));
}

}  // namespace
