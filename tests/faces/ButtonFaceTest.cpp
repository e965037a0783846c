// Button faces: sizes, state tints and defaults, the grey base cache, the three-slice stretch,
// the glyph, the caption's place, the transparent pixels and the developer dump.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "Designassist.h"
#include "FacePixels.h"
#include "platform/Files.h"
#include "support/TestFiles.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

TFont MainWindowButtonFont() {
  TFont f;
  f.Name = "ＭＳ Ｐゴシック";
  f.Height = -13;
  f.Color = clNavy;
  return f;
}

void MakeButton(TFaceButton& b, int w, int h, const std::string& caption) {
  b.Name = "CmdTest";
  b.Width = w;
  b.Height = h;
  b.Caption = caption;
  b.Font = MainWindowButtonFont();
}

// A base whose every column has one grey level, given by f(x).
template <class F>
void ColumnBase(TBitmap& b, int w, int h, F f) {
  Make(b, w, h, [&](int x, int) { return Grey(f(x)); }, pf24bit);
}

bool IsTransparentPlace(int x, int y, int sw, int sh) {
  return x == 0 || ((x == 1 || x == sw - 1) && (y == 0 || y == sh - 1));
}

TEST(ButtonFaceSizes, WorkFaceIsTwiceTheState) {
  const TButtonFaceSizes z = ButtonFaceSizes(124, 26);
  EXPECT_EQ(z.WorkWidth, 240);
  EXPECT_EQ(z.WorkHeight, 46);
  EXPECT_EQ(z.StateWidth, 120);
  EXPECT_EQ(z.StateHeight, 23);
}

TEST(PaintButtonFace, WhiteBaseGivesTheStateTintsAndZeroMeansDefault) {
  // Without base picture the face is white (M = 255): a tint c becomes (c · 255) >> 8, halving
  // keeps the upper six bits and sets the lowest, the disabled state is then blended half way
  // to its colour. 0xFF -> 0xFE -> 0xFD; 0xAA -> 0xA9 -> 0xA9; 0x80 -> 0x7F -> 0x7D -> (0x7C + 0x80) / 2.
  const uint32_t want[4] = {0xFDFDFD, 0x7E7E7E, 0xA9FDA9, 0xFDFDA9};
  struct Case {
    const char* name;
    uint32_t up, disabled, pressed, held;
  };
  const Case cases[] = {
      {"zero for every state", 0, 0, 0, 0},
      {"the defaults given", 0xFFFFFF, 0x808080, 0xAAFFAA, 0xFFFFAA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TFaceButton b;
    MakeButton(b, 124, 26, "");
    b.Caption = "   ";  // blanks only: nothing to draw
    ASSERT_TRUE(PaintButtonFace(b, nullptr, c.up, c.disabled, c.pressed, c.held));
    EXPECT_EQ(b.NumGlyphs, 4);
    EXPECT_EQ(b.Caption, "");
    ASSERT_EQ(b.Glyph.Width(), 480);
    ASSERT_EQ(b.Glyph.Height(), 23);
    ASSERT_EQ(b.Glyph.PixelFormat(), pf32bit);
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 480; ++x) {
        const uint32_t v = Px(b.Glyph, x, y) & 0xFFFFFF;
        const uint32_t w = IsTransparentPlace(x, y, 120, 23) ? kWhite : want[x / 120];
        ASSERT_EQ(v, w) << At(x, y, v, w);
      }
  }
}

