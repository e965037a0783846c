// The settings file: every key, its order, defaults, and the reopen list built from it.
#include <gtest/gtest.h>

#include "ApUnit1Reopen.h"
#include "ApUnit1Settings.h"
#include "support/TestFiles.h"

TEST(SettingsFile, RoundTripAndKeyOrder) {
  TempDir dir;
  TSettings s;
  s.Path1 = "/home/u/写真/";
  s.Name1 = "/home/u/写真/a.jpg";
  s.BgColor = 0x123456;
  s.SrcRatioW = 4;
  s.SrcRatioH = 3;
  s.DstWidth = 640;
  s.DstHeight = -2;
  s.AskSizeEveryCut = true;
  for (int i = 0; i < 10; ++i) s.Reopen[i] = "/p/" + std::to_string(i) + ".bmp";
  WriteSettings(dir.File("k.INI"), s);

  std::string expected =
      "[PATH]\nPATH1=/home/u/写真/\nNAME1=/home/u/写真/a.jpg\n\n[FORM]\nBGCOLOR=1193046\n\n"
      "[Kestrelframe.CutR]\nS_WIDTH=4\nS_HEIGHT=3\nD_WIDTH=640\nD_HEIGHT=-2\nD_CHECK=1\n\n[REOPEN]\n";
  for (int i = 0; i < 10; ++i) expected += "FILE" + std::to_string(i) + "=/p/" + std::to_string(i) + ".bmp\n";
  EXPECT_EQ(ReadText(dir.File("k.INI")), expected);

  const TSettings r = ReadSettings(dir.File("k.INI"));
  EXPECT_EQ(r.Path1, s.Path1);
  EXPECT_EQ(r.Name1, s.Name1);
  EXPECT_EQ(r.BgColor, s.BgColor);
  EXPECT_EQ(r.SrcRatioW, 4);
  EXPECT_EQ(r.SrcRatioH, 3);
  EXPECT_EQ(r.DstWidth, 640);
  EXPECT_EQ(r.DstHeight, -2);
  EXPECT_TRUE(r.AskSizeEveryCut);
  EXPECT_EQ(r.Reopen, s.Reopen);
}

TEST(SettingsFile, DefaultsForAMissingFileOrKey) {
  TempDir dir;
  for (const char* content : {static_cast<const char*>(nullptr), "[FORM]\nBGCOLOR=oops\n[PATH]\n"}) {
    SCOPED_TRACE(content ? content : "no file");
    if (content) WriteText(dir.File("k.INI"), content);
    const TSettings r = ReadSettings(dir.File("k.INI"));
    EXPECT_EQ(r.Path1, "");
    EXPECT_EQ(r.Name1, "");
    EXPECT_EQ(r.BgColor, 12632256u);
    EXPECT_EQ(r.SrcRatioW, 0);
    EXPECT_EQ(r.DstHeight, 0);
    EXPECT_FALSE(r.AskSizeEveryCut);
    for (const auto& f : r.Reopen) EXPECT_EQ(f, "");
  }
}

TEST(SettingsFile, AskEveryCutReadsAnyNonzeroIntegerAsTrue) {
  TempDir dir;
  struct Case {
    const char* value;
    bool expected;
  } cases[] = {{"1", true}, {"0", false}, {"7", true}, {"-1", true}, {"yes", false}, {"", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    WriteText(dir.File("k.INI"), std::string("[Kestrelframe.CutR]\nD_CHECK=") + c.value + "\n");
    EXPECT_EQ(ReadSettings(dir.File("k.INI")).AskSizeEveryCut, c.expected);
  }
}

TEST(ReopenList, KeepsOnlyExistingFilesWithTheNewNameFirst) {
  TempDir dir;
  const std::string a = dir.File("A.jpg"), b = dir.File("B.jpg"), c = dir.File("C.jpg");
  for (const auto& f : {a, b, c}) WriteText(f, "x");
  TReopenList list;
  list.Items[0].Caption = a;
  list.Items[1].Caption = dir.File("deleted.jpg");
  list.Items[2].Caption = b;
  list.Items[3].Caption = c;
  list.Add(c);
  EXPECT_EQ(list.Items[0].Caption, c);
  EXPECT_EQ(list.Items[1].Caption, a);
  EXPECT_EQ(list.Items[2].Caption, b);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(list.Items[i].Visible && list.Items[i].Enabled) << i;
  for (int i = 3; i < 10; ++i) EXPECT_FALSE(list.Items[i].Visible) << i;
  EXPECT_TRUE(list.ClearVisible);
}

TEST(ReopenList, EmptyListShowsNoneAndClearingLeavesPlaceholders) {
  TReopenList list;
  list.Add("");
  EXPECT_EQ(list.Items[0].Caption, "なし");
  EXPECT_TRUE(list.Items[0].Visible);
  EXPECT_FALSE(list.Items[0].Enabled);
  list.Clear();
  EXPECT_EQ(list.Items[0].Caption, "なし");
  EXPECT_TRUE(list.Items[0].Visible);
  for (int i = 1; i < 10; ++i) {
    EXPECT_EQ(list.Items[i].Caption, "::");
    EXPECT_FALSE(list.Items[i].Visible);
  }
  EXPECT_FALSE(list.ClearVisible);
}
