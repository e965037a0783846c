// Contrast, dark-area contrast, grey scale and the white/black swap.
#include <gtest/gtest.h>

#include "Imgtools.h"
#include "Pixels.h"

namespace {

constexpr uint32_t kX = 0x5A000000;  // a fourth byte the tone operations must keep

TEST(ContrastUp, StretchesAboutTheMeanOfTheIncludedPixels) {
  // Mean over 100, 150, 200 and the colour pixel (Y = 125); white, black and (16, 32, 48) are
  // left out: 575 / 4 = 143. k = (int)(1.11 · 65536) = 72744, pivot = 143.
  struct Case {
    const char* name;
    uint32_t in, want;
  };
  const Case cases[] = {
      {"grey 100: 143 + (-43 · 72744) / 65536 = 143 - 47", Grey(100), Grey(96)},
      {"grey 150: 143 + 7", Grey(150), Grey(150)},
      {"grey 200: 143 + 63", Grey(200), Grey(206)},
      {"white: 143 + 124, clamped", Grey(255), Grey(255)},
      {"black: 143 - 158 clamped to 0, s = 0", Grey(0), Grey(0)},
      // Y 125 -> 124; s = 124 · 65536 / 125 = 65011; dR' = 75 · s / 65536 = 74, dB' = -74 (toward 0);
      // G = 124 - (5 · 74 - 2 · 74) / 9 = 124 - 24.
      {"colour (200, 100, 50)", Pix(200, 100, 50), Pix(198, 100, 50)},
      // Y 29 -> 17; s = 38417; dR' = -13 · s / 65536 = -7, dB' = 19 · s / 65536 = 11; G = 17 - (-13) / 9.
      {"flat-dark (16, 32, 48) is changed too", Pix(16, 32, 48), Pix(10, 18, 28)},
  };
  TBitmap b;
  b.SetSize(std::size(cases), 1);
  for (int i = 0; i < int(std::size(cases)); ++i) SetPx(b, i, 0, cases[i].in | kX);
  ContrastUp({b, {0, 0, b.Width(), 1}, false, false}, 1.11);
  for (int i = 0; i < int(std::size(cases)); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(Px(b, i, 0), cases[i].want | kX);
  }
}

TEST(ContrastUp, FactorBelowOneUsesPivotHalfwayTo128) {
  // Same mean 143; k = 58982; pivot = (143 + 128) / 2 = 135.
  TBitmap b;
  MakeRows(b, {{Grey(100), Grey(150), Grey(200), Pix(200, 100, 50)}});
  ContrastUp({b, {0, 0, 4, 1}, false, false}, 0.9);
  EXPECT_TRUE(PixelsAre(b, [](int x, int) {
    const uint32_t want[] = {Grey(97), Grey(141), Grey(186), Pix(190, 96, 48)};
    return want[x];
  }));
}

TEST(ContrastUp, OnlyWhiteAndFlatDarkGivesMeanZero) {
  // 160 = 0xA0 has four zero low bits in every channel, so it is left out like black: count 0,
  // mean 0, and every pixel still changes: Y' = clamp(Y · 72744 / 65536); 160 -> 177.
  TBitmap b;
  MakeRows(b, {{Grey(255), Grey(0), Grey(160), Grey(0)}, {Grey(161), Grey(161), Grey(161), Grey(161)}});
  ContrastUp({b, {0, 0, 4, 1}, false, false}, 1.11);
  EXPECT_TRUE(PixelsAre(b, [](int x, int y) {
    const uint32_t row0[] = {Grey(255), Grey(0), Grey(177), Grey(0)};
    return y == 0 ? row0[x] : Grey(161);
  }));
}

TEST(ContrastUp, InvertedTakesTheMeanOutsideTheFrame) {
  // Outside (1, 1, 3, 3): six 100s and six 200s, mean 150; the inside (50) is neither counted nor changed.
  TBitmap b;
  Make(b, 4, 4, [](int x, int y) {
    if (x >= 1 && x < 3 && y >= 1 && y < 3) return Grey(50);
    return ((x + y) & 1) ? Grey(200) : Grey(100);
  });
  ContrastUp({b, {1, 1, 3, 3}, false, true}, 1.11);
  EXPECT_TRUE(PixelsAre(b, [](int x, int y) {
    if (x >= 1 && x < 3 && y >= 1 && y < 3) return Grey(50);
    return ((x + y) & 1) ? Grey(205) : Grey(95);  // 150 ± 55
  }));
}

TEST(ContrastUp, EllipseTakesTheMeanInsideTheEllipse) {
  // 10 x 10 disc: 69 pixels inside or on the ring, 100 each but 200 at the centre: mean
  // 7000 / 69 = 101. The corners (30) stay. 200 -> 101 + 99 · 72744 / 65536 = 210; 100 -> 100.
  TBitmap b;
  const FrameShapeTest t = FrameShapeSetup({0, 0, 10, 10}, true, false);
  Make(b, 10, 10, [&](int x, int y) {
    if (FrameShape(t, x, y) == 0) return Grey(30);
    return x == 5 && y == 5 ? Grey(200) : Grey(100);
  });
  ContrastUp({b, {0, 0, 10, 10}, true, false}, 1.11);
  EXPECT_TRUE(PixelsAre(b, [&](int x, int y) {
    if (FrameShape(t, x, y) == 0) return Grey(30);
    return x == 5 && y == 5 ? Grey(210) : Grey(100);
  }));
}

TEST(GreyScale, SetsTheLumaAndKeepsX) {
  TBitmap b;
  MakeRows(b, {{Pix(200, 100, 50, 0x33), Pix(0, 255, 0, 0x44), Pix(255, 0, 255, 0x55)}});
  GreyScale({b, {0, 0, 3, 1}, false, false});
  // (1000 + 900 + 100) >> 4 = 125; 9 · 255 >> 4 = 143; 7 · 255 >> 4 = 111.
  EXPECT_EQ(Px(b, 0, 0), Pix(125, 125, 125, 0x33));
  EXPECT_EQ(Px(b, 1, 0), Pix(143, 143, 143, 0x44));
  EXPECT_EQ(Px(b, 2, 0), Pix(111, 111, 111, 0x55));
}

// The effects change exactly the pixels the frame shape test selects, whatever the frame.
TEST(GreyScale, ChangesExactlyTheSelectedPixels) {
  const TRect frames[] = {
      {2, 3, 9, 8},     {0, 0, 13, 11},  {-4, -3, 6, 5},  {7, 6, 20, 30}, {3, 2, 4, 10},
      {5, 1, 6, 2},     {0, 0, 1, 1},    {4, 4, 4, 9},    {9, 2, 3, 8},   {-10, -10, -2, -2},
      {1, 1, 12, 10},   {2, 0, 11, 11},  {-6, 2, 19, 9},  {3, -8, 10, 25}, {6, 5, 7, 6},
  };
  for (const TRect& f : frames)
    for (int mode = 0; mode < 4; ++mode) {
      const bool ellipse = mode & 1, inverted = mode & 2;
      SCOPED_TRACE(::testing::Message() << "frame " << f.Left << "," << f.Top << "," << f.Right << ","
                                        << f.Bottom << " ellipse " << ellipse << " inverted " << inverted);
      TBitmap b;
      Make(b, 13, 11, [](int x, int y) { return Pix(200, 10 * x, 20 * y); });
      GreyScale({b, f, ellipse, inverted});
      const FrameShapeTest t = FrameShapeSetup(f, ellipse, inverted);
      EXPECT_TRUE(PixelsAre(b, [&](int x, int y) {
        const int v = Luma(200, 10 * x, 20 * y);
        return FrameShape(t, x, y) ? Grey(v) : Pix(200, 10 * x, 20 * y);
      }));
    }
}

TEST(DarkContrast, LeavesExcludedPixels) {
  TBitmap b;
  Make(b, 16, 16, [](int x, int y) {
    if (y == 3 && x == 3) return Pix(16, 32, 48);
    if (y == 3 && x == 5) return Pix(252, 253, 255, 0x11);
    if (y == 3 && x == 7) return Grey(0);
    return Photo(x, y);
  });
  DarkContrast({b, {0, 0, 16, 16}, false, false});
  EXPECT_EQ(Px(b, 3, 3), Pix(16, 32, 48));
  EXPECT_EQ(Px(b, 5, 3), Pix(252, 253, 255, 0x11));
  EXPECT_EQ(Px(b, 7, 3), Grey(0));
  EXPECT_NE(Px(b, 8, 8), Photo(8, 8));
}

TEST(DarkContrast, MovesAFlatAreaTowardWarmGrey) {
  // Flat 8: the blur gives b = 8 or 7 (the bilinear weights may add up to 254); either way
  // B = (128 + 7b) >> 3 + (9 (8 - b)) >> 3 = 23, G = 24, R = 25.
  TBitmap b;
  MakeFlat(b, 16, 16, Grey(8) | kX);
  DarkContrast({b, {0, 0, 16, 16}, false, false});
  EXPECT_TRUE(PixelsAre(b, [](int, int) { return Pix(25, 24, 23) | kX; }));
}

TEST(DarkContrast, PullsTheLocalMeanAndAmplifiesDetail) {
  // Against the blurred copy of the same picture: v' = ((T + 7b) >> 3) + ((9 (v - b)) >> 3).
  TBitmap b, blur;
  Make(b, 24, 16, [](int x, int y) { return Pix(40 + 7 * x, 30 + 5 * y + (x & 1) * 20, 200 - 3 * x - 2 * y); });
  HalvingBlur(blur, b, 16 / 8);
  TBitmap orig;
  orig.Assign(b);
  DarkContrast({b, {3, 2, 20, 14}, true, false});
  const FrameShapeTest t = FrameShapeSetup({3, 2, 20, 14}, true, false);
  auto f = [](int target, int v, int bl) {
    const int r = ((target + 7 * bl) >> 3) + ((9 * (v - bl)) >> 3);
    return r < 0 ? 0 : r > 255 ? 255 : r;
  };
  EXPECT_TRUE(PixelsAre(b, [&](int x, int y) {
    const uint32_t p = Px(orig, x, y), q = Px(blur, x, y);
    if (!FrameShape(t, x, y)) return p;
    return Pix(f(144, (p >> 16) & 255, (q >> 16) & 255), f(136, (p >> 8) & 255, (q >> 8) & 255),
               f(128, p & 255, q & 255));
  }));
}

TEST(WhiteBlackSwap, DarkPicture) {
  // 25 pixels: 20 of grey 2 and 5 more, Y sum 718, mean 28: lo = 28, hi = 228.
  TBitmap b;
  Make(b, 5, 5, [](int x, int y) {
    const uint32_t last[] = {Grey(5), Grey(250), Pix(150, 200, 150), Pix(101, 190, 60), Grey(100)};
    return (y == 4 ? last[x] : Grey(2)) | kX;
  });
  WhiteBlackSwap({b, {0, 0, 5, 5}, false, false});
  EXPECT_EQ(Px(b, 0, 0), 0x00FFFFFFu);                       // Y 2 < 28: white, X = 0
  EXPECT_EQ(Px(b, 0, 4), 0x00FFFFFFu);                       // Y 5
  EXPECT_EQ(Px(b, 1, 4), 0u);                                // Y 250 > 228: black
  EXPECT_EQ(Px(b, 2, 4), Pix(139, 132, 139) | kX);           // G 200: 22/2, 72/16
  EXPECT_EQ(Px(b, 3, 4), Pix(115, 131, 94) | kX);            // -27/2 = -13, 62/16 = 3, -68/2 = -34
  EXPECT_EQ(Px(b, 4, 4), Grey(100) | kX);                    // G 100: unchanged
}

TEST(WhiteBlackSwap, BrightPicture) {
  // 36 pixels: 30 of grey 250 and 6 more, Y sum 8312, mean 230: lo = 26, hi = 230.
  TBitmap b;
  Make(b, 6, 6, [](int x, int y) {
    const uint32_t last[] = {Grey(40), Grey(255), Pix(120, 130, 140), Pix(200, 170, 90), Grey(200), Grey(20)};
    return (y == 5 ? last[x] : Grey(250)) | kX;
  });
  WhiteBlackSwap({b, {0, 0, 6, 6}, false, false});
  EXPECT_EQ(Px(b, 0, 0), 0u);                                // 250 > 230
  EXPECT_EQ(Px(b, 0, 5), Grey(0) | kX);                      // 40: stretched to 0
  EXPECT_EQ(Px(b, 1, 5), 0u);                                // 255
  EXPECT_EQ(Px(b, 2, 5), Pix(112, 160, 152) | kX);           // 2·-8, 16·2, 2·12 about 128
  EXPECT_EQ(Px(b, 3, 5), Pix(255, 255, 52) | kX);            // clamped
  EXPECT_EQ(Px(b, 4, 5), Grey(200) | kX);                    // G 200 > 176: unchanged
  EXPECT_EQ(Px(b, 5, 5), 0x00FFFFFFu);                       // 20 < 26
}

TEST(WhiteBlackSwap, MidPictureOnlySwapsAndUsesTheSelectedMean) {
  // Inverted frame (1, 1, 2, 2): the mean is over the 11 outside pixels: eight 100s, 60, 200 and
  // 130 give 1190 / 11 = 108, lo 108, hi 148 (with the inside 10 it would be 100 and keep the 100s).
  TBitmap b;
  Make(b, 4, 3, [](int x, int y) {
    if (x == 1 && y == 1) return Grey(10);
    if (y == 2) return x == 0 ? Grey(60) : x == 1 ? Grey(200) : x == 2 ? Grey(130) : Grey(100);
    return Grey(100);
  });
  WhiteBlackSwap({b, {1, 1, 2, 2}, false, true});
  EXPECT_EQ(Px(b, 1, 1), Grey(10));
  EXPECT_EQ(Px(b, 0, 0), 0x00FFFFFFu);
  EXPECT_EQ(Px(b, 0, 2), 0x00FFFFFFu);
  EXPECT_EQ(Px(b, 1, 2), 0u);
  EXPECT_EQ(Px(b, 2, 2), Grey(130));
}

}  // namespace
