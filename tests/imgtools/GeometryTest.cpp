// Quarter turns, mirror, fixed scaling, margins and the raised border.
#include <gtest/gtest.h>

#include "Imgtools.h"
#include "Pixels.h"

namespace {

// Coordinates coded into the pixel, X included.
uint32_t Where(int x, int y) { return Pix(x, y, 0x80, 0x10 + x + 16 * y); }

TEST(RotateQuarter, ThreeByTwo) {
  struct Case {
    const char* name;
    bool left;
    int x, y, oldX, oldY;  // new pixel and the old one it shows
  };
  const Case cases[] = {
      {"left: new (0, 0) is old (2, 0)", true, 0, 0, 2, 0},
      {"left: new (1, 0) is old (2, 1)", true, 1, 0, 2, 1},
      {"left: new (0, 2) is old (0, 0)", true, 0, 2, 0, 0},
      {"right: new (0, 0) is old (0, 1)", false, 0, 0, 0, 1},
      {"right: new (1, 0) is old (0, 0)", false, 1, 0, 0, 0},
      {"right: new (1, 2) is old (2, 0)", false, 1, 2, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    Make(b, 3, 2, Where);
    RotateQuarter(b, c.left);
    ASSERT_EQ(b.Width(), 2);
    ASSERT_EQ(b.Height(), 3);
    EXPECT_EQ(Px(b, c.x, c.y), Where(c.oldX, c.oldY));
  }
}

TEST(RotateQuarter, TurnsComposeBackToTheOriginal) {
  // Sizes across the 32-pixel tiles of the loop.
  for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {35, 39}, {70, 33}}) {
    SCOPED_TRACE(::testing::Message() << w << " x " << h);
    TBitmap b;
    Make(b, w, h, Photo);
    RotateQuarter(b, true);
    ASSERT_EQ(b.Width(), h);
    EXPECT_TRUE(PixelsAre(b, [&](int x, int y) { return Photo(w - 1 - y, x); }));
    RotateQuarter(b, true);
    RotateQuarter(b, true);
    RotateQuarter(b, true);
    EXPECT_TRUE(PixelsAre(b, Photo));
    RotateQuarter(b, false);
    EXPECT_TRUE(PixelsAre(b, [&](int x, int y) { return Photo(y, h - 1 - x); }));
    RotateQuarter(b, true);
    EXPECT_TRUE(PixelsAre(b, Photo));
  }
  TBitmap empty;
  empty.SetSize(0, 5);
  RotateQuarter(empty, true);
  EXPECT_EQ(empty.Width(), 5);
  EXPECT_EQ(empty.Height(), 0);
}

TEST(MirrorImage, ReversesEveryRow) {
  for (int w : {1, 2, 5, 6}) {
    SCOPED_TRACE(w);
    TBitmap b;
    Make(b, w, 3, Where);
    MirrorImage(b);
    EXPECT_TRUE(PixelsAre(b, [&](int x, int y) { return Where(w - 1 - x, y); }));
    MirrorImage(b);
    EXPECT_TRUE(PixelsAre(b, Where));
  }
  TBitmap empty;
  MirrorImage(empty);
  EXPECT_TRUE(empty.Empty());
}

TEST(ScaleByPercent, SizesAndPixelsOfTheResampler) {
  struct Case {
    int w, h, percent, newW, newH;
  };
  const Case cases[] = {
      {100, 100, 72, 72, 72}, {101, 50, 141, 142, 70}, {100, 60, 50, 50, 30}, {33, 20, 200, 66, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << " x " << c.h << " at " << c.percent << " %");
    TBitmap b, src, want;
    Make(b, c.w, c.h, Photo);
    src.Assign(b);
    TRect cut{5, 6, 7, 8};
    ScaleByPercent(b, cut, c.percent);
    EXPECT_EQ(cut, (TRect{0, 0, c.w, c.h}));
    ASSERT_EQ(b.Width(), c.newW);
    ASSERT_EQ(b.Height(), c.newH);
    want.SetSize(c.newW, c.newH);
    ResampleInto(want, 0, 0, c.newW, c.newH, src);
    EXPECT_TRUE(SamePixels(b, want));
  }
  // Half of 1 x 1 is 0 x 0, which the resampler raises to 2 x 2.
  TBitmap dot;
  MakeFlat(dot, 1, 1, Grey(9));
  TRect cut{};
  ScaleByPercent(dot, cut, 50);
  EXPECT_EQ(dot.Width(), 2);
  EXPECT_EQ(dot.Height(), 2);
}

