// Cut sizes and the cut: the size commands, their labels and the cut of the framed part.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "FormFixture.h"
#include "Unitcut.h"

namespace {
// A picture whose pixel (x, y) has R = x & 255, G = y & 255, B = 7.
void Gradient(TForm1& f, int w, int h) {
  f.WorkBitmap.SetPixelFormat(pf32bit);
  f.WorkBitmap.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    uint8_t* p = f.WorkBitmap.ScanLine(y);
    for (int x = 0; x < w; ++x, p += 4) {
      p[kR] = uint8_t(x);
      p[kG] = uint8_t(y);
      p[kB] = 7;
      p[kX] = 0;
    }
  }
  f.ShowPicture(true);
}

// Answers the next dialog with these numbers and OK.
void AnswerDialog(ScriptedUi& ui, const char* w, const char* h, bool anyTime = false) {
  ui.Modals.push_back([=](QDialog& d) {
    auto& cut = static_cast<TFormCut&>(d);
    cut.EditW->setText(w);
    cut.EditH->setText(h);
    cut.cbxAnyTime->setChecked(anyTime);
    QTest::mouseClick(cut.BitBtnOK, Qt::LeftButton);
    return d.result();
  });
}
}  // namespace

TEST(Cut, EdgeCases) {
  struct Case {
    const char* name;
    int W, H;
    TRect frame;
    int dstW, dstH;
    bool ellipse;
    int outW, outH;
    bool recorded;
  } cases[] = {
      {"width only follows the picture's proportions", 1000, 750, {0, 0, 1000, 750}, 640, 0, false, 640, 480, true},
      {"the missing side truncates", 1001, 667, {0, 0, 1001, 667}, 300, 0, false, 300, 199, true},
      {"height only, square frame", 4000, 3000, {1000, 500, 2000, 1500}, 0, 600, false, 800, 600, true},
      {"same size, whole frame: nothing", 640, 480, {0, 0, 640, 480}, 640, 480, false, 640, 480, false},
      {"no size: the framed part unscaled", 640, 480, {10, 10, 110, 60}, 0, 0, false, 100, 50, true},
      {"width 1 on a wide picture grows to 2 × 2", 300, 200, {0, 0, 300, 200}, 1, 0, false, 2, 2, true},
      {"no size, whole frame: nothing", 64, 48, {0, 0, 64, 48}, 0, 0, false, 64, 48, false},
      {"ellipse over the whole picture", 64, 48, {0, 0, 64, 48}, 0, 0, true, 64, 48, true},
      {"negative sizes count as not given", 64, 48, {8, 8, 24, 40}, -5, -9, false, 16, 32, true},
  };
  FormEnv env;
  auto form = env.Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Gradient(*form, c.W, c.H);
    form->ResetUndo();
    form->PushUndo(false);
    form->CutRect = c.frame;
    form->DstWidth = c.dstW;
    form->DstHeight = c.dstH;
    form->CbxEllip->setChecked(c.ellipse);
    const int top = form->History.Top();
    form->ExecuteCut(false);
    EXPECT_EQ(form->WorkBitmap.Width(), c.outW);
    EXPECT_EQ(form->WorkBitmap.Height(), c.outH);
    EXPECT_EQ(form->History.Top() == top + 1, c.recorded);
    EXPECT_EQ(form->CbxEllip->isChecked(), c.ellipse && !c.recorded);
    if (c.recorded) {
      EXPECT_EQ(form->CutRect, (TRect{0, 0, c.outW, c.outH}));
    }
    if (c.dstW <= 0 && c.dstH <= 0 && !c.ellipse && c.recorded) {
      // Unscaled: every pixel is the framed pixel.
      for (int y = 0; y < c.outH; ++y)
        for (int x = 0; x < c.outW; ++x) {
          const uint8_t* p = form->WorkBitmap.ScanLine(y) + x * 4;
          ASSERT_EQ(p[kR], uint8_t(c.frame.Left + x)) << x << "," << y;
          ASSERT_EQ(p[kG], uint8_t(c.frame.Top + y)) << x << "," << y;
        }
    }
    if (c.ellipse) {
      const uint8_t* corner = form->WorkBitmap.ScanLine(0);
      EXPECT_EQ(corner[kR], 255);
      EXPECT_EQ(corner[kG], 255);
      EXPECT_EQ(corner[kB], 255);
      const uint8_t* centre = form->WorkBitmap.ScanLine(24) + 32 * 4;
      EXPECT_EQ(centre[kR], 32);
      EXPECT_EQ(centre[kG], 24);
    }
  }
}