TEST(PaintButtonFace, OnlyTheMarkedPixelsAreWhite) {
  // A real base, a glyph with white in it and a caption: the halving never gives white, so the
  // first column and the up state's four corner pixels are the only ones the button shows through.
  TBitmap base;
  DrawButtonBase(base);
  TFaceButton b;
  MakeButton(b, 124, 26, "コントラスト(＋)");
  Make(b.Glyph, 30, 30, [](int x, int y) { return (x + y) % 3 ? Pix(0, 255, 0) : Grey(255); });
  ASSERT_TRUE(PaintButtonFace(b, &base, 0, 0, 0, 0));
  const int sw = 120, sh = 23;
  ASSERT_EQ(b.Glyph.Width(), 4 * sw);
  ASSERT_EQ(b.Glyph.Height(), sh);
  EXPECT_EQ(Px(b.Glyph, 0, sh - 1) & 0xFFFFFF, kWhite);  // the button's transparent colour
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < 4 * sw; ++x) {
      const bool white = (Px(b.Glyph, x, y) & 0xFFFFFF) == kWhite;
      ASSERT_EQ(white, IsTransparentPlace(x, y, sw, sh)) << "(" << x << ", " << y << ")";
    }
}

TEST(PaintButtonFace, GreyBaseIsBuiltOncePerBasePicture) {
  TBitmap base, sameAgain, other;
  DrawButtonBase(base);
  SetPx(base, 14, 14, Grey(77));  // unlike any base an earlier test used
  sameAgain.Assign(base);
  other.Assign(base);
  SetPx(other, 14, 14, Grey(78));

  const auto paint = [](const TBitmap* base, int w) {
    TFaceButton b;
    MakeButton(b, w, 26, "x");
    ASSERT_TRUE(PaintButtonFace(b, base, 0, 0, 0, 0));
  };
  const int start = GreyBaseBuilds();
  paint(&base, 124);
  EXPECT_EQ(GreyBaseBuilds(), start + 1);
  for (int w : {60, 80, 124, 200}) paint(&base, w);
  paint(&sameAgain, 90);  // another bitmap with the same picture
  EXPECT_EQ(GreyBaseBuilds(), start + 1);
  paint(&other, 90);
  EXPECT_EQ(GreyBaseBuilds(), start + 2);
  SetPx(other, 14, 14, Grey(79));  // the same bitmap, changed since
  paint(&other, 90);
  EXPECT_EQ(GreyBaseBuilds(), start + 3);
  paint(nullptr, 60);
  paint(nullptr, 60);
  EXPECT_EQ(GreyBaseBuilds(), start + 4);
  paint(&base, 60);
  EXPECT_EQ(GreyBaseBuilds(), start + 5);
}

TEST(PaintButtonFace, BaseIsStretchedByThirdsAndToTheFaceHeight) {
  // A 60 x 26 button: work face 112 x 46, states 56 x 23. The base's left and right thirds keep
  // their width (10 work pixels, 5 state pixels) at the two ends, its middle third fills the
  // rest. Under a white tint, grey g becomes ((g · 255) >> 8 & 0xFC) | 1: 40 -> 37, 120 -> 117,
  // 200 -> 197.
  struct Case {
    const char* name;
    bool bands;  // horizontal bands instead of vertical thirds
  };
  for (const Case& c : {Case{"thirds", false}, Case{"bands", true}}) {
    SCOPED_TRACE(c.name);
    TBitmap base;
    if (c.bands) {
      // Upper 14 rows 40, lower 14 rows 200, stretched to 46 rows: 23 and 23, so the state's
      // row 11 averages one row of each.
      Make(base, 30, 28, [](int, int y) { return Grey(y < 14 ? 40 : 200); }, pf24bit);
    } else {
      ColumnBase(base, 30, 28, [](int x) { return x < 10 ? 40 : (x < 20 ? 120 : 200); });
    }
    TFaceButton b;
    MakeButton(b, 60, 26, "");
    ASSERT_TRUE(PaintButtonFace(b, &base, 0, 0, 0, 0));
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 56; ++x) {
        if (IsTransparentPlace(x, y, 56, 23)) continue;
        const int level = c.bands ? (y < 11 ? 37 : (y == 11 ? 117 : 197)) : (x < 5 ? 37 : (x < 51 ? 117 : 197));
        ASSERT_EQ(Px(b.Glyph, x, y) & 0xFFFFFF, Grey(level)) << At(x, y, Px(b.Glyph, x, y), Grey(level));
      }
  }
}