TEST(AddMargin, WidthFromTheLongerSideAndColourFromCtrl) {
  struct Case {
    const char* name;
    int w, h;
    bool blue;
    int m;
  };
  const Case cases[] = {
      {"16 x 16: 2·√16 = 8", 16, 16, false, 8},
      {"17 x 10: 2·√17 = 8.25", 17, 10, true, 8},
      {"3 x 3: at least 8", 3, 3, false, 8},
      {"1000 x 3: 2·√1000 = 63.2", 1000, 3, true, 63},
      {"3 x 3000: 2·√3000 = 109.5", 3, 3000, false, 109},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    Make(b, c.w, c.h, Where);
    TRect cut{1, 2, 3, 3};
    AddMargin(b, cut, c.blue);
    ASSERT_EQ(b.Width(), c.w + 2 * c.m);
    ASSERT_EQ(b.Height(), c.h + 2 * c.m);
    EXPECT_EQ(cut, (TRect{1 + c.m, 2 + c.m, 3 + c.m, 3 + c.m}));
    const uint32_t fill = c.blue ? 0x000000FFu : 0x00FFFFFFu;
    EXPECT_TRUE(PixelsAre(b, [&](int x, int y) {
      const int ox = x - c.m, oy = y - c.m;
      return ox >= 0 && ox < c.w && oy >= 0 && oy < c.h ? Where(ox, oy) : fill;
    }));
    EXPECT_EQ(b.Canvas().Brush.Color, c.blue ? clBlue : clWhite);
  }
}

TEST(AddRightMargin, DoublesTheWidthInTheBrushColour) {
  TBitmap b;
  Make(b, 4, 3, Where);
  AddRightMargin(b);
  EXPECT_TRUE(PixelsAre(b, [](int x, int y) { return x < 4 ? Where(x, y) : 0x00FFFFFFu; }));

  // After a blue margin the right margin is blue too.
  TBitmap m;
  Make(m, 4, 3, Where);
  TRect cut{0, 0, 4, 3};
  AddMargin(m, cut, true);
  AddRightMargin(m);
  ASSERT_EQ(m.Width(), 40);
  ASSERT_EQ(m.Height(), 19);
  EXPECT_EQ(Px(m, 39, 18), 0x000000FFu);
  EXPECT_EQ(Px(m, 20, 0), 0x000000FFu);
  EXPECT_EQ(Px(m, 8, 8), Where(0, 0));
}

TEST(Border3D, SmallPictureChangesSomePixelsTwice) {
  // 6 x 6 of grey 100, n = 4. L = 150 (lightened), D = 60 (darkened); (2, 2) is lightened by
  // the top band and again by the left band (225); (3, 2) lightened, then darkened (90).
  const int want[6][6] = {
      {150, 150, 150, 150, 150, 150},  //
      {150, 150, 150, 150, 150, 60},   //
      {150, 150, 225, 90, 60, 60},     //
      {150, 150, 60, 60, 60, 60},      //
      {150, 60, 60, 60, 60, 60},       //
      {60, 60, 60, 60, 60, 60},        //
  };
  TBitmap b;
  MakeFlat(b, 6, 6, Grey(100) | 0x3C000000);
  Border3D(b, 4);
  EXPECT_TRUE(PixelsAre(b, [&](int x, int y) { return Grey(want[y][x]) | 0x3C000000; }));
}

TEST(Border3D, LargePictureMeetsInMitres) {
  // Each pixel within n of an edge is shaded once by its nearest edge; top and bottom win the
  // diagonal. Lighten: min(255, c · 1.5); darken: c · 0.6, both truncated.
  const int W = 14, H = 11, n = 4;
  TBitmap b;
  Make(b, W, H, [](int x, int y) { return Pix(10 * x + 5, 200, 171, y); });
  Border3D(b, n);
  auto light = [](int c) { return std::min(255, c * 3 / 2); };
  auto dark = [](int c) { return c * 3 / 5; };
  EXPECT_TRUE(PixelsAre(b, [&](int x, int y) {
    const int r = 10 * x + 5, dt = y, db = H - 1 - y, dl = x, dr = W - 1 - x;
    int kind = 0;  // 1 light, 2 dark
    if (dt < n && dl >= dt && dr >= dt) kind = 1;
    else if (db < n && dl >= db && dr >= db) kind = 2;
    else if (dl < n) kind = 1;
    else if (dr < n) kind = 2;
    if (kind == 1) return Pix(light(r), light(200), light(171), y);
    if (kind == 2) return Pix(dark(r), dark(200), dark(171), y);
    return Pix(r, 200, 171, y);
  }));
}

TEST(Border3D, TinyPicturesStayInside) {
  for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {9, 1}, {2, 3}}) {
    SCOPED_TRACE(::testing::Message() << w << " x " << h);
    TBitmap b;
    MakeFlat(b, w, h, Grey(100));
    Border3D(b, 4);
    EXPECT_EQ(b.Width(), w);
    // The first row is lightened by the top band before anything else.
    EXPECT_NE(Px(b, 0, 0), Grey(100));
  }
  TBitmap b;
  MakeFlat(b, 3, 3, Grey(100));
  Border3D(b, 0);
  EXPECT_TRUE(PixelsAre(b, [](int, int) { return Grey(100); }));
}

}  // namespace
