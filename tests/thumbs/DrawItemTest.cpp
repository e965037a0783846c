// DrawThumbItem on a bitmap's canvas: the framed cell, the folder picture, the texts in their
// colours, and a row that is not in the index.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "PictureioThumbs.h"
#include "ThumbHelpers.h"
#include "support/TestFiles.h"

namespace {

constexpr TColor kBackground = RGB(194, 208, 239);
constexpr TColor kPicture = RGB(200, 40, 20);

// Whether the area shows text of that colour over the background: a pixel at least half way
// from the background to the colour, in the same proportion on every channel (antialiased
// text blends its edges and thin strokes into the background).
bool ShowsText(const TBitmap& bmp, const TRect& area, TColor colour, TColor background) {
  const int c[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
  const int b[3] = {GetRValue(background), GetGValue(background), GetBValue(background)};
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x) {
      const TColor p = PixelAt(bmp, x, y);
      const int v[3] = {GetRValue(p), GetGValue(p), GetBValue(p)};
      double lo = 2, hi = -1;
      bool fits = true;
      for (int i = 0; i < 3; ++i) {
        if (c[i] == b[i]) {
          fits = fits && std::abs(v[i] - b[i]) <= 2;
          continue;
        }
        const double t = double(v[i] - b[i]) / (c[i] - b[i]);
        lo = std::min(lo, t);
        hi = std::max(hi, t);
      }
      if (fits && lo >= 0.5 && hi <= 1.02 && hi - lo <= 0.1) return true;
    }
  return false;
}

class DrawItemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteSolidBmp(dir.File("20080926-112233.bmp"), 64, 64, kPicture);
    list.SyncThumbIndex({"#" + dir.File("sub"), "@" + dir.File("20080926-112233.bmp"), "@" + dir.File("later.jpg")});
    list.MakeThumbnail(1);
    DrawFolderPicture(folder);
    row.SetPixelFormat(pf32bit);
    row.Canvas().Brush.Color = clWhite;
    row.SetSize(300, 80);
  }
  // Draws line k into the row rectangle (10, 6)-(290, 74) with the list's brush.
  void Draw(int k, bool selected, TColor brush = kBackground) {
    background = brush;
    TCanvas& c = row.Canvas();
    c.Brush.Color = brush;
    c.Brush.Style = bsSolid;
    list.DrawThumbItem(c, k, rect, TOwnerDrawState{selected}, folder);
  }
  bool Shows(const TRect& area, TColor colour) const { return ShowsText(row, area, colour, background); }
  // Areas of the three text lines.
  TRect NameArea() const { return {rect.Left + 70, rect.Top + 6, rect.Right, rect.Top + 22}; }
  TRect KindArea() const { return {rect.Left + 78, rect.Top + 28, rect.Right, rect.Top + 40}; }
  TRect InfoArea() const { return {rect.Left + 78, rect.Top + 44, rect.Right, rect.Top + 56}; }

  ScopedScriptedUi ui;
  TempDir dir;
  TThumbList list;
  TBitmap folder, row;
  const TRect rect{10, 6, 290, 74};
  TColor background = kBackground;
};

}  // namespace

TEST(FolderPictureTest, SixtyFourSquareOnTheListColour) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(3, 3);
  DrawFolderPicture(bmp);
  EXPECT_EQ(bmp.Width(), 64);
  EXPECT_EQ(bmp.Height(), 64);
  EXPECT_EQ(bmp.PixelFormat(), pf32bit);
  EXPECT_EQ(PixelAt(bmp, 0, 0), kBackground);
  EXPECT_EQ(PixelAt(bmp, 63, 63), kBackground);
  EXPECT_NE(PixelAt(bmp, 32, 40), kBackground) << "the folder itself";
}

