// The list's index and sheet over refills, the timer slices and their scan order, remaking after a
// save, files the codec rejects, and the sheet dump.
#include <gtest/gtest.h>

#include <cstdio>

#include "PictureioThumbs.h"
#include "ThumbHelpers.h"
#include "platform/BmpCodec.h"
#include "platform/Files.h"
#include "support/TestFiles.h"

namespace {

TColor ColourOf(int i) { return RGB(uint8_t(i * 6), uint8_t(255 - i * 5), uint8_t(i * 3 + 40)); }

std::string PictureName(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "p%02d.bmp", i);
  return name;
}

// A folder of n small one-coloured BMP files p00.bmp, p01.bmp, …; picture i in ColourOf(i).
class FolderTest : public ::testing::Test {
 protected:
  void MakePictures(int n) {
    for (int i = 0; i < n; ++i) WriteSolidBmp(dir.File(PictureName(i)), 8, 6, ColourOf(i));
  }
  std::vector<std::string> Entries(int n) const {
    std::vector<std::string> entries;
    for (int i = 0; i < n; ++i) entries.push_back("@" + dir.File(PictureName(i)));
    return entries;
  }
  // The colour in the middle of line k's cell.
  TColor CellColour(int k) const {
    const int cell = IndexLineCell(list.ThumbIndex()[std::size_t(k)]);
    return PixelAt(list.ThumbSheet(), (cell % 16) * 64 + 32, (cell / 16) * 64 + 32);
  }
  void ExpectEveryCellShowsItsPicture(const std::vector<int>& pictureOfLine) {
    for (std::size_t k = 0; k < pictureOfLine.size(); ++k) {
      SCOPED_TRACE("line " + std::to_string(k));
      ASSERT_GE(IndexLineCell(list.ThumbIndex()[k]), 0);
      EXPECT_EQ(CellColour(int(k)), ColourOf(pictureOfLine[k]));
    }
  }

  ScopedSteppingUi ui;
  TempDir dir;
  TThumbList list;
};

}  // namespace

TEST(InitThumbsTest, EmptyIndexAndASheetOf1024Square) {
  TThumbList list;
  EXPECT_TRUE(list.ThumbIndex().empty());
  EXPECT_EQ(list.ThumbSheet().Width(), 1024);
  EXPECT_EQ(list.ThumbSheet().Height(), 1024);
  EXPECT_EQ(list.ThumbSheet().PixelFormat(), pf32bit);
}

TEST_F(FolderTest, FortyPicturesFillCellsZeroToThirtyNineInScanOrder) {
  MakePictures(40);
  list.SyncThumbIndex(Entries(40));
  EXPECT_EQ(list.ThumbSheet().Width(), 0) << "another folder: a new, empty sheet";
  EXPECT_EQ(list.CellUsed().size(), 41u);
  list.ThumbFocusIndex = 5;  // scrolled to the top: five rows below the top row
  // Every reading of the clock moves it on 40 ms, from just before the counter wraps: a slice
  // ends after its third step (120 ms > 100 ms).
  ui.ui.Tick = 0xFFFFFFC0u;
  ui.ui.Step = 40;

  EXPECT_EQ(list.MakeSomeThumbnails(), 3);  // forward from line 5
  std::vector<int> cells(40, kNoThumb);
  cells[5] = 0, cells[6] = 1, cells[7] = 2;
  EXPECT_EQ(Cells(list), cells);

  EXPECT_EQ(list.MakeSomeThumbnails(), 2);  // backward: line 5 is made, then 4 and 3
  cells[4] = 3, cells[3] = 4;
  EXPECT_EQ(Cells(list), cells);

  ui.ui.Step = 0;
  EXPECT_EQ(list.MakeSomeThumbnails(), 35);  // forward again, wrapping past the end
  for (int k = 8; k < 40; ++k) cells[std::size_t(k)] = k - 3;
  cells[0] = 37, cells[1] = 38, cells[2] = 39;
  EXPECT_EQ(Cells(list), cells);

  EXPECT_EQ(list.MakeSomeThumbnails(), 0);
  EXPECT_EQ(list.ThumbSheet().Width(), 1024);
  EXPECT_EQ(list.ThumbSheet().Height(), 192) << "sheet rows 0 to 2";
  std::vector<int> same(40);
  for (int k = 0; k < 40; ++k) same[std::size_t(k)] = k;
  ExpectEveryCellShowsItsPicture(same);
  EXPECT_TRUE(ui.ui.Messages.empty());
}