TEST(PaintButtonFace, BasesTooNarrowToSliceAreStretchedWhole) {
  // Under three columns a third is 0 pixels and the slicing would never move on; such a base is
  // stretched over the whole face instead (nearest pixel), an empty one counts as no base.
  struct Case {
    const char* name;
    int baseWidth;
    int left, right;  // state grey levels left and right of the middle
  };
  const Case cases[] = {
      {"two columns", 2, 37, 197},
      {"one column", 1, 37, 37},
      {"empty", 0, 0xFD, 0xFD},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap base;
    ColumnBase(base, c.baseWidth, c.baseWidth ? 28 : 0, [](int x) { return x == 0 ? 40 : 200; });
    TFaceButton b;
    MakeButton(b, 60, 26, "");
    ASSERT_TRUE(PaintButtonFace(b, &base, 0, 0, 0, 0));
    for (int x = 1; x < 55; ++x) {
      const uint32_t want = Grey(x < 28 ? c.left : c.right), got = Px(b.Glyph, x, 11) & 0xFFFFFF;
      ASSERT_EQ(got, want) << At(x, 11, got, want);
    }
  }
}

TEST(PaintButtonFace, GlyphIsLaidOverEveryStateAtHalfSize) {
  // A 20 x 10 glyph with green as its key colour and a red block at (4 … 15, 2 … 7). On the 112 x 46
  // work face it sits at (8 + 112 i, 18), so the block covers state columns 6 … 11 and rows 10 … 12.
  TFaceButton b;
  MakeButton(b, 60, 26, "");
  Make(b.Glyph, 20, 10, [](int x, int y) {
    return x >= 4 && x < 16 && y >= 2 && y < 8 ? Pix(255, 0, 0) : Pix(0, 255, 0);
  });
  ASSERT_TRUE(PaintButtonFace(b, nullptr, 0, 0, 0, 0));
  const uint32_t red = 0xFD0101;                      // halved: 0xFC0000 | 0x010101
  const uint32_t face[4] = {0xFDFDFD, 0x7E7E7E, 0xA9FDA9, 0xFDFDA9};
  const uint32_t redDisabled = (0xFC0000 + 0x808080) >> 1;  // 0xBE4040
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    for (int y = 8; y < 15; ++y)
      for (int x = 4; x < 14; ++x) {
        const bool block = x >= 6 && x < 12 && y >= 10 && y < 13;
        const uint32_t want = block ? (i == 1 ? redDisabled : red) : face[i];
        const uint32_t got = Px(b.Glyph, 56 * i + x, y) & 0xFFFFFF;
        ASSERT_EQ(got, want) << At(56 * i + x, y, got, want);
      }
  }
}

TEST(PaintButtonFace, GlyphLargerThanTheFaceIsClipped) {
  TFaceButton b;
  MakeButton(b, 40, 20, "");
  Make(b.Glyph, 90, 60, [](int x, int y) { return x == 0 && y == 59 ? Grey(0) : Pix(255, 0, 0); });
  ASSERT_TRUE(PaintButtonFace(b, nullptr, 0, 0, 0, 0));
  EXPECT_EQ(b.Glyph.Width(), 4 * 36);
  EXPECT_EQ(b.Glyph.Height(), 17);
  EXPECT_EQ(Px(b.Glyph, 3 * 36 + 10, 8) & 0xFFFFFF, 0xFD0101u);
}

