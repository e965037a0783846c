// Picture load and save: formats by extension, the three shot-date sources, saving safely,
// the read-only refusal and the overwrite question, and backups of deleted pictures.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>
#include <cstring>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "PictureHelpers.h"
#include "Pictureio.h"
#include "platform/Files.h"
#include "support/ScriptedUi.h"
#include "support/TestFiles.h"

namespace {

void Copy(const std::string& from, const std::string& to) { WriteAll(to, ReadAll(from)); }

// The names in a folder, sorted, each followed by a blank.
std::string Entries(const std::string& dir) {
  std::set<std::string> sorted;
  for (const auto& e : std::filesystem::directory_iterator(dir)) sorted.insert(e.path().filename().string());
  std::string names;
  for (const std::string& n : sorted) names += n + " ";
  return names;
}

// The locale's own short date and long time, as a user's file manager would show them.
std::string LocaleText(const TDateTime& t) {
  const QLocale l = QLocale::system();
  const QDateTime dt(QDate(t.Year, t.Month, t.Day), QTime(t.Hour, t.Minute, t.Second));
  return (l.toString(dt, l.dateFormat(QLocale::ShortFormat)) + " " + l.toString(dt, l.timeFormat(QLocale::LongFormat)))
      .left(20)
      .toStdString();
}

class LoadTest : public ::testing::Test {
 protected:
  // testorig.jpg: 227 x 149, no EXIF block.
  std::string Plain(const std::string& name) {
    const std::string f = dir.File(name);
    Copy(SharedTestData("jpeg/testorig.jpg"), f);
    files::SetFileTime(f, stamp);
    return f;
  }
  TempDir dir;
  ScopedScriptedUi ui;
  const TDateTime stamp{2019, 4, 5, 6, 7, 8};
};

TEST_F(LoadTest, JpegExtensions) {
  struct Case {
    const char* name;
    int width;
  };
  const Case cases[] = {{"photo.JPEG", 227}, {"photo.jpeg", 227}, {"photo.JPG", 227}, {"photo.jpe", 0}, {"photo.png", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap bmp;
    bmp.SetSize(3, 3);
    PictureInfo info;
    LoadPicture(bmp, info, Plain(c.name));
    EXPECT_EQ(bmp.Width(), c.width);
    EXPECT_EQ(bmp.Height(), c.width ? 149 : 0);
    EXPECT_EQ(bmp.PixelFormat(), pf32bit);
    EXPECT_EQ(info.ShotDate, LocaleText(stamp)) << "no EXIF, no dated name: the file time";
  }
  EXPECT_TRUE(ui.ui.Messages.empty());
}

TEST_F(LoadTest, JpegNameWithoutJpegDataGivesAnEmptyPicture) {
  const std::string gif = dir.File("really-a-gif.jpg");
  Copy(SharedTestData("gif/giflib/pic/porsche.gif"), gif);
  TBitmap bmp;
  PictureInfo info;
  LoadPicture(bmp, info, gif);
  EXPECT_TRUE(bmp.Empty());
  LoadPicture(bmp, info, dir.File("missing.jpg"));
  EXPECT_TRUE(bmp.Empty());
  EXPECT_STREQ(info.ShotDate, "") << "a missing file cannot be opened for writing";
  EXPECT_TRUE(ui.ui.Messages.empty());
}

TEST_F(LoadTest, ShotDateFromTheFileName) {
  struct Case {
    const char* name;
    const char* shotDate;  // nullptr: the file time
  };
  const Case cases[] = {
      {"20080926-112233.jpg", "2008/09/26 11:22:33"},
      {"20080926-112233b.jpg", "2008/09/26 11:22:33"},
      {"19800101-000000.jpg", "1980/01/01 00:00:00"},
      {"20991231-235959x.JPG", "2099/12/31 23:59:59"},
      {"20080926_112233.jpg", nullptr},
      {"19791231-235959.jpg", nullptr},
      {"21000101-000000.jpg", nullptr},
      {"20081326-112233.jpg", nullptr},
      {"20080932-112233.jpg", nullptr},
      {"20080926-242233.jpg", nullptr},
      {"20080926-116033.jpg", nullptr},
      {"20080926-112260.jpg", nullptr},
      {"2008092.jpg", nullptr},
      {"IMG_0001.jpg", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap bmp;
    PictureInfo info;
    LoadPicture(bmp, info, Plain(c.name));
    EXPECT_EQ(bmp.Width(), 227);
    EXPECT_EQ(info.ShotDate, c.shotDate ? std::string(c.shotDate) : LocaleText(stamp));
  }
}

TEST_F(LoadTest, ExifDateWinsOverTheName) {
  const std::string f = dir.File("20080926-112233.jpg");
  Copy(SharedTestData("exif/gps/DSCN0010.jpg"), f);
  TBitmap bmp, thumb;
  PictureInfo info;
  LoadPicture(bmp, info, f);
  EXPECT_STREQ(info.ShotDate, "2008:10:22 16:28:39");
  EXPECT_STREQ(info.Model, "COOLPIX P6000");
  EXPECT_EQ(info.ExifWidth, 640u);
  EXPECT_EQ(bmp.Width(), 640);
  EXPECT_EQ(info.ThumbOffsetEntry, 0u) << "no thumbnail asked for";

  info.Thumbnail = &thumb;
  LoadPicture(bmp, info, f);
  EXPECT_EQ(info.Thumbnail, &thumb);
  EXPECT_EQ(info.ThumbOffsetEntry, 4504u);
  EXPECT_EQ(thumb.Width(), 160);
  EXPECT_EQ(thumb.Height(), 120);
}

TEST_F(LoadTest, ReadOnlyFileWithoutDateStaysUndated) {
  const std::string f = Plain("IMG_0002.jpg");
  ReadOnlyGuard guard(f);
  TBitmap bmp;
  PictureInfo info;
  LoadPicture(bmp, info, f);
  EXPECT_EQ(bmp.Width(), 227);
  EXPECT_STREQ(info.ShotDate, "");
}

TEST_F(LoadTest, FileTimeTextIsCutTo20Characters) {
  const std::string text = FileTimeShotDate({2008, 9, 26, 11, 22, 33});
  EXPECT_EQ(text, LocaleText({2008, 9, 26, 11, 22, 33}));
  EXPECT_LE(QString::fromStdString(text).size(), 20);
  EXPECT_NE(text.find("26"), std::string::npos) << text;
}

TEST_F(LoadTest, GifAndBmpArriveAs32Bit) {
  struct Case {
    const char* file;
    int w, h;
  };
  const Case cases[] = {{"gif/giflib/pic/porsche.gif", 320, 200}, {"bmp/g/rgb24.bmp", 127, 64}, {"bmp/g/pal8.bmp", 127, 64}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string f = dir.File(files::ExtractFileName(c.file));
    Copy(SharedTestData(c.file), f);
    TBitmap bmp;
    PictureInfo info;
    LoadPicture(bmp, info, f);
    EXPECT_EQ(bmp.Width(), c.w);
    EXPECT_EQ(bmp.Height(), c.h);
    EXPECT_EQ(bmp.PixelFormat(), pf32bit);
    EXPECT_EQ(XAt(bmp, c.w / 2, c.h / 2), 0);
    const Difference d = Compare(bmp, DecodeWithTool("convert " + Quote(f) + "[0] ppm:-"));
    EXPECT_EQ(d.Max, 0) << Describe(d);
  }
}

TEST_F(LoadTest, CodecErrorsReachTheCaller) {
  const std::string gif = dir.File("broken.gif"), jpg = dir.File("broken.jpg"), bmp = dir.File("broken.bmp");
  WriteAll(gif, {'G', 'I', 'F', '8', '9', 'a', 1});
  WriteAll(jpg, {0xFF, 0xD8, 0xFF, 0xC0, 0x00});
  WriteAll(bmp, {'B', 'M', 1, 2, 3});
  for (const std::string& f : {gif, jpg, bmp, dir.File("missing.gif"), dir.File("missing.bmp")}) {
    SCOPED_TRACE(f);
    TBitmap picture;
    PictureInfo info;
    EXPECT_THROW(LoadPicture(picture, info, f), std::runtime_error);
    EXPECT_TRUE(picture.Empty());
  }
}

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Paint(picture, 61, 37, pf32bit, [](int x, int y) { return RGB(uint8_t(x * 4), uint8_t(y * 6), uint8_t(x ^ y)); });
    for (int y = 0; y < picture.Height(); ++y) picture.ScanLine(y)[kX] = 0x5A;  // a fourth byte to keep
    std::strcpy(info.ShotDate, "2008/09/26 11:22:33");
  }
  void ExpectPictureUnchanged() {
    EXPECT_EQ(picture.PixelFormat(), pf32bit);
    EXPECT_EQ(picture.Width(), 61);
    EXPECT_EQ(XAt(picture, 0, 5), 0x5A);
    EXPECT_EQ(PixelAt(picture, 10, 3), RGB(40, 18, 10 ^ 3));
  }
  TempDir dir;
  ScopedScriptedUi ui;
  TBitmap picture;
  PictureInfo info;
  const TDateTime shot{2008, 9, 26, 11, 22, 32};  // even seconds
};

TEST_F(SaveTest, Bmp32BitPictureBecomes24BitFile) {
  const std::string f = dir.File("out.BMP");
  SavePicture(picture, info, f);
  ExpectPictureUnchanged();
  const auto bytes = ReadAll(f);
  ASSERT_GT(bytes.size(), 30u);
  EXPECT_EQ(bytes[28] | bytes[29] << 8, 24) << "bits per pixel";
  EXPECT_EQ(RunCommand("identify -format '%wx%h %[bit-depth] %[channels]' " + Quote(f)), "61x37 8 srgb");
  const Difference d = Compare(picture, DecodeWithTool("convert " + Quote(f) + " ppm:-"));
  EXPECT_EQ(d.Max, 0) << Describe(d);
  EXPECT_EQ(files::GetFileTime(f), shot);
}

TEST_F(SaveTest, GifOnTheWebPaletteReadBack) {
  const std::string f = dir.File("out.gif");
  SavePicture(picture, info, f);
  ExpectPictureUnchanged();
  EXPECT_EQ(files::GetFileTime(f), shot);
  TBitmap back;
  PictureInfo backInfo;
  LoadPicture(back, backInfo, f);
  ASSERT_EQ(back.Width(), 61);
  auto level = [](uint8_t v) { return uint8_t((v + 25) / 51 * 51); };
  for (int y = 0; y < 37; ++y)
    for (int x = 0; x < 61; ++x) {
      const TColor c = PixelAt(picture, x, y);
      ASSERT_EQ(PixelAt(back, x, y), RGB(level(GetRValue(c)), level(GetGValue(c)), level(GetBValue(c))))
          << x << "," << y;
    }
  const std::string colours = RunCommand("identify -format %k " + Quote(f));
  EXPECT_LE(std::stoi(colours), 216);
}

TEST_F(SaveTest, JpegWithExifAndFileTime) {
  const std::string f = dir.File("out.jpeg");
  std::strcpy(info.Model, "E-P3");
  SavePicture(picture, info, f);
  ExpectPictureUnchanged();
  EXPECT_EQ(files::GetFileTime(f), shot);
  EXPECT_EQ(RunCommand("exiftool -s -s -s -DateTimeOriginal -Model " + Quote(f)), "2008:09:26 11:22:33\n*E-P3\n");
  const Difference d = Compare(picture, DecodeWithTool("djpeg -pnm " + Quote(f)));
  EXPECT_LE(d.Max, 40) << Describe(d);
}

TEST_F(SaveTest, UnknownExtensionIsAnErrorAndWritesNothing) {
  EXPECT_THROW(SavePicture(picture, info, dir.File("out.png")), std::runtime_error);
  EXPECT_EQ(Entries(dir.Path()), "");
}

TEST_F(SaveTest, FailuresLeaveTheOldFileIntact) {
  TBitmap empty;
  for (const char* name : {"old.jpg", "old.gif", "old.bmp"}) {
    SCOPED_TRACE(name);
    const std::string f = dir.File(name);
    WriteText(f, "old contents");
    if (std::string(name) != "old.bmp") {
      EXPECT_THROW(SavePicture(empty, info, f), std::runtime_error) << "the encoder refuses an empty picture";
      EXPECT_EQ(ReadText(f), "old contents");
    }
    {
      // A folder where no temporary file can be made, as on a full or read-only disk.
      ReadOnlyGuard guard(dir.Path());
      EXPECT_THROW(SavePicture(picture, info, f), std::runtime_error);
    }
    EXPECT_EQ(ReadText(f), "old contents");
  }
  EXPECT_EQ(Entries(dir.Path()), "old.bmp old.gif old.jpg ") << "no temporary file is left";
  EXPECT_THROW(SavePicture(picture, info, dir.File("no folder/new.jpg")), std::runtime_error);
}

TEST_F(SaveTest, ConfirmedSaveToANewNameAsksNothing) {
  const std::string f = dir.File("new.bmp");
  SavePictureConfirmed(picture, info, f);
  EXPECT_TRUE(ui.ui.Messages.empty());
  EXPECT_EQ(ui.ui.Beeps, 0);
  EXPECT_TRUE(files::FileExists(f));
}

TEST_F(SaveTest, ConfirmedSaveRefusesAReadOnlyFile) {
  const std::string f = dir.File("locked.jpg");
  WriteText(f, "keep me");
  ReadOnlyGuard guard(f);
  SavePictureConfirmed(picture, info, f);
  ASSERT_EQ(ui.ui.Messages.size(), 1u);
  EXPECT_EQ(ui.ui.Messages[0].Kind, mtError);
  EXPECT_EQ(ui.ui.Messages[0].Buttons, mbAbort);
  EXPECT_EQ(ui.ui.Messages[0].Text, "  " + f + " は読み出し専用ファイルです．");
  EXPECT_EQ(ui.ui.Beeps, 1);
  EXPECT_EQ(ReadText(f), "keep me");
}

TEST_F(SaveTest, OverwriteQuestionAnsweredBothWays) {
  const std::string f = dir.File("photo.gif");
  WriteText(f, "old");
  files::SetFileTime(f, {2001, 1, 1, 0, 0, 0});
  const std::string question = "ﾌｧｲﾙ[ " + f + " ]に上書き保存します｡";

  ui.ui.Answers = {mrCancel};
  SavePictureConfirmed(picture, info, f);
  ASSERT_EQ(ui.ui.Messages.size(), 1u);
  EXPECT_EQ(ui.ui.Messages[0].Text, question);
  EXPECT_EQ(ui.ui.Messages[0].Kind, mtConfirmation);
  EXPECT_EQ(ui.ui.Messages[0].Buttons, mbOKCancel);
  EXPECT_EQ(ReadText(f), "old");
  EXPECT_EQ(files::GetFileTime(f), (TDateTime{2001, 1, 1, 0, 0, 0}));

  ui.ui.Answers = {mrOk};
  SavePictureConfirmed(picture, info, f);
  ASSERT_EQ(ui.ui.Messages.size(), 2u);
  EXPECT_EQ(ui.ui.Messages[1].Text, question);
  EXPECT_EQ(ReadText(f).substr(0, 6), "GIF89a");
  EXPECT_EQ(files::GetFileTime(f), shot);
  EXPECT_EQ(ui.ui.Beeps, 0);
}

TEST(MoveToBackup, BackupNamesByExtension) {
  TempDir dir;
  struct Case {
    const char* name;
    const char* backup;
  };
  const Case cases[] = {
      {"IMG_0001.JPG", "img_0001.j$$"}, {"Photo.jpeg", "photo.j$$"}, {"Scan.BMP", "scan.b$$"}, {"Anim.Gif", "anim.g$$"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteText(dir.File(c.name), c.name);
    MoveToBackup(dir.File(c.name));
    EXPECT_FALSE(files::FileExists(dir.File(c.name)));
    EXPECT_EQ(ReadText(dir.File(c.backup)), c.name);
  }
}

TEST(MoveToBackup, TwiceKeepsOnlyTheLaterPicture) {
  TempDir dir;
  ScopedScriptedUi ui;
  TBitmap first, second;
  Paint(first, 4, 4, pf32bit, [](int, int) { return clRed; });
  Paint(second, 4, 4, pf32bit, [](int, int) { return clBlue; });
  PictureInfo info;
  const std::string f = dir.File("a.GIF");
  SavePicture(first, info, f);
  MoveToBackup(f);
  SavePicture(second, info, f);
  const auto later = ReadAll(f);
  MoveToBackup(f);
  EXPECT_EQ(Entries(dir.Path()), "a.g$$ ");
  EXPECT_EQ(ReadAll(dir.File("a.g$$")), later);

  MoveToBackup(f);  // gone already: the backup stays
  EXPECT_EQ(ReadAll(dir.File("a.g$$")), later);
}

TEST(MoveToBackup, OtherExtensionsAreDeletedWithoutTouchingOtherFiles) {
  TempDir dir;
  WriteText(dir.File("NOTE.TXT"), "upper");
  WriteText(dir.File("note.txt"), "lower");
  MoveToBackup(dir.File("NOTE.TXT"));
  EXPECT_EQ(Entries(dir.Path()), "note.txt ");
  EXPECT_EQ(ReadText(dir.File("note.txt")), "lower");
}

}  // namespace
