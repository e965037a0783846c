// Free text at the frame and the shot-date stamp.
#include <gtest/gtest.h>

#include "Imgtools.h"
#include "Pixels.h"

namespace {

constexpr uint32_t kBack = 0x00806040;

TEST(InsertText, FontHeightFromTheFrameAndGlyphsOnlyInsideTheCell) {
  struct Case {
    const char* name;
    TRect frame;
    int height;
    int w, h;  // picture
  };
  const Case cases[] = {
      {"3 pixels high: at least 8", {5, 6, 40, 9}, 8, 120, 60},
      {"30 pixels high", {4, 2, 60, 32}, 30, 120, 60},
      {"2000 pixels high: at most 1024", {0, 0, 10, 2000}, 1024, 700, 1100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    MakeFlat(b, c.w, c.h, kBack);
    InsertText(b, c.frame, "Ab字", RGB(255, 255, 0));
    TCanvas& cv = b.Canvas();
    EXPECT_EQ(cv.Font.Height, c.height);
    EXPECT_EQ(cv.Font.Name, "ＭＳ Ｐゴシック");
    EXPECT_EQ(cv.Font.Color, RGB(255, 255, 0));
    EXPECT_EQ(cv.Brush.Style, bsSolid);
    const int w = cv.TextWidth("Ab字");
    int inked = 0;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) {
        const bool cell = x >= c.frame.Left && x < c.frame.Left + w && y >= c.frame.Top && y < c.frame.Top + c.height;
        if ((Px(b, x, y) & 0xFFFFFF) != kBack) {
          ++inked;
          EXPECT_TRUE(cell) << "ink at " << x << ", " << y;
        }
      }
    EXPECT_GT(inked, 0);
  }
}

TEST(InsertText, KeepsTheFontColourWhenNoneIsChosen) {
  TBitmap b;
  MakeFlat(b, 60, 30, kBack);
  b.Canvas().Font.Color = clRed;
  InsertText(b, {2, 2, 50, 22}, "Hi", std::nullopt);
  EXPECT_EQ(b.Canvas().Font.Color, clRed);
  bool red = false;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) red |= (Px(b, x, y) & 0xFFFFFF) == 0x00FF0000;
  EXPECT_TRUE(red);
}

// What the stamp must look like, from the figures worked out by hand for each size.
void ExpectedStamp(TBitmap& want, const std::string& shown, int fh, int d, int y, TColor outline, bool soften) {
  TCanvas& c = want.Canvas();
  c.Font.Name = "ＭＳ ゴシック";
  c.Font.Height = fh;
  c.Font.Bold = false;
  const int w1 = c.TextWidth("@@@" + shown), w2 = c.TextWidth("@@@");
  const int x = want.Width() - w1;
  DrawOutlinedText(c, x, y, clWhite, outline, fh, d, shown);
  if (soften) Convolve3x3({want, {x - d, y - d, x + w1 + d, y + w2 + d}, false, false}, kStampSoftenKernel);
}

TEST(StampShotDate, HeightOutlineAndSofteningBySize) {
  struct Case {
    const char* name;
    int w, h;
    int fh, d, y;
    TColor outline;
    bool soften;
  };
  const Case cases[] = {
      {"200 x 150: s = 3 raised to 6, fh 12, dark grey, no softening", 200, 150, 12, 1, 132, 0x404040, false},
      {"640 x 480: fh 24, black, softened", 640, 480, 24, 1, 444, clBlack, true},
      {"4000 x 3000: fh 150, d 4, y = 3000 - 225", 4000, 3000, 150, 4, 2775, clBlack, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b, want;
    MakeFlat(b, c.w, c.h, kBack);
    MakeFlat(want, c.w, c.h, kBack);
    b.Canvas().Font.Bold = true;  // the stamp is always regular
    StampShotDate(b, "2022:09:26 14:05:33");
    EXPECT_EQ(b.Canvas().Font.Height, c.fh);
    EXPECT_EQ(b.Canvas().Font.Name, "ＭＳ ゴシック");
    EXPECT_FALSE(b.Canvas().Font.Bold);
    ExpectedStamp(want, "2022.09.26 14:05:33", c.fh, c.d, c.y, c.outline, c.soften);
    EXPECT_TRUE(SamePixels(b, want, 0x00FFFFFF));
  }
}

TEST(StampShotDate, SeparatorsAndLength) {
  struct Case {
    const char* name;
    const char* text;
    const char* shown;
  };
  const Case cases[] = {
      {"date and time", "2022:09:26 14:05:33", "2022.09.26 14:05:33"},
      {"date alone", "2022:09:26", "2022.09.26"},
      {"slashes stay", "2022/09/26 14:05:33", "2022/09/26 14:05:33"},
      {"only the first 19 characters", "2022:09:26 14:05:33 and more", "2022.09.26 14:05:33"},
      {"short text", "12:3", "12:3"},
      {"characters, not bytes", "２０２２:09:26 14:05:33XY", "２０２２.09.26 14:05:33"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b, want;
    MakeFlat(b, 640, 480, kBack);
    MakeFlat(want, 640, 480, kBack);
    StampShotDate(b, c.text);
    ExpectedStamp(want, c.shown, 24, 1, 444, clBlack, true);
    EXPECT_TRUE(SamePixels(b, want, 0x00FFFFFF));
  }
}

TEST(StampShotDate, ColoursOfTheStamp) {
  // Small pictures: white text in a dark grey outline on mid grey; no channel goes below the
  // outline's 0x40, so nothing is black.
  TBitmap b;
  MakeFlat(b, 200, 150, Grey(0x80));
  StampShotDate(b, "2022:09:26");
  int darkest = 255, lightest = 0;
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 200; ++x) {
      const uint32_t p = Px(b, x, y);
      for (int c = 0; c < 3; ++c) {
        darkest = std::min<int>(darkest, (p >> (8 * c)) & 255);
        lightest = std::max<int>(lightest, (p >> (8 * c)) & 255);
      }
    }
  EXPECT_EQ(darkest, 0x40);
  EXPECT_GE(lightest, 0xC0);
  // The stamp sits at the bottom: nothing above its outline, y = 132 - 1.
  for (int y = 0; y < 131; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(Px(b, x, y), Grey(0x80)) << x << ", " << y;
}

}  // namespace
