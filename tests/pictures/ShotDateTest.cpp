// Shot-date services: the date-time of a text, file times set from it, names made from it.
#include <gtest/gtest.h>

#include <stdexcept>

#include "Jpegexif.h"
#include "PictureHelpers.h"
#include "platform/Files.h"
#include "support/TestFiles.h"

namespace {

TEST(ShotDateToDateTime, FieldsAtFixedPositionsClamped) {
  struct Case {
    const char* text;
    TDateTime expected;
  };
  const Case cases[] = {
      {"2008:09:26 11:22:33", {2008, 9, 26, 11, 22, 33}},
      {"2008/09/26 11:22:33", {2008, 9, 26, 11, 22, 33}},
      {"2008-09-26T11-22-33", {2008, 9, 26, 11, 22, 33}},  // separators are not checked
      {"1850:00:00 25:61:99", {1900, 1, 1, 23, 59, 59}},
      {"2200:13:32 00:00:00", {2100, 12, 31, 0, 0, 0}},
      {"2008:09", {2008, 9, 1, 0, 0, 0}},
      {"", {1900, 1, 1, 0, 0, 0}},
      {"2008:9x:26 1:22:33", {2008, 9, 26, 1, 2, 3}},  // fields stop at a non-digit
      {"2024:02:29 00:00:00", {2024, 2, 29, 0, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(ShotDateToDateTime(c.text), c.expected) << c.text;
}

TEST(ShotDateToDateTime, ImpossibleCalendarDateIsAnError) {
  for (const char* text : {"2008:02:30 11:22:33", "2023:02:29 00:00:00", "2008:04:31 00:00:00"}) {
    EXPECT_THROW(ShotDateToDateTime(text), std::runtime_error) << text;
  }
}

class FileTimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(file, "x");
    ASSERT_TRUE(files::SetFileTime(file, before));
  }
  TempDir dir;
  std::string file = dir.File("IMG_0001.JPG");
  const TDateTime before{2001, 2, 3, 4, 5, 6};
};

TEST_F(FileTimeTest, UsableTextsSetEvenSeconds) {
  struct Case {
    const char* text;
    TDateTime expected;
  };
  const Case cases[] = {
      {"2008/09/26 11:22:33", {2008, 9, 26, 11, 22, 32}},
      {"2008:09:26 11:22:33", {2008, 9, 26, 11, 22, 32}},
      {"2008:09:26 11:22:34", {2008, 9, 26, 11, 22, 34}},
      {"1980:01:01 00:00:00", {1980, 1, 1, 0, 0, 0}},
      {"2100:12:31 23:59:59", {2100, 12, 31, 23, 59, 58}},
  };
  for (const Case& c : cases) {
    SetFileTimeByShotDate(file, c.text);
    EXPECT_EQ(files::GetFileTime(file), c.expected) << c.text;
  }
}

TEST_F(FileTimeTest, OtherTextsChangeNothing) {
  for (const char* text : {"2008/09/26 11:22:33 ", "2008-09-26 11:22:33", "2008:09/26 11:22:33",
                           "1979:12:31 23:59:58", "26.09.2008 11:22:33", "", "2008:09:26"}) {
    SetFileTimeByShotDate(file, text);
    EXPECT_EQ(files::GetFileTime(file), before) << "'" << text << "'";
  }
}

TEST_F(FileTimeTest, ReadOnlyAndMissingFilesAreLeftAlone) {
  {
    ReadOnlyGuard guard(file);
    SetFileTimeByShotDate(file, "2008:09:26 11:22:33");
    EXPECT_EQ(files::GetFileTime(file), before);
  }
  SetFileTimeByShotDate(dir.File("missing.jpg"), "2008:09:26 11:22:33");
  EXPECT_FALSE(files::FileExists(dir.File("missing.jpg")));
}

TEST_F(FileTimeTest, ImpossibleDateIsAnError) {
  EXPECT_THROW(SetFileTimeByShotDate(file, "2008:02:30 11:22:33"), std::runtime_error);
  EXPECT_EQ(files::GetFileTime(file), before);
}

TEST(RenameToShotDate, NameFromTheDigitsWithLowerCaseExtension) {
  TempDir dir;
  struct Case {
    const char* from;
    const char* text;
    const char* to;
  };
  const Case cases[] = {
      {"IMG_0001.JPG", "2008:09:26 11:22:33", "20080926-112233.jpg"},
      {"IMG_0002.Jpeg", "2008/09/26 11:22:34", "20080926-112234.jpeg"},
      {"scan.bmp", "26 Sep 2008 11:22", "26--2008-1122.bmp"},
      {"noext", "2008:09:26 11:22:35", "20080926-112235"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    WriteText(dir.File(c.from), c.from);
    EXPECT_EQ(RenameToShotDate(dir.File(c.from), c.text), dir.File(c.to));
    EXPECT_EQ(ReadText(dir.File(c.to)), c.from);
    EXPECT_FALSE(files::FileExists(dir.File(c.from)));
  }
}

TEST(RenameToShotDate, SuffixesAThroughZAndNeverOverwrites) {
  TempDir dir;
  const std::string stem = dir.File("20080926-112233");
  WriteText(stem + ".jpg", "taken");
  WriteText(dir.File("IMG_0001.JPG"), "one");
  EXPECT_EQ(RenameToShotDate(dir.File("IMG_0001.JPG"), "2008:09:26 11:22:33"), stem + "a.jpg");
  EXPECT_EQ(ReadText(stem + ".jpg"), "taken");
  EXPECT_EQ(ReadText(stem + "a.jpg"), "one");

  for (char s = 'b'; s <= 'z'; ++s) WriteText(stem + s + ".jpg", std::string("taken ") + s);
  WriteText(dir.File("IMG_0002.JPG"), "two");
  EXPECT_EQ(RenameToShotDate(dir.File("IMG_0002.JPG"), "2008:09:26 11:22:33"), "");
  EXPECT_EQ(ReadText(dir.File("IMG_0002.JPG")), "two");
  EXPECT_EQ(ReadText(stem + "z.jpg"), "taken z");
  EXPECT_EQ(ReadText(stem + "a.jpg"), "one");
}

TEST(RenameToShotDate, ShortTextsAndNamesAlreadyRight) {
  TempDir dir;
  WriteText(dir.File("a.jpg"), "a");
  EXPECT_EQ(RenameToShotDate(dir.File("a.jpg"), "20"), "");
  EXPECT_TRUE(files::FileExists(dir.File("a.jpg")));
  // A photo already named after its shot date keeps its name rather than gaining a suffix.
  const std::string named = dir.File("20080926-112233.jpg");
  WriteText(named, "b");
  EXPECT_EQ(RenameToShotDate(named, "2008:09:26 11:22:33"), named);
  EXPECT_EQ(ReadText(named), "b");
  EXPECT_FALSE(files::FileExists(dir.File("20080926-112233a.jpg")));
  EXPECT_EQ(RenameToShotDate(dir.File("missing.jpg"), "2008:09:26 11:22:39"), "");
}

}  // namespace
