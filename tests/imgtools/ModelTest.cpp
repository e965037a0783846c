// The frame shape test and the outside-ellipse fill.
#include <gtest/gtest.h>

#include "Imgtools.h"
#include "Pixels.h"

namespace {

struct ShapeCase {
  const char* name;
  TRect r;
  bool ellipse, inverted;
  int x, y;
  int want;
};

// Ellipse (0, 0, 10, 10): rx = ry = 5, centre (5, 5), inner 16, outer 25.
// Ellipse (0, 0, 10, 7): rx 5, ry 3, centre (5, 3); row 1 has dy = (-2 · 5) / 3 = -3 (truncated).
// Ellipse (-5, -5, 0, 0): rx = ry = 2, centre (-2, -2) (truncated toward zero), inner 1, outer 4.
// Ellipse (10, 0, 11, 100): rx 1, ry 50, centre (10, 50), inner 0, outer 1.
const ShapeCase kShapeCases[] = {
    {"rect top-left inside", {2, 3, 6, 8}, false, false, 2, 3, 1},
    {"rect bottom-right inside", {2, 3, 6, 8}, false, false, 5, 7, 1},
    {"rect right edge exclusive", {2, 3, 6, 8}, false, false, 6, 3, 0},
    {"rect bottom edge exclusive", {2, 3, 6, 8}, false, false, 2, 8, 0},
    {"rect left of it", {2, 3, 6, 8}, false, false, 1, 3, 0},
    {"rect inverted inside", {2, 3, 6, 8}, false, true, 2, 3, 0},
    {"rect inverted outside", {2, 3, 6, 8}, false, true, 6, 3, 1},
    {"rect inside out", {5, 0, 3, 10}, false, false, 4, 5, 0},
    {"rect inside out inverted", {5, 0, 3, 10}, false, true, 4, 5, 1},
    {"circle centre", {0, 0, 10, 10}, true, false, 5, 5, 1},
    {"circle d = 16 is ring", {0, 0, 10, 10}, true, false, 1, 5, 2},
    {"circle d = 16 right", {0, 0, 10, 10}, true, false, 9, 5, 2},
    {"circle d = 25 is outside", {0, 0, 10, 10}, true, false, 0, 5, 0},
    {"circle diagonal ring", {0, 0, 10, 10}, true, false, 2, 2, 2},
    {"circle corner", {0, 0, 10, 10}, true, false, 1, 1, 0},
    {"circle top row", {0, 0, 10, 10}, true, false, 5, 0, 0},
    {"circle second row", {0, 0, 10, 10}, true, false, 5, 1, 2},
    {"circle inverted centre", {0, 0, 10, 10}, true, true, 5, 5, 0},
    {"circle inverted ring", {0, 0, 10, 10}, true, true, 1, 5, 2},
    {"circle inverted corner", {0, 0, 10, 10}, true, true, 1, 1, 1},
    {"circle inverted outside rect", {0, 0, 10, 10}, true, true, 10, 5, 1},
    {"wide ellipse row 0", {0, 0, 20, 10}, true, false, 10, 0, 0},
    {"wide ellipse row 1 centre", {0, 0, 20, 10}, true, false, 10, 1, 1},
    {"wide ellipse row 1 x 4", {0, 0, 20, 10}, true, false, 4, 1, 0},
    {"wide ellipse row 1 x 5", {0, 0, 20, 10}, true, false, 5, 1, 2},
    {"dy truncates toward zero: inside", {0, 0, 10, 7}, true, false, 5, 1, 1},
    {"dy truncates toward zero: ring", {0, 0, 10, 7}, true, false, 2, 1, 2},
    {"dy truncates toward zero: outside", {0, 0, 10, 7}, true, false, 1, 1, 0},
    {"centre truncates toward zero", {-5, -5, 0, 0}, true, false, -4, -2, 0},
    {"negative frame ring", {-5, -5, 0, 0}, true, false, -1, -2, 2},
    {"1-pixel ellipse middle is ring", {10, 0, 11, 100}, true, false, 10, 50, 2},
    {"1-pixel ellipse top is outside", {10, 0, 11, 100}, true, false, 10, 0, 0},
    {"1-pixel ellipse second row", {10, 0, 11, 100}, true, false, 10, 1, 2},
    {"1-pixel ellipse bottom", {10, 0, 11, 100}, true, false, 10, 99, 2},
    {"1-pixel ellipse inverted middle", {10, 0, 11, 100}, true, true, 10, 50, 2},
    {"1-pixel ellipse inverted top", {10, 0, 11, 100}, true, true, 10, 0, 1},
    {"1-pixel ellipse inverted beside", {10, 0, 11, 100}, true, true, 9, 50, 1},
};

TEST(FrameShape, Cases) {
  for (const ShapeCase& c : kShapeCases) {
    SCOPED_TRACE(c.name);
    const FrameShapeTest t = FrameShapeSetup(c.r, c.ellipse, c.inverted);
    EXPECT_EQ(FrameShape(t, c.x, c.y), c.want) << "at (" << c.x << ", " << c.y << ")";
  }
}

TEST(FrameShape, OnePixelEllipseHasNoInside) {
  const FrameShapeTest t = FrameShapeSetup({10, 0, 11, 100}, true, false);
  EXPECT_EQ(t.Rx, 1);
  EXPECT_EQ(t.Inner, 0);
  EXPECT_EQ(t.Outer, 1);
  for (int y = 0; y < 100; ++y) EXPECT_NE(FrameShape(t, 10, y), 1) << "y " << y;
}

// o: the fill colour, r: averaged with it, .: kept. Centre (5, 5), inner 16, outer 25.
const char* const kDisc10[] = {
    "oooooooooo",  //
    "ooorrrrroo",  //
    "oor.....ro",  //
    "or.......r",  //
    "or.......r",  //
    "or.......r",  //
    "or.......r",  //
    "or.......r",  //
    "oor.....ro",  //
    "ooorrrrroo",  //
};

TEST(FillOutsideEllipse, PaintsCornersAveragesRingKeepsDisc) {
  struct Case {
    const char* name;
    uint32_t colour, pixel, ring;
  };
  const Case cases[] = {
      // (0x10 + 0xFE) / 2 = 0x87, (0x80 + 0xFE) / 2 = 0xBF, (0x02 + 0xFE) / 2 = 0x80; X becomes 0.
      {"white", 0x00FFFFFF, Pix(0x11, 0x80, 0x03, 0x77), Pix(0x87, 0xBF, 0x80)},
      // (0x11 & 0xFE + 0x20) / 2 = 0x18, (0x80 + 0x40) / 2 = 0x60, (0x02 + 0x60) / 2 = 0x31.
      {"dark blue-green", Pix(0x20, 0x40, 0x60), Pix(0x11, 0x80, 0x03, 0x77), Pix(0x18, 0x60, 0x31)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    MakeFlat(b, 10, 10, c.pixel);
    FillOutsideEllipse(b, c.colour);
    EXPECT_TRUE(PixelsAre(b, [&](int x, int y) {
      const char m = kDisc10[y][x];
      return m == 'o' ? c.colour : m == 'r' ? c.ring : c.pixel;
    }));
  }
}

TEST(FillOutsideEllipse, ConvertsTo32BitsAndKeepsTinyPicturesDefined) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(3, 1);
  FillOutsideEllipse(b, 0x00FFFFFF);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  // rx = 1, ry = 1, centre (1, 0): only the centre pixel is on the ring, none inside.
  TBitmap g;
  MakeFlat(g, 3, 1, 0);
  FillOutsideEllipse(g, 0x00FFFFFF);
  EXPECT_TRUE(PixelsAre(g, [](int x, int) { return x == 1 ? Pix(0x7F, 0x7F, 0x7F) : 0x00FFFFFFu; }));
  TBitmap empty;
  FillOutsideEllipse(empty, 0x00FFFFFF);
  EXPECT_TRUE(empty.Empty());
}

}  // namespace
