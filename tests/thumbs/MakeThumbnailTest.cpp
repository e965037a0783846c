// MakeThumbnail: the EXIF thumbnail of a camera file, pictures decoded whole, folder lines,
// and the silver bands ClearUniformBorder paints over an EXIF thumbnail's black bands.
#include <gtest/gtest.h>

#include <cstring>

#include "PictureioThumbs.h"
#include "ThumbHelpers.h"
#include "support/TestFiles.h"

namespace {

std::string Blanks(int n) { return std::string(std::size_t(n), ' '); }

// The EXIF thumbnail of a file, extracted by exiftool and decoded by djpeg.
void ExifThumbnailByTools(TBitmap& bmp, const std::string& file) {
  DecodeWithTool(bmp, "exiftool -b -ThumbnailImage " + Quote(file) + " | djpeg -ppm");
}

void PaintRows(TBitmap& bmp, int y0, int y1, uint8_t value) {
  for (int y = y0; y < y1; ++y) std::memset(bmp.ScanLine(y), value, std::size_t(bmp.Width()) * 4);
}

class MakeThumbnailTest : public ::testing::Test {
 protected:
  // Lists the one entry and makes its thumbnail (cell 0).
  const std::string& MakeOne(const std::string& entry) {
    list.SyncThumbIndex({entry});
    list.MakeThumbnail(0);
    return list.ThumbIndex().front();
  }
  void ExpectCell(const TBitmap& picture, int tolerance) {
    TBitmap expected;
    ExpectedCell(expected, picture);
    std::string where;
    EXPECT_LE(CellDifference(list.ThumbSheet(), 0, expected, &where), tolerance) << where;
  }

  ScopedScriptedUi ui;
  TempDir dir;
  TThumbList list;
};

}  // namespace

TEST_F(MakeThumbnailTest, CameraFileUsesItsExifThumbnail) {
  // 640 x 480 photo with a 160 x 120 thumbnail and no bands (pixel (1, 1) differs from (0, 0)).
  const std::string file = SharedTestData("exif/gps/DSCN0010.jpg");
  const std::string& line = MakeOne("@" + file);
  EXPECT_EQ(line, "    0    0"
                  "2008:10:22 16:28:39 "
                  "640×480..          "
                  "COOLPIX P6000       @" +
                      file);
  EXPECT_EQ(ThumbItemText(line).Kind, ".JPG 640×480  +ｻﾑﾈｲﾙ");
  TBitmap thumb;
  ExifThumbnailByTools(thumb, file);
  ASSERT_EQ(thumb.Width(), 160);
  ASSERT_EQ(thumb.Height(), 120);
  ExpectCell(thumb, 0);
  EXPECT_TRUE(ui.ui.Messages.empty());
}