TEST(CutSizes, RatioCommandSizesAndSlidesTheFrame) {
  FormEnv env;
  auto form = env.Start();
  Gradient(*form, 640, 480);
  form->CutRect = {500, 100, 600, 200};
  AnswerDialog(env.ui, "320", "240");
  QTest::mouseClick(form->BtnSrcCutSize, Qt::LeftButton);
  EXPECT_EQ(env.ui.ModalShown.back(), "FormCut");
  EXPECT_EQ(form->FormCut->windowTitle().toStdString(), "切り取りサイズの縦横比");
  EXPECT_EQ(form->CutRect, (TRect{320, 100, 640, 340}));
  EXPECT_EQ(form->lbSrcCutSize->text().toStdString(), "W320：H240");

  // 4 and 0: no ratio in force, but the frame was set 4 pixels wide.
  AnswerDialog(env.ui, "4", "0");
  QTest::mouseClick(form->BtnSrcCutSize, Qt::LeftButton);
  EXPECT_EQ(form->lbSrcCutSize->text().toStdString(), "比率の指定なし");
  EXPECT_EQ(form->CutRect.Right - form->CutRect.Left, 4);

  // Cancel keeps everything.
  form->SrcRatioW = 4;
  form->SrcRatioH = 3;
  QTest::mouseClick(form->BtnSrcCutSize, Qt::LeftButton);
  EXPECT_EQ(form->SrcRatioW, 4);

  QTest::mouseClick(form->lbSrcCutSize, Qt::LeftButton);
  EXPECT_EQ(form->SrcRatioW, 0);
  EXPECT_EQ(form->SrcRatioH, 0);
  EXPECT_EQ(form->lbSrcCutSize->text().toStdString(), "比率の指定なし");
}

TEST(CutSizes, OutputSizeCommandAndItsLabel) {
  FormEnv env;
  auto form = env.Start();
  EXPECT_EQ(form->lbDstCutSize->text().toStdString(), "サイズ指定なし");
  AnswerDialog(env.ui, "640", "", true);
  QTest::mouseClick(form->BtnDstCutSize, Qt::LeftButton);
  EXPECT_EQ(form->FormCut->windowTitle().toStdString(), "切取り後のサイズ");
  EXPECT_EQ(form->DstWidth, 640);
  EXPECT_EQ(form->DstHeight, 0);
  EXPECT_TRUE(form->AskSizeEveryCut);
  EXPECT_EQ(form->lbDstCutSize->text().toStdString(), "W640：H**");
  QTest::mouseClick(form->lbDstCutSize, Qt::LeftButton);
  EXPECT_EQ(form->lbDstCutSize->text().toStdString(), "サイズ指定なし");
  EXPECT_TRUE(form->AskSizeEveryCut);
}

TEST(CutSizes, EnterCutsAndShiftEnterAsksFirst) {
  FormEnv env;
  auto form = env.Start();
  Gradient(*form, 640, 480);
  form->CutRect = {0, 0, 320, 240};
  QTest::keyClick(form.get(), Qt::Key_Return);
  EXPECT_TRUE(env.ui.ModalShown.empty());
  EXPECT_EQ(form->WorkBitmap.Width(), 320);

  AnswerDialog(env.ui, "100", "0");
  QTest::keyClick(form.get(), Qt::Key_Return, Qt::ShiftModifier);
  ASSERT_EQ(env.ui.ModalShown.size(), 1u);
  EXPECT_EQ(form->WorkBitmap.Width(), 100);
  EXPECT_EQ(form->WorkBitmap.Height(), 75);

  // With "ask every cut" the cut button asks too, and a cancelled dialog still cuts.
  form->AskSizeEveryCut = true;
  form->DstWidth = 0;
  form->CutRect = {0, 0, 50, 50};
  QTest::mouseClick(form->CmdCutExec, Qt::LeftButton);
  EXPECT_EQ(env.ui.ModalShown.size(), 2u);
  EXPECT_EQ(form->WorkBitmap.Width(), 50);
}
