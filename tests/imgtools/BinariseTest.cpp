// Error diffusion and the letterpress halftone.
#include <gtest/gtest.h>

#include <string>

#include "Imgtools.h"
#include "Pixels.h"

namespace {

constexpr uint32_t kW = 0x00FFFFFF;

// '#' black, '.' white for each pixel of a row.
std::string Pattern(const TBitmap& b, int y) {
  std::string s;
  for (int x = 0; x < b.Width(); ++x) {
    const uint32_t p = Px(b, x, y);
    s += p == 0 ? '#' : p == kW ? '.' : '?';
  }
  return s;
}

TEST(ErrorDiffusion, LastPixelOfARowReadsTheFirstOutgoingError) {
  // One row of four greys 120 (v = 104 · 255 / 208 = 127), W = 4, error rows at entries 8 and 12.
  // x0: 128 + 127 = 255: white, rest 0. x1: 127: black, B[0] = 635 >> 3 = 79, B[1] = 381 >> 3 = 47.
  // x2: 127 + 47 = 174: black, B[1] = 65, B[2] = 108. x3: 127 + A[4] (entry 12 = B[0] = 79) + 108 =
  // 314: white.
  TBitmap b;
  MakeFlat(b, 4, 1, Grey(120) | 0x77000000);
  ErrorDiffusion({b, {0, 0, 4, 1}, false, false});
  EXPECT_EQ(Pattern(b, 0), ".##.");
}

TEST(ErrorDiffusion, UniformGreysGiveTheirShareOfWhite) {
  struct Case {
    const char* name;
    int grey;
    int minWhite, maxWhite;  // of 64 · 64 = 4096 pixels
  };
  const Case cases[] = {
      {"grey 120 (v 127): about half", 120, 1900, 2200},
      {"grey 60 (v 53): about a fifth", 60, 700, 950},
      {"grey 224: all white", 224, 4096, 4096},
      {"grey 250: all white", 250, 4096, 4096},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    MakeFlat(b, 64, 64, Grey(c.grey));
    ErrorDiffusion({b, {0, 0, 64, 64}, false, false});
    int white = 0, other = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        white += Px(b, x, y) == kW;
        other += Px(b, x, y) != kW && Px(b, x, y) != 0;
      }
    EXPECT_GE(white, c.minWhite);
    EXPECT_LE(white, c.maxWhite);
    EXPECT_EQ(other, 0);
  }
}

TEST(ErrorDiffusion, BlackFrameBuildsUpOnlyInItsFirstColumn) {
  // 64 x 64 of grey 16 (v = 0): the row-start value of 128 accumulates down the first column,
  // white at rows 2, 4, 5, 8, 10, 11, …; every other pixel stays black.
  TBitmap b;
  MakeFlat(b, 64, 64, Grey(16));
  ErrorDiffusion({b, {0, 0, 64, 64}, false, false});
  std::string firstColumn;
  for (int y = 0; y < 12; ++y) firstColumn += Px(b, 0, y) == kW ? '.' : '#';
  EXPECT_EQ(firstColumn, "##.#..##.#..");
  for (int y = 0; y < 64; ++y)
    for (int x = 1; x < 64; ++x) EXPECT_EQ(Px(b, x, y), 0u) << x << ", " << y;

  // Inside a larger picture the frame is written alone, still white only in its first column.
  TBitmap big;
  MakeFlat(big, 80, 70, Grey(16));
  ErrorDiffusion({big, {8, 3, 72, 67}, false, false});
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 80; ++x) {
      const bool inFrame = x >= 8 && x < 72 && y >= 3 && y < 67;
      if (!inFrame) {
        EXPECT_EQ(Px(big, x, y), Grey(16)) << x << ", " << y;
      } else if (x != 8) {
        EXPECT_EQ(Px(big, x, y), 0u) << x << ", " << y;
      }
    }
}