struct Columns {
  int first, last;
};
// Columns of state 0 where the captioned strip differs from the caption-less one.
Columns CaptionColumns(int glyphWidth, const std::string& caption) {
  TFaceButton with, without;
  for (TFaceButton* b : {&with, &without}) {
    MakeButton(*b, 124, 26, b == &with ? caption : "");
    if (glyphWidth > 0) Make(b->Glyph, glyphWidth, 8, [](int, int) { return Grey(255); });
    EXPECT_TRUE(PaintButtonFace(*b, nullptr, 0, 0, 0, 0));
  }
  int first = -1, last = -1;
  for (int x = 0; x < 120; ++x)
    for (int y = 0; y < 23; ++y)
      if ((Px(with.Glyph, x, y) & 0xFFFFFF) != (Px(without.Glyph, x, y) & 0xFFFFFF)) {
        if (first < 0) first = x;
        last = x;
      }
  return {first, last};
}

TEST(PaintButtonFace, GlyphWidthMovesTheCaption) {
  // pad = (glyph width + 16) / 2 and the caption is centred in the rest less 6 pixels: without
  // a glyph pad is 8; a 40-pixel glyph makes it 28 and the text moves 10 pixels right.
  const auto none = CaptionColumns(0, "AB");
  const auto wide = CaptionColumns(40, "AB");
  const auto narrow = CaptionColumns(20, "AB");
  ASSERT_GT(none.first, 0);
  EXPECT_EQ(wide.first - none.first, 10);
  EXPECT_EQ(wide.last - none.last, 10);
  EXPECT_EQ(narrow.first - none.first, 5);
  // Centred in 8 … 114 without a glyph.
  EXPECT_NEAR((none.first + none.last) / 2.0, (8 + 114) / 2.0, 2.0);
}