TEST_F(DrawItemTest, PictureRowShowsItsFramedCellAndTexts) {
  Draw(1, false);
  const int px = rect.Left + 2, py = rect.Top + 2;
  EXPECT_EQ(PixelAt(row, rect.Left, rect.Top), kBackground) << "filled with the canvas's brush";
  EXPECT_EQ(PixelAt(row, rect.Right - 1, rect.Bottom - 1), kBackground);
  EXPECT_EQ(PixelAt(row, rect.Right, rect.Bottom), clWhite) << "nothing outside the row";
  for (int i = -1; i <= 64; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(PixelAt(row, px + i, py - 1), clBlack);
    EXPECT_EQ(PixelAt(row, px + i, py + 64), clBlack);
    EXPECT_EQ(PixelAt(row, px - 1, py + i), clBlack);
    EXPECT_EQ(PixelAt(row, px + 64, py + i), clBlack);
  }
  EXPECT_EQ(PixelAt(row, px - 2, py - 2), kBackground);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(PixelAt(row, px + x, py + y), kPicture) << x << ", " << y;
  EXPECT_TRUE(Shows(NameArea(), clBlack));
  EXPECT_TRUE(Shows(KindArea(), RGB(0, 128, 0)));
  EXPECT_TRUE(Shows(InfoArea(), RGB(0, 128, 0)));
  EXPECT_FALSE(Shows(KindArea(), RGB(255, 128, 255)));
}

TEST_F(DrawItemTest, SelectedRowColours) {
  Draw(1, true, RGB(0, 0, 128));
  EXPECT_EQ(PixelAt(row, rect.Left, rect.Top), RGB(0, 0, 128));
  EXPECT_TRUE(Shows(NameArea(), RGB(255, 128, 255)));
  EXPECT_TRUE(Shows(KindArea(), RGB(170, 255, 170)));
  EXPECT_TRUE(Shows(InfoArea(), RGB(170, 255, 170)));
  EXPECT_FALSE(Shows(NameArea(), RGB(170, 255, 170)));
}

TEST_F(DrawItemTest, RowWithoutThumbnailShowsTheEmptyFrameAndTheName) {
  Draw(2, false);
  const int px = rect.Left + 2, py = rect.Top + 2;
  EXPECT_EQ(PixelAt(row, px - 1, py - 1), clBlack);
  EXPECT_EQ(PixelAt(row, px + 64, py + 64), clBlack);
  EXPECT_EQ(PixelAt(row, px + 32, py + 32), kBackground);
  EXPECT_TRUE(Shows(NameArea(), clBlack));
  EXPECT_TRUE(Shows(KindArea(), RGB(0, 128, 0))) << "the extension is known";
  EXPECT_FALSE(Shows(InfoArea(), RGB(0, 128, 0))) << "no date or model yet";
}

TEST_F(DrawItemTest, FolderRowShowsTheFolderPictureAndItsNameOnly) {
  Draw(0, true, RGB(0, 0, 128));
  const int px = rect.Left + 2, py = rect.Top + 2;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(PixelAt(row, px + x, py + y), PixelAt(folder, x, y)) << x << ", " << y;
  EXPECT_EQ(PixelAt(row, px - 1, py - 1), RGB(0, 0, 128)) << "no frame";
  EXPECT_TRUE(Shows(NameArea(), clBlack)) << "black even when selected";
  EXPECT_FALSE(Shows(KindArea(), RGB(170, 255, 170)));
  EXPECT_FALSE(Shows(InfoArea(), RGB(170, 255, 170)));
}

TEST_F(DrawItemTest, LinesOutsideTheIndexDrawNothing) {
  for (const int k : {-1, 3, 100}) {
    SCOPED_TRACE(k);
    Draw(k, false);
    for (int y = 0; y < row.Height(); ++y)
      for (int x = 0; x < row.Width(); ++x) ASSERT_EQ(PixelAt(row, x, y), clWhite) << x << ", " << y;
  }
}

TEST_F(DrawItemTest, TheCanvasKeepsItsPenBrushAndFont) {
  TCanvas& c = row.Canvas();
  c.Font.Height = 13;
  c.Font.Color = RGB(1, 2, 3);
  c.Pen.Color = RGB(4, 5, 6);
  Draw(1, true, RGB(7, 8, 9));
  EXPECT_EQ(c.Font.Height, 13);
  EXPECT_EQ(c.Font.Color, RGB(1, 2, 3));
  EXPECT_EQ(c.Pen.Color, RGB(4, 5, 6));
  EXPECT_EQ(c.Brush.Color, RGB(7, 8, 9));
  EXPECT_EQ(c.Brush.Style, bsSolid);
}