TEST_F(FolderTest, FocusPastTheEndWrapsAndANegativeFocusCountsAsZero) {
  MakePictures(4);
  ui.ui.Step = 60;  // two steps per slice
  struct Case {
    int focus;
    std::vector<int> cells;
  };
  const Case cases[] = {{-3, {0, 1, -1, -1}}, {6, {-1, -1, 0, 1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.focus);
    TThumbList fresh;
    fresh.SyncThumbIndex(Entries(4));
    fresh.ThumbFocusIndex = c.focus;
    EXPECT_EQ(fresh.MakeSomeThumbnails(), 2);
    EXPECT_EQ(Cells(fresh), c.cells);
  }
}

TEST_F(FolderTest, RefillOfTheSameFolderKeepsTheThumbnailsOfKeptEntries) {
  MakePictures(12);
  list.SyncThumbIndex(Entries(12));
  list.MakeSomeThumbnails();
  const std::vector<std::string> before = list.ThumbIndex();

  // p03 deleted, p07 renamed to q07.bmp, n00.bmp added before all others.
  std::rename(dir.File("p07.bmp").c_str(), dir.File("q07.bmp").c_str());
  std::remove(dir.File("p03.bmp").c_str());
  WriteSolidBmp(dir.File("n00.bmp"), 8, 6, ColourOf(30));
  std::vector<std::string> entries = {"@" + dir.File("n00.bmp")};
  std::vector<int> pictureOfLine = {30};
  for (int i = 0; i < 12; ++i)
    if (i != 3 && i != 7) entries.push_back("@" + dir.File(PictureName(i))), pictureOfLine.push_back(i);
  entries.push_back("@" + dir.File("q07.bmp"));
  pictureOfLine.push_back(7);
  list.SyncThumbIndex(entries);

  ASSERT_EQ(list.ThumbIndex().size(), 12u);
  EXPECT_EQ(list.ThumbIndex()[0], FreshIndexLine(entries[0]));
  EXPECT_EQ(list.ThumbIndex()[11], FreshIndexLine(entries[11]));
  for (std::size_t k = 1; k <= 10; ++k) {
    const int i = pictureOfLine[k];
    EXPECT_EQ(list.ThumbIndex()[k], before[std::size_t(i)]) << "line " << k << " kept whole";
  }
  std::vector<uint8_t> used(13, 1);
  used[3] = used[7] = used[12] = 0;  // the cells of the deleted and the renamed picture are free
  EXPECT_EQ(list.CellUsed(), used);
  EXPECT_EQ(list.ThumbSheet().Height(), 64) << "the sheet is kept";

  EXPECT_EQ(list.MakeSomeThumbnails(), 2);
  EXPECT_EQ(IndexLineCell(list.ThumbIndex()[0]), 3);
  EXPECT_EQ(IndexLineCell(list.ThumbIndex()[11]), 7);
  ExpectEveryCellShowsItsPicture(pictureOfLine);
}

TEST_F(FolderTest, EntriesDifferingOnlyInCaseAreDifferentFiles) {
  WriteSolidBmp(dir.File("a.bmp"), 8, 6, ColourOf(1));
  list.SyncThumbIndex({"@" + dir.File("a.bmp")});
  list.MakeSomeThumbnails();
  WriteSolidBmp(dir.File("A.bmp"), 8, 6, ColourOf(2));
  list.SyncThumbIndex({"@" + dir.File("A.bmp"), "@" + dir.File("a.bmp")});
  EXPECT_EQ(Cells(list), (std::vector<int>{kNoThumb, 0}));
  list.MakeSomeThumbnails();
  ExpectEveryCellShowsItsPicture({2, 1});
}

TEST_F(FolderTest, AnotherFolderOrAnEmptyListStartsOver) {
  MakePictures(3);
  const std::string sub = dir.File("sub");
  ASSERT_TRUE(files::CreateDir(sub));
  WriteSolidBmp(sub + "/p00.bmp", 8, 6, ColourOf(9));
  struct Case {
    const char* name;
    std::vector<std::string> between;  // the list shown before the folder is listed again
  };
  const Case cases[] = {
      {"a sub-folder", {"@" + sub + "/p00.bmp"}},
      {"the empty list of a batch window", {}},
      // The folder key includes the kind character.
      {"the same folder beginning with a folder entry", {"#" + sub, "@" + dir.File("p00.bmp")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    list.SyncThumbIndex(Entries(3));
    list.MakeSomeThumbnails();
    for (const int cell : Cells(list)) ASSERT_GE(cell, 0);
    list.SyncThumbIndex(c.between);
    EXPECT_EQ(list.ThumbSheet().Width(), 0);
    EXPECT_EQ(list.ThumbSheet().Height(), 0);
    EXPECT_EQ(list.CellUsed(), std::vector<uint8_t>(c.between.size() + 1, 0));
    for (std::size_t k = 0; k < c.between.size(); ++k) EXPECT_EQ(list.ThumbIndex()[k], FreshIndexLine(c.between[k]));
    list.SyncThumbIndex(Entries(3));
    EXPECT_EQ(Cells(list), std::vector<int>(3, kNoThumb)) << "back in the folder: made again";
  }
}

TEST_F(FolderTest, RefreshAfterASaveRemakesInTheSameCell) {
  MakePictures(5);
  list.SyncThumbIndex(Entries(5));
  list.ThumbFocusIndex = 2;
  list.MakeSomeThumbnails();
  const std::vector<int> cells = Cells(list);
  WriteSolidBmp(dir.File("p01.bmp"), 20, 10, ColourOf(20));
  list.RefreshThumbOf(dir.File("p01.bmp"));
  EXPECT_EQ(Cells(list), cells);
  EXPECT_EQ(CellColour(1), ColourOf(20));
  EXPECT_EQ(SjisPart(list.ThumbIndex()[1], 31, 20), "20×10" + std::string(14, ' '));
  // Names that are not listed change nothing.
  const std::vector<std::string> index = list.ThumbIndex();
  list.RefreshThumbOf(dir.File("P01.BMP"));
  list.RefreshThumbOf(dir.File("other.bmp"));
  list.RefreshThumbOf("");
  EXPECT_EQ(list.ThumbIndex(), index);
  EXPECT_TRUE(ui.ui.Messages.empty());
}

TEST_F(FolderTest, RejectedFilesAreReportedOnceAndNotTriedAgain) {
  WriteSolidBmp(dir.File("a.bmp"), 8, 6, ColourOf(1));
  WriteText(dir.File("b.gif"), "GIF89a this is no picture");
  WriteAll(dir.File("c.jpg"), {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x04, 0x01, 0x02, 0xFF, 0xD9});
  WriteText(dir.File("d.bmp"), "BM cut short");
  std::vector<std::string> entries;
  for (const char* name : {"a.bmp", "b.gif", "c.jpg", "d.bmp"}) entries.push_back("@" + dir.File(name));
  list.SyncThumbIndex(entries);

  EXPECT_EQ(list.MakeSomeThumbnails(), 4) << "rejected lines are rewritten too, so the rows repaint";
  ASSERT_EQ(ui.ui.Messages.size(), 1u);
  const ScriptedUi::Message& m = ui.ui.Messages.front();
  EXPECT_EQ(m.Kind, mtError);
  EXPECT_EQ(m.Text.rfind("サムネイルを作れません．\n", 0), 0u) << m.Text;
  EXPECT_EQ(m.Text.find(dir.File("a.bmp")), std::string::npos);
  for (const char* name : {"b.gif", "c.jpg", "d.bmp"}) EXPECT_NE(m.Text.find(dir.File(name)), std::string::npos) << name;

  EXPECT_EQ(Cells(list), (std::vector<int>{0, kThumbFailed, kThumbFailed, kThumbFailed}));
  EXPECT_EQ(list.CellUsed(), (std::vector<uint8_t>{1, 0, 0, 0, 0})) << "no cell is held for a rejected file";
  EXPECT_EQ(list.ThumbIndex()[1], ThumbIndexLine(kThumbFailed, "", kThumbReadError, "", entries[1]));
  EXPECT_EQ(ThumbItemText(list.ThumbIndex()[2]).Kind, std::string(".JPG ") + kThumbReadError + "          ");

  for (int tick = 0; tick < 3; ++tick) EXPECT_EQ(list.MakeSomeThumbnails(), 0);
  list.SyncThumbIndex(entries);  // a refill of the folder keeps the marks
  EXPECT_EQ(list.MakeSomeThumbnails(), 0);
  EXPECT_EQ(ui.ui.Messages.size(), 1u);

  // Saved again as a real picture, the file gets a thumbnail.
  WriteSolidBmp(dir.File("d.bmp"), 8, 6, ColourOf(4));
  list.RefreshThumbOf(dir.File("d.bmp"));
  EXPECT_EQ(IndexLineCell(list.ThumbIndex()[3]), 1);
  EXPECT_EQ(CellColour(3), ColourOf(4));
  // Remaking a still broken file on request says so, once.
  list.RefreshThumbOf(dir.File("b.gif"));
  EXPECT_EQ(ui.ui.Messages.size(), 2u);
  EXPECT_EQ(IndexLineCell(list.ThumbIndex()[1]), kThumbFailed);
}

TEST_F(FolderTest, SaveThumbSheetWritesTheCellsMadeSoFar) {
  MakePictures(3);
  list.SyncThumbIndex(Entries(3));
  list.MakeSomeThumbnails();
  const std::string program = dir.File("program"), data = dir.File("data");
  ASSERT_TRUE(files::CreateDir(program));
  ASSERT_TRUE(files::CreateDir(data));
  WriteText(program + "/@BmpList.bmp", "an earlier dump");

  EXPECT_EQ(list.SaveThumbSheet(program, data), program + "/@BmpList.bmp");
  // Read back by ImageMagick: the sheet's size and the middle of cell 2.
  int status = -1;
  const std::string info =
      RunCommand("identify -format '%w %h %[pixel:p{160,32}]' " + Quote(program + "/@BmpList.bmp"), &status);
  EXPECT_EQ(status, 0);
  const TColor c = ColourOf(2);
  char want[64];
  std::snprintf(want, sizeof want, "192 64 srgb(%d,%d,%d)", GetRValue(c), GetGValue(c), GetBValue(c));
  EXPECT_EQ(info, want);
  EXPECT_FALSE(files::FileExists(data + "/@BmpList.bmp"));
  EXPECT_TRUE(ui.ui.Messages.empty());
}

TEST_F(FolderTest, SaveThumbSheetFallsBackToTheDataFolder) {
  const std::string data = dir.File("data");
  ASSERT_TRUE(files::CreateDir(data));
  const std::string missing = dir.File("no such folder");
  EXPECT_EQ(list.SaveThumbSheet(missing, data), data + "/@BmpList.bmp");
  TBitmap back;
  back.LoadFromFile(data + "/@BmpList.bmp");
  EXPECT_EQ(back.Width(), 1024);
  EXPECT_EQ(back.Height(), 1024);
  EXPECT_TRUE(ui.ui.Messages.empty());

  EXPECT_EQ(list.SaveThumbSheet(missing, dir.File("nor this one")), "");
  ASSERT_EQ(ui.ui.Messages.size(), 1u);
  EXPECT_EQ(ui.ui.Messages[0].Kind, mtError);
  EXPECT_EQ(ui.ui.Messages[0].Text.rfind("保存できません: @BmpList.bmp\n", 0), 0u) << ui.ui.Messages[0].Text;
  EXPECT_NE(ui.ui.Messages[0].Text.find("no such folder"), std::string::npos);
}

TEST_F(FolderTest, AFolderTooBigForTheSheetMakesNoThumbnails) {
  // 70000 entries would need a sheet of 1024 x 280064 pixels, past the largest bitmap: the rows
  // stay empty instead of every tick failing.
  std::vector<std::string> entries;
  for (int i = 0; i < 70000; ++i) entries.push_back("@" + dir.File("p" + std::to_string(i) + ".bmp"));
  list.SyncThumbIndex(entries);
  EXPECT_EQ(list.MakeSomeThumbnails(), 0);
  EXPECT_EQ(IndexLineCell(list.ThumbIndex()[0]), kNoThumb);
  EXPECT_TRUE(ui.ui.Messages.empty());
}
