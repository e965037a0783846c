// The view's fit, the two mappings and the status and readout texts.
#include <gtest/gtest.h>

#include "ApUnit1Geometry.h"

namespace {
std::string Str(const TRect& r) {
  return "(" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ", " + std::to_string(r.Right) + ", " +
         std::to_string(r.Bottom) + ")";
}
}  // namespace

TEST(ViewFit, Table) {
  struct Case {
    const char* name;
    int W, H, boxW, boxH;
    TRect view;
  } cases[] = {
      {"small picture 1:1 centred", 100, 50, 813, 613, {356, 281, 456, 331}},
      {"wide picture fills the width", 1600, 400, 813, 613, {6, 206, 807, 406}},
      {"tall picture fills the height", 300, 1200, 813, 613, {331, 6, 481, 607}},
      {"exactly the available size is fitted", 801, 601, 813, 613, {6, 6, 807, 607}},
      {"one pixel wide and tall", 1, 1, 813, 613, {406, 306, 407, 307}},
      {"one pixel wide, very tall", 1, 5000, 813, 613, {406, 6, 407, 607}},
      {"very wide, one pixel high", 5000, 1, 813, 613, {6, 306, 807, 307}},
      {"box smaller than the margins", 640, 480, 5, 5, {2, 2, 3, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TRect v = FitViewRect(c.W, c.H, c.boxW, c.boxH);
    EXPECT_EQ(Str(v), Str(c.view));
  }
}

TEST(ViewMapping, Table) {
  struct Case {
    const char* name;
    int W, H;
    TRect view, image, screen;
  } cases[] = {
      {"1:1 shifts by the view origin", 100, 50, {356, 281, 456, 331}, {10, 5, 60, 45}, {366, 286, 416, 326}},
      {"whole picture covers the whole view", 1600, 400, {6, 200, 807, 400}, {0, 0, 1600, 400}, {6, 200, 807, 400}},
      {"reduced", 1601, 401, {6, 200, 807, 401}, {100, 100, 900, 300}, {56, 250, 456, 350}},
      {"one pixel wide picture", 1, 5000, {406, 6, 407, 607}, {0, 0, 1, 5000}, {406, 6, 407, 607}},
      {"1 × 1 picture", 1, 1, {406, 306, 407, 307}, {0, 0, 1, 1}, {406, 306, 407, 307}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Str(ImageToScreen(c.image, c.W, c.H, c.view)), Str(c.screen));
  }
}

TEST(ViewMapping, ScreenToImage) {
  const TRect view{356, 281, 456, 331};
  EXPECT_EQ(Str(ScreenToImage({366, 286, 416, 326}, 100, 50, view)), Str({10, 5, 60, 45}));
  // On a halved view the last included screen pixel maps back to its first picture pixel.
  const TRect reduced{6, 200, 807, 401};
  EXPECT_EQ(Str(ScreenToImage({56, 250, 456, 350}, 1601, 401, reduced)), Str({100, 100, 899, 299}));
}

TEST(ViewMapping, DegenerateSizesDoNotDivideByZero) {
  // A picture one pixel wide drawn one pixel wide: both divisors are zero.
  const TRect view{406, 6, 407, 607};
  EXPECT_EQ(Str(ScreenToImage({406, 6, 407, 607}, 1, 5000, view)), Str({0, 0, 1, 5000}));
  EXPECT_EQ(Str(ScreenToImage({406, 306, 406, 306}, 1, 1, {406, 306, 407, 307})), Str({0, 0, 1, 1}));
}

TEST(DragFrameTest, RatioLockShrinksTowardTheAnchor) {
  const TRect view{6, 6, 807, 607};
  // 4:3 from anchor (500, 400) dragged up-left to (200, 250): 300 × 150 box shrinks to 200 × 150.
  const TRect s = DragFrame({500, 400}, {200, 250}, view, 4, 3);
  EXPECT_EQ(s.Right, 501);
  EXPECT_EQ(s.Bottom, 401);
  EXPECT_EQ(Str(s), Str({300, 250, 501, 401}));
  // Without a ratio the frame is the dragged box.
  EXPECT_EQ(Str(DragFrame({500, 400}, {200, 250}, view, 4, 0)), Str({200, 250, 501, 401}));
}

TEST(StatusLine, SizeFrameAndShotDate) {
  EXPECT_EQ(StatusLineText(640, 480, {10, 20, 110, 70}, ""),
            "画像サイズ(幅,高)= (640, 480)    指定範囲 X,Y (幅,高)= 10, 20 (100, 50)  ");
  EXPECT_EQ(StatusLineText(640, 480, {0, 0, 640, 480}, "2022:09:26 14:05:33"),
            "画像サイズ(幅,高)= (640, 480)    指定範囲 X,Y (幅,高)= 0, 0 (640, 480)  2022:09:26 14:05:33");
}

TEST(ColourReadoutTest, LuminanceOfPrimaries) {
  struct Case {
    TColor c;
    const char *r, *g, *b, *y;
  } cases[] = {
      {clWhite, "R255", "G255", "B255", "Y255"}, {clRed, "R255", "G000", "B000", "Y079"},
      {clLime, "R000", "G255", "B000", "Y143"},  {clBlue, "R000", "G000", "B255", "Y031"},
      {RGB(7, 8, 9), "R007", "G008", "B009", "Y007"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.y);
    const ColourReadout r = ReadoutFor(c.c);
    EXPECT_EQ(r.R, c.r);
    EXPECT_EQ(r.G, c.g);
    EXPECT_EQ(r.B, c.b);
    EXPECT_EQ(r.Y, c.y);
  }
}