TEST(FitButtonCaption, LargestFittingHeightThenCentred) {
  TBitmap strip;
  strip.SetSize(8, 8);
  const TFont drawFont = MainWindowButtonFont();
  const std::string text = "WWWWWWWW";
  const auto widthAt = [&](int h) {
    TBitmap m;
    m.Canvas().Font.Height = h;
    return m.Canvas().TextWidth(text);
  };
  const int w15 = widthAt(15), w13 = widthAt(13), w11 = widthAt(11), w9 = widthAt(9);
  ASSERT_LT(w11, w13);
  ASSERT_LT(w13, w15);
  ASSERT_LT(w9, w11);
  const int pad = 8;
  struct Case {
    const char* name;
    int sw, sh;
    int height, width;
  };
  const Case cases[] = {
      // min(23 - 8, 16) = 15 is the start.
      {"fits at once", w15 + pad + 6, 23, 15, w15},
      {"fits two steps down", w13 - 1 + pad + 6, 23, 11, w11},
      // Too long for 15, 13, 11 and 9: the loop ends at 7 with the width measured at 9.
      {"too long for any height", w9 - 5 + pad + 6, 23, 7, w9},
      {"a tall state starts at 16", 400, 40, 16, widthAt(16)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TCaptionPlace p = FitButtonCaption(strip.Canvas(), drawFont, text, c.sw, c.sh, pad);
    EXPECT_EQ(p.Height, c.height);
    EXPECT_EQ(p.Width, c.width);
    const int avail = c.sw - pad - 6;
    EXPECT_EQ(p.X, pad + (avail - c.width) / 2);
    EXPECT_EQ(p.Y, (c.sh - c.height) / 2);
  }
  const TCaptionPlace tooLong = FitButtonCaption(strip.Canvas(), drawFont, text, w9 - 5 + pad + 6, 23, pad);
  EXPECT_EQ(tooLong.X, pad - 2);  // shifted left of its room
}

TEST(FitButtonCaption, LowStateCentresByTheDrawnWidth) {
  // sh = 15: min(15 - 8, 16) = 7 is below 8, nothing is fitted; the width is measured in the
  // font the caption is drawn in.
  TBitmap strip, m;
  strip.SetSize(8, 8);
  const TFont drawFont = MainWindowButtonFont();
  m.Canvas().Font = drawFont;
  const int w = m.Canvas().TextWidth("明るさ");
  const TCaptionPlace p = FitButtonCaption(strip.Canvas(), drawFont, "明るさ", 100, 15, 8);
  EXPECT_EQ(p.Height, 7);
  EXPECT_EQ(p.Width, w);
  EXPECT_EQ(p.X, 8 + (100 - 8 - 6 - w) / 2);
  EXPECT_EQ(p.Y, 4);
}

TEST(PaintButtonFace, TooSmallAButtonIsLeftAlone) {
  for (auto [w, h] : {std::pair{5, 26}, std::pair{60, 3}, std::pair{0, 0}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    TFaceButton b;
    MakeButton(b, w, h, "OK");
    EXPECT_FALSE(PaintButtonFace(b, nullptr, 0, 0, 0, 0));
    EXPECT_EQ(b.Caption, "OK");
    EXPECT_EQ(b.NumGlyphs, 1);
    EXPECT_TRUE(b.Glyph.Empty());
  }
}

TEST(DrawButtonBase, RaisedFaceWithSilverCorners) {
  TBitmap b;
  DrawButtonBase(b);
  ASSERT_EQ(b.Width(), 28);
  ASSERT_EQ(b.Height(), 28);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  for (auto [x, y] : {std::pair{0, 0}, std::pair{27, 0}, std::pair{0, 27}, std::pair{27, 27}})
    EXPECT_EQ(Px(b, x, y), Grey(192)) << x << ", " << y;
  const auto level = [&](int x, int y) { return int(Px(b, x, y) & 0xFF); };
  EXPECT_GT(level(14, 0), level(14, 5));     // light top edge
  EXPECT_GT(level(14, 5), level(14, 22));    // face darkening downwards
  EXPECT_LT(level(27, 14), level(14, 14));   // shadow on the right
  EXPECT_LT(level(14, 27), level(14, 22));   // and along the bottom
  EXPECT_NEAR(level(14, 3), 225, 6);
  EXPECT_NEAR(level(14, 24), 195, 6);
}

class DumpDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char buf[4096];
    ASSERT_NE(getcwd(buf, sizeof buf), nullptr);
    old_ = buf;
    ASSERT_EQ(chdir(dir_.Path().c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(old_.c_str()), 0); }
  TempDir dir_;
  std::string old_;
};

TEST_F(DumpDir, StripIsSavedWhenTheMarkerFileExists) {
  TFaceButton b;
  MakeButton(b, 60, 26, "");
  ASSERT_TRUE(PaintButtonFace(b, nullptr, 0, 0, 0, 0));
  EXPECT_FALSE(files::FileExists("OBJ/CmdTest.bmp"));  // no folder: nothing saved

  ASSERT_TRUE(files::CreateDir("OBJ"));
  ASSERT_TRUE(PaintButtonFace(b, nullptr, 0, 0, 0, 0));
  EXPECT_FALSE(files::FileExists("OBJ/CmdTest.bmp"));  // folder without the marker file

  WriteText("OBJ/ApUnit1.obj", "");
  TFaceButton c;
  MakeButton(c, 60, 26, "");
  ASSERT_TRUE(PaintButtonFace(c, nullptr, 0, 0, 0, 0));
  ASSERT_TRUE(files::FileExists("OBJ/CmdTest.bmp"));
  int status = -1;
  const std::string info =
      RunCommand("identify -format '%w %h' '" + dir_.File("OBJ/CmdTest.bmp") + "' 2>&1", &status);
  EXPECT_EQ(status, 0) << info;
  EXPECT_EQ(info, "224 23");
  // Saved before the transparent pixels were set: the up state's top-left is still the face.
  TBitmap dumped;
  dumped.LoadFromFile("OBJ/CmdTest.bmp");
  ASSERT_EQ(dumped.Width(), 224);
  EXPECT_EQ(Px(dumped, 0, 0) & 0xFFFFFF, 0xFDFDFDu);
  EXPECT_EQ(Px(c.Glyph, 0, 0) & 0xFFFFFF, kWhite);
}

}  // namespace