TEST_F(MakeThumbnailTest, BlackBandsOfTheExifThumbnailTurnSilver) {
  // A 1600 x 900 photo: its 160 x 120 thumbnail carries black bands of 15 rows. The corner
  // diagonals are exactly (0, 0, 0) for 8 steps, so 9 rows at the top and bottom become silver;
  // the left edge of the middle row is not black, so no side bands.
  const std::string file = SharedTestData("exif/tests/45-gps_ifd.jpg");
  const std::string& line = MakeOne("@" + file);
  EXPECT_EQ(SjisPart(line, 31, 20), "1600×900.." + Blanks(9));
  EXPECT_EQ(SjisPart(line, 11, 20), "2012:06:23 06:55:49 ");
  EXPECT_EQ(SjisPart(line, 51, 20), "Gran Turismo 5" + Blanks(6));
  TBitmap thumb;
  ExifThumbnailByTools(thumb, file);
  ASSERT_EQ(thumb.Height(), 120);
  EXPECT_EQ(PixelAt(thumb, 0, 8), RGB(4, 0, 0)) << "the bands are not exactly black past row 8";
  PaintRows(thumb, 0, 9, 192);
  PaintRows(thumb, 111, 120, 192);
  ExpectCell(thumb, 0);
  // The fitted thumbnail (64 x 48 from row 8 of the cell) shows silver in its first 4 rows.
  const TBitmap& sheet = list.ThumbSheet();
  for (int y = 8; y < 12; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(PixelAt(sheet, x, y), clSilver) << x << ", " << y;
  EXPECT_NE(PixelAt(sheet, 32, 12), clSilver);
}

TEST_F(MakeThumbnailTest, DamagedExifThumbnailFallsBackToTheWholePhoto) {
  // The thumbnail entries point at bytes that are no JPEG; the photo itself is fine.
  const std::string file = SharedTestData("exif/tests/87_OSError.jpg");
  const std::string& line = MakeOne("@" + file);
  EXPECT_EQ(IndexLineCell(line), 0);
  EXPECT_EQ(SjisPart(line, 31, 20), "1488×2240" + Blanks(10));
  EXPECT_EQ(SjisPart(line, 11, 20), "2005:12:14 14:39:47 ");
  EXPECT_TRUE(ui.ui.Messages.empty());
  TBitmap photo;
  DecodeWithTool(photo, "djpeg -ppm " + Quote(file));
  ExpectCell(photo, 2);
}

TEST_F(MakeThumbnailTest, PicturesWithoutExifThumbnailAreDecodedWhole) {
  struct Case {
    const char* source;
    const char* name;  // a dated name gives a shot date that does not depend on the file time
    const char* size;
    const char* shotDate;
    const char* tool;
    int tolerance;
  };
  const Case cases[] = {
      {"bmp/g/pal8.bmp", "20080926-112233.bmp", "127×64", "2008/09/26 11:22:33", "convert %s ppm:-", 0},
      {"gif/giflib/pic/porsche.gif", "20080926-112234.GIF", "320×200", "2008/09/26 11:22:34", "convert %s ppm:-", 0},
      {"jpeg/testorig.jpg", "20080926-112235.jpg", "227×149", "2008/09/26 11:22:35", "djpeg -ppm %s", 2},
      // An EXIF block without thumbnail entries; its pixel size tags say 1344 x 1024, the
      // picture is 672 x 512.
      {"exif/exif-org/sony-d700.jpg", "d700.jpg", "672×512", "1998:12:01 14:22:36", "djpeg -ppm %s", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = dir.File(c.name);
    WriteAll(file, ReadAll(SharedTestData(c.source)));
    const std::string& line = MakeOne("@" + file);
    EXPECT_EQ(IndexLineCell(line), 0);
    EXPECT_EQ(SjisPart(line, 31, 20), c.size + Blanks(20 - SjisWidth(c.size)));
    EXPECT_EQ(SjisPart(line, 11, 20), c.shotDate + Blanks(20 - SjisWidth(c.shotDate)));
    EXPECT_EQ(ThumbItemText(line).Kind.find("ｻﾑﾈｲﾙ"), std::string::npos);
    TBitmap picture;
    std::string command = c.tool;
    command.replace(command.find("%s"), 2, Quote(file));
    DecodeWithTool(picture, command);
    ExpectCell(picture, c.tolerance);
  }
  EXPECT_TRUE(ui.ui.Messages.empty());
}

TEST_F(MakeThumbnailTest, PictureLineByteForByte) {
  const std::string file = dir.File("20080926-112233.bmp");
  WriteAll(file, ReadAll(SharedTestData("bmp/g/pal8.bmp")));
  EXPECT_EQ(MakeOne("@" + file), "    0    0"
                                 "2008/09/26 11:22:33 "
                                 "127×64             " +
                                     Blanks(20) + "@" + file);
}

TEST_F(MakeThumbnailTest, FolderLineGetsACellAndNothingElse) {
  const std::string entry = "#" + dir.File("sub folder");
  list.SyncThumbIndex({entry, "@" + dir.File("a.bmp")});
  list.MakeThumbnail(0);
  EXPECT_EQ(list.ThumbIndex()[0], "    0    0" + Blanks(60) + entry);
  EXPECT_EQ(list.CellUsed(), (std::vector<uint8_t>{1, 0, 0}));
  EXPECT_EQ(list.ThumbSheet().Width(), 0) << "nothing is drawn for a folder";
}

TEST(ClearUniformBorderTest, Bands) {
  // A w x h picture, black with an inner rectangle of another colour.
  struct Case {
    const char* name;
    int w, h;
    TRect inner;    // differently coloured
    int top, left;  // expected band widths (0: none)
  };
  const Case cases[] = {
      // Two black rows: two steps, bands of three rows reaching into the picture.
      {"letterbox: top and bottom", 16, 12, {0, 2, 16, 10}, 3, 0},
      {"pillarbox: left and right", 16, 12, {2, 0, 14, 12}, 0, 3},
      {"frame all round", 16, 16, {2, 2, 14, 14}, 3, 3},
      {"far corner differs: no band", 16, 12, {1, 1, 16, 12}, 0, 0},
      {"the reference corner differs from the others", 16, 12, {0, 0, 1, 1}, 0, 0},
      // All black: the steps stop at a quarter of the shorter side (2), bands of 3.
      {"uniform picture", 40, 8, {0, 0, 0, 0}, 3, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap bmp;
    bmp.SetPixelFormat(pf32bit);
    bmp.Canvas().Brush.Color = RGB(0, 0, 0);
    bmp.SetSize(c.w, c.h);
    bmp.Canvas().Brush.Color = RGB(10, 200, 30);
    bmp.Canvas().FillRect(c.inner);
    TBitmap before;
    before.Assign(bmp);
    ClearUniformBorder(bmp);
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) {
        const bool band = y < c.top || y >= c.h - c.top || x < c.left || x >= c.w - c.left;
        const TColor want = band ? clSilver : PixelAt(before, x, y);
        ASSERT_EQ(PixelAt(bmp, x, y), want) << "at " << x << ", " << y;
      }
  }
}

TEST(ClearUniformBorderTest, TheFourthByteCounts) {
  // All black, but (1, 1) differs in X: one step (n = 1), bands of 2 instead of 4.
  TBitmap bmp;
  bmp.SetPixelFormat(pf32bit);
  bmp.Canvas().Brush.Color = RGB(0, 0, 0);
  bmp.SetSize(16, 12);
  bmp.ScanLine(1)[1 * 4 + kX] = 1;
  ClearUniformBorder(bmp);
  EXPECT_EQ(PixelAt(bmp, 1, 1), clSilver);
  EXPECT_EQ(PixelAt(bmp, 2, 2), clBlack);
  EXPECT_EQ(PixelAt(bmp, 13, 9), clBlack);
  EXPECT_EQ(PixelAt(bmp, 14, 10), clSilver);
}

TEST(ClearUniformBorderTest, EmptyAndTinyPictures) {
  for (const int side : {0, 1, 3}) {
    SCOPED_TRACE(side);
    TBitmap bmp;
    bmp.SetPixelFormat(pf32bit);
    bmp.Canvas().Brush.Color = RGB(0, 0, 0);
    bmp.SetSize(side, side);
    ClearUniformBorder(bmp);  // fewer than one step: nothing to paint
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) ASSERT_EQ(PixelAt(bmp, x, y), clBlack);
  }
}