TEST(ErrorDiffusion, PixelsOutsideTheEllipseKeepTheFlowButAreNotWritten) {
  // The written pixels equal those of the rectangle run (same range, same error flow).
  TBitmap b, rect, orig;
  Make(b, 17, 13, Photo);
  orig.Assign(b);
  rect.Assign(b);
  ErrorDiffusion({rect, {2, 1, 15, 12}, false, false});
  ErrorDiffusion({b, {2, 1, 15, 12}, true, false});
  const FrameShapeTest t = FrameShapeSetup({2, 1, 15, 12}, true, false);
  EXPECT_TRUE(PixelsAre(b, [&](int x, int y) { return FrameShape(t, x, y) ? Px(rect, x, y) : Px(orig, x, y); }));
  // Inverted: the range is the whole picture.
  TBitmap inv, whole;
  Make(inv, 17, 13, Photo);
  whole.Assign(inv);
  ErrorDiffusion({whole, {0, 0, 17, 13}, false, false});
  ErrorDiffusion({inv, {2, 1, 15, 12}, true, true});
  const FrameShapeTest ti = FrameShapeSetup({2, 1, 15, 12}, true, true);
  EXPECT_TRUE(PixelsAre(inv, [&](int x, int y) { return FrameShape(ti, x, y) ? Px(whole, x, y) : Px(orig, x, y); }));
}

TEST(ImgMono16, SheetHoldsTheTilesBetweenRedLines) {
  TBitmap s;
  MakeImgMono16(s);
  ASSERT_EQ(s.Width(), 19);
  ASSERT_EQ(s.Height(), 19);
  const uint32_t red = 0x00FF0000;
  for (int i = 0; i < 19; ++i) {
    EXPECT_EQ(Px(s, 4, i), red);
    EXPECT_EQ(Px(s, i, 9), red);
  }
  auto tileRow = [&](int n, int j) {
    std::string r;
    for (int i = 0; i < 4; ++i) r += Px(s, (n % 4) * 5 + i, (n / 4) * 5 + j) == 0 ? '#' : '.';
    return r;
  };
  EXPECT_EQ(tileRow(0, 3), "####");
  EXPECT_EQ(tileRow(2, 0), ".##.");
  EXPECT_EQ(tileRow(4, 1), "###.");
  EXPECT_EQ(tileRow(6, 1), ".##.");
  EXPECT_EQ(tileRow(7, 2), ".###");
  EXPECT_EQ(tileRow(11, 2), "..#.");
  EXPECT_EQ(tileRow(12, 2), ".#..");
  EXPECT_EQ(tileRow(13, 2), "..#.");
  EXPECT_EQ(tileRow(15, 1), "....");
}

TEST(Letterpress, TilesBricksFromTheGreyLevel) {
  // Grey 128: v = 96 · 255 / 192 = 127, tile 7 (.... / ###. / .### / ....). Second band starts
  // at x = -2; its block at x = 6 has its centre (8, 6) outside the frame and stays grey.
  TBitmap b;
  MakeFlat(b, 8, 8, Grey(128));
  TRect frame{0, 0, 8, 8};
  Letterpress(b, frame, false);
  EXPECT_EQ(frame, (TRect{0, 0, 8, 8}));
  const char* want[] = {"........", "###.###.", ".###.###", "........",
                        "......??", "#.###.??", "##.###??", "......??"};
  for (int y = 0; y < 8; ++y) EXPECT_EQ(Pattern(b, y), want[y]) << "row " << y;
  EXPECT_EQ(Px(b, 6, 4), Grey(128));
}

TEST(Letterpress, BlocksAreChosenOnTheFrameBeforeItShrinks) {
  // Frame 10 wide shrinks to 8, but the block at x = 6 of the second band has its centre (8, 6)
  // inside the original frame and is tiled over columns 6 … 9. Columns 8, 9 of the first band
  // are greyed only. Column 10, 11 stay in colour.
  TBitmap b;
  MakeFlat(b, 12, 8, Pix(128, 128, 128, 0x21));
  SetPx(b, 10, 0, Pix(1, 2, 3));
  TRect frame{0, 0, 10, 8};
  Letterpress(b, frame, false);
  EXPECT_EQ(frame, (TRect{0, 0, 8, 8}));
  EXPECT_EQ(Pattern(b, 5).substr(0, 10), "#.###.###.");
  EXPECT_EQ(Px(b, 8, 1), Pix(128, 128, 128, 0x21));
  EXPECT_EQ(Px(b, 10, 0), Pix(1, 2, 3));
}

