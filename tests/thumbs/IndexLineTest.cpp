// Index lines: the fixed columns counted in Shift-JIS bytes, for fresh lines, folders and pictures.
#include <gtest/gtest.h>

#include <QString>
#include <QStringEncoder>

#include "PictureioThumbs.h"

namespace {

QByteArray ShiftJis(const std::string& text) {
  QStringEncoder sjis("Shift_JIS");
  return sjis.encode(QString::fromStdString(text));
}

std::string Blanks(int n) { return std::string(std::size_t(n), ' '); }

}  // namespace

TEST(SjisWidthTest, CountsShiftJisBytes) {
  struct Case {
    const char* text;
    int width;
  };
  const Case cases[] = {
      {"", 0},
      {"640×480..", 10},     // "×" is one double-byte character
      {"+ｻﾑﾈｲﾙ", 6},         // half-width katakana take one byte each
      {"カメラ", 6},          // full-width: two bytes, though three in UTF-8
      {"撮影日時", 8},
      {"C:\\~", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SjisWidth(c.text), c.width);
    EXPECT_EQ(ShiftJis(c.text).size(), c.width) << "the Shift-JIS encoder counts otherwise";
  }
}

TEST(IndexLineTest, FreshLineIsMinusOneZeroAndSixtyBlanks) {
  const std::string entry = "@/photos/日本/a.jpg";
  const std::string line = FreshIndexLine(entry);
  EXPECT_EQ(line, "   -1    0" + Blanks(60) + entry);
  EXPECT_EQ(IndexLineCell(line), kNoThumb);
  EXPECT_EQ(IndexLineEntry(line), entry);
}

TEST(IndexLineTest, PictureLineColumns) {
  const std::string entry = "@/photos/DSCN0010.jpg";
  const std::string line = ThumbIndexLine(37, "2008:10:22 16:28:39", "640×480..", "COOLPIX P6000", entry);
  EXPECT_EQ(line, "   37    0"
                  "2008:10:22 16:28:39 "
                  "640×480..          "  // ten bytes of text, ten blanks
                  "COOLPIX P6000       " +
                      entry);
  EXPECT_EQ(IndexLineCell(line), 37);
  EXPECT_EQ(SjisPart(line, 11, 20), "2008:10:22 16:28:39 ");
  EXPECT_EQ(SjisPart(line, 31, 20), "640×480..          ");
  EXPECT_EQ(SjisPart(line, 51, 20), "COOLPIX P6000       ");
  EXPECT_EQ(IndexLineEntry(line), entry);
}

TEST(IndexLineTest, WideTextsArePaddedByShiftJisWidth) {
  struct Case {
    const char* model;
    int blanks;
  };
  const Case cases[] = {
      {"カメラ", 14},  // 6 bytes in Shift-JIS (9 in UTF-8, 3 characters)
      {"ｶﾒﾗ", 17},     // 3 bytes in Shift-JIS (9 in UTF-8)
      {"", 20},
      {"EXACTLY-TWENTY-BYTES", 0},
  };
  const std::string entry = "@/写真/カメラ.jpg";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    const std::string line = ThumbIndexLine(5, "", "3000×2000..", c.model, entry);
    EXPECT_EQ(line, "    5    0" + Blanks(20) + "3000×2000.." + Blanks(8) + c.model + Blanks(c.blanks) + entry);
    // In Shift-JIS, the kind character stands at byte 71 (1-based) and the path follows.
    const QByteArray sjis = ShiftJis(line);
    ASSERT_GT(sjis.size(), 71);
    EXPECT_EQ(sjis[70], '@');
    EXPECT_EQ(sjis.mid(71), ShiftJis(entry.substr(1)));
    EXPECT_EQ(IndexLineEntry(line), entry);
    EXPECT_EQ(SjisPart(line, 51, 20), c.model + Blanks(c.blanks));
  }
}

TEST(IndexLineTest, OverlongTextIsCutAtACharacterSoTheEntryKeepsItsPlace) {
  // 24 Shift-JIS bytes; cut after "分", which ends at byte 20.
  const std::string date = "2024年5月6日 7時08分09秒";
  const std::string entry = "@/p/a.bmp";
  const std::string line = ThumbIndexLine(0, date, "1×1", "MODEL-NAME-OF-TWENTY-FOUR", entry);
  EXPECT_EQ(SjisPart(line, 11, 20), "2024年5月6日 7時08分");
  EXPECT_EQ(SjisPart(line, 51, 20), "MODEL-NAME-OF-TWENTY");
  EXPECT_EQ(IndexLineEntry(line), entry);
  EXPECT_EQ(ShiftJis(line)[70], '@');
}

TEST(IndexLineTest, InvalidUtf8InATextBecomesAReplacementCharacter) {
  // A model copied raw from EXIF may hold Latin-1 bytes.
  const std::string line = ThumbIndexLine(1, "", "", "Caf\xE9", "@/p/a.jpg");
  EXPECT_EQ(SjisPart(line, 51, 20), "Caf\xEF\xBF\xBD" + Blanks(15));
  EXPECT_EQ(IndexLineEntry(line), "@/p/a.jpg");
}

TEST(IndexLineTest, EntryBytesAreKeptAsTheyAre) {
  // File names need not be UTF-8; the path after position 71 is never re-encoded.
  const std::string entry = std::string("@/p/\xFF\xFE") + ".bmp";
  EXPECT_EQ(IndexLineEntry(FreshIndexLine(entry)), entry);
  EXPECT_EQ(IndexLineEntry(ThumbIndexLine(3, "x", "1×1", "y", entry)), entry);
}

TEST(ItemTextTest, RowTexts) {
  struct Case {
    const char* name;
    std::string line;
    std::string fileName, kind, info;
  };
  const Case cases[] = {
      {"EXIF thumbnail: the size is padded to ten bytes before the mark",
       ThumbIndexLine(0, "2008:10:22 16:28:39", "640×480..", "COOLPIX P6000", "@/p/DSCN0010.jpg"), "DSCN0010.jpg",
       ".JPG 640×480  +ｻﾑﾈｲﾙ", "2008:10:22 16:28:39 COOLPIX P6000       "},
      {"EXIF size of ten bytes: no padding",
       ThumbIndexLine(0, "", "3000×2000..", "", "@/p/x.jpeg"), "x.jpeg", ".JPEG 3000×2000+ｻﾑﾈｲﾙ", Blanks(40)},
      {"thumbnail entries without pixel size tags",
       ThumbIndexLine(0, "", "0×0..", "", "@/p/y.JPG"), "y.JPG", ".JPG 0×0      +ｻﾑﾈｲﾙ", Blanks(40)},
      {"decoded whole: the size column with its blanks",
       ThumbIndexLine(2, "2008/09/26 11:22:33", "127×64", "", "@/p/b.bmp"), "b.bmp", ".BMP 127×64" + Blanks(13),
       "2008/09/26 11:22:33 " + Blanks(20)},
      {"not made yet", FreshIndexLine("@/p/c.gif"), "c.gif", ".GIF " + Blanks(20), Blanks(40)},
      {"rejected file", ThumbIndexLine(kThumbFailed, "", kThumbReadError, "", "@/p/d.gif"), "d.gif",
       std::string(".GIF ") + kThumbReadError + Blanks(10), Blanks(40)},
      {"folder: the name only", FreshIndexLine("#/p/sub.d"), "sub.d", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TThumbItemText t = ThumbItemText(c.line);
    EXPECT_EQ(t.Name, c.fileName);
    EXPECT_EQ(t.Kind, c.kind);
    EXPECT_EQ(t.Info, c.info);
  }
}
