#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/IniFile.h"
#include "support/TestFiles.h"

TEST(IniFile, SectionsAndKeysKeepTheOrderFirstWritten) {
  TempDir dir;
  TIniFile ini(dir.File("a.ini"));
  ini.WriteString("Window", "Left", "10");
  ini.WriteInteger("Files", "Count", 3);
  ini.WriteString("Window", "Top", "20");
  ini.WriteBool("Files", "Sorted", true);
  ini.WriteString("Window", "Left", "11");  // an existing key keeps its place
  ini.WriteBool("Files", "Hidden", false);
  EXPECT_EQ(ReadText(dir.File("a.ini")),
            "[Window]\nLeft=11\nTop=20\n\n[Files]\nCount=3\nSorted=1\nHidden=0\n");
}

TEST(IniFile, EveryWriteReachesTheFileAtOnce) {
  TempDir dir;
  const std::string name = dir.File("a.ini");
  TIniFile writer(name);
  TIniFile other(name);  // open before the writes
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    writer.WriteInteger("S", "K" + std::to_string(i), i * 7);
    EXPECT_EQ(TIniFile(name).ReadInteger("S", "K" + std::to_string(i), -1), i * 7);
    EXPECT_EQ(other.ReadInteger("S", "K" + std::to_string(i), -1), i * 7);
  }
  // Writes through the other object keep the first one's keys.
  other.WriteString("T", "X", "y");
  writer.WriteString("S", "K0", "changed");
  const TIniFile reader(name);
  EXPECT_EQ(reader.ReadString("T", "X", ""), "y");
  EXPECT_EQ(reader.ReadString("S", "K0", ""), "changed");
  EXPECT_EQ(reader.ReadInteger("S", "K2", -1), 14);
}

TEST(IniFile, DefaultsForMissingFileSectionOrKey) {
  TempDir dir;
  const TIniFile missing(dir.File("none.ini"));
  EXPECT_EQ(missing.ReadString("S", "K", "def"), "def");
  EXPECT_EQ(missing.ReadInteger("S", "K", 42), 42);
  EXPECT_TRUE(missing.ReadBool("S", "K", true));

  WriteText(dir.File("a.ini"), "[S]\nK=5\nText=abc\n");
  const TIniFile ini(dir.File("a.ini"));
  EXPECT_EQ(ini.ReadInteger("S", "Other", 9), 9);
  EXPECT_EQ(ini.ReadInteger("Other", "K", 9), 9);
  EXPECT_EQ(ini.ReadInteger("S", "Text", 9), 9);  // not a number
  EXPECT_EQ(ini.ReadInteger("s", "k", 9), 5);     // names ignore case
}

TEST(IniFile, ReadBoolTakesAnyNonzeroIntegerAsTrue) {
  struct Case {
    const char* value;
    bool def;
    bool expected;
  };
  const Case cases[] = {
      {"1", false, true}, {"2", false, true}, {"-1", false, true}, {"0", true, false},
      {"$10", false, true}, {"yes", false, false}, {"yes", true, true}, {"", true, true},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("'") + c.value + "'");
    WriteText(dir.File("a.ini"), std::string("[S]\nB=") + c.value + "\n");
    EXPECT_EQ(TIniFile(dir.File("a.ini")).ReadBool("S", "B", c.def), c.expected);
  }
}

TEST(IniFile, Utf8JapaneseRoundTrip) {
  TempDir dir;
  const std::string value = "ファイル名：写真 2008年9月26日.jpg";
  TIniFile(dir.File("a.ini")).WriteString("設定", "最後のファイル", value);
  EXPECT_EQ(ReadText(dir.File("a.ini")), "[設定]\n最後のファイル=" + value + "\n");
  EXPECT_EQ(TIniFile(dir.File("a.ini")).ReadString("設定", "最後のファイル", ""), value);
}

TEST(IniFile, ReadsByteOrderMarkCrLfAndComments) {
  TempDir dir;
  WriteText(dir.File("a.ini"), "\xEF\xBB\xBF; note\r\n[S]\r\nA = one \r\nB=2\r\n");
  const TIniFile ini(dir.File("a.ini"));
  EXPECT_EQ(ini.ReadString("S", "A", ""), "one");
  EXPECT_EQ(ini.ReadInteger("S", "B", 0), 2);
}

TEST(IniFile, ValueIsKeptOnOneLine) {
  TempDir dir;
  TIniFile ini(dir.File("a.ini"));
  ini.WriteString("S", "A", "x\ny=1");
  EXPECT_EQ(TIniFile(dir.File("a.ini")).ReadString("S", "A", ""), "x y=1");
  EXPECT_EQ(TIniFile(dir.File("a.ini")).ReadString("S", "y", "none"), "none");
}

TEST(IniFile, WriteFailureThrows) {
  TempDir dir;
  TIniFile ini(dir.File("no/folder/a.ini"));
  EXPECT_THROW(ini.WriteString("S", "K", "v"), std::runtime_error);
}