TEST(Letterpress, LevelsFromTheDiagonalMean) {
  struct Case {
    const char* name;
    int grey;
    const char* row1;  // second row of the tile
  };
  const Case cases[] = {
      {"255: tile 15, white", 255, "...."},
      {"32: tile 0, black", 32, "####"},
      {"20: below 32, black", 20, "####"},
      {"128: tile 7", 128, "###."},
      {"100: v = 68 · 255 / 192 = 90, tile 5", 100, "###."},
      {"150: v = 156, tile 9", 150, ".##."},
      {"200: v = 223, tile 13", 200, "...."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    MakeFlat(b, 4, 4, Grey(c.grey));
    TRect frame{0, 0, 4, 4};
    Letterpress(b, frame, false);
    EXPECT_EQ(Pattern(b, 1), c.row1);
  }
  // Only the diagonal counts: 255 on it, black elsewhere -> white tile.
  TBitmap d;
  Make(d, 4, 4, [](int x, int y) { return x == y ? Grey(255) : Grey(0); });
  TRect frame{0, 0, 4, 4};
  Letterpress(d, frame, false);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(Pattern(d, y), "....");
}

TEST(Letterpress, NarrowFramesAndFramesOutsideThePicture) {
  // Narrower than 4: the frame becomes empty, the grey stays, nothing is tiled.
  TBitmap b;
  Make(b, 6, 6, Photo);
  TRect frame{1, 1, 4, 6};
  Letterpress(b, frame, false);
  EXPECT_EQ(frame, (TRect{1, 1, 1, 5}));
  for (int x = 1; x < 4; ++x) {
    const uint32_t p = Photo(x, 2);
    const int v = Luma((p >> 16) & 255, (p >> 8) & 255, p & 255);
    EXPECT_EQ(Px(b, x, 2) & 0xFFFFFF, Grey(v));
  }
  // A frame hanging over the top-left: tiles are clipped, samples clamped to the picture.
  TBitmap o;
  MakeFlat(o, 6, 6, Grey(255));
  TRect over{-6, -6, 6, 6};
  Letterpress(o, over, false);
  EXPECT_EQ(over, (TRect{-6, -6, 6, 6}));
  EXPECT_TRUE(PixelsAre(o, [](int, int) { return kW; }));
  // A picture narrower than a tile.
  TBitmap n;
  MakeFlat(n, 2, 5, Grey(0));
  TRect nf{0, 0, 4, 4};
  Letterpress(n, nf, false);
  EXPECT_EQ(Pattern(n, 0), "##");
}

TEST(Letterpress, EllipseTilesWholeBlocksByTheirCentre) {
  // 16 x 16, ellipse of the whole frame; the corner block (0, 0) has its centre (2, 2) outside
  // (d = 9 + 9 + ... > 64 is not reached: dx = -6, dy = -6, d = 72 >= 64), so it stays grey.
  TBitmap b;
  MakeFlat(b, 16, 16, Grey(200));
  TRect frame{0, 0, 16, 16};
  Letterpress(b, frame, true);
  const FrameShapeTest t = FrameShapeSetup({0, 0, 16, 16}, true, false);
  EXPECT_EQ(FrameShape(t, 2, 2), 0);
  EXPECT_EQ(Px(b, 0, 0), Grey(200));
  // The block at (4, 0) has its centre (6, 2) inside: tile 13 covers it whole.
  EXPECT_NE(FrameShape(t, 6, 2), 0);
  EXPECT_EQ(Pattern(b, 2).substr(4, 4), "..#.");
  EXPECT_EQ(Px(b, 4, 0), kW);  // outside the ellipse yet part of the tiled block
}

}  // namespace
