// The cut-size dialog: normalising, presets, orientation, preview and clearing.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "Unitcut.h"
#include "UnitcutSize.h"
#include "platform/widgets/PaintBox.h"
#include "support/ScriptedUi.h"

namespace {
std::string Text(const QLineEdit* e) { return e->text().toStdString(); }

QToolButton* Preset(TFormCut& f, const char* caption) {
  for (QToolButton* b : f.Presets)
    if (b->text() == caption) return b;
  return nullptr;
}

// Red pixels of the preview as a rectangle (Right/Bottom exclusive), or an empty one.
TRect RedBox(TPaintBox* pb) {
  TRect r{1000, 1000, -1, -1};
  for (int y = 0; y < pb->Height(); ++y)
    for (int x = 0; x < pb->Width(); ++x)
      if (pb->Canvas().Pixel(x, y) == clRed) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r;
}

class CutDialog : public testing::Test {
 protected:
  void SetUp() override {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  }
  ScopedScriptedUi scripted;
  TFormCut form;
};
}  // namespace

TEST(CutDialogNumbers, AtolRulesAndSixColumns) {
  struct Case {
    const char* in;
    int n;
    const char* shown;
  } cases[] = {{"", 0, ""},         {"  640", 640, "   640"}, {"12ab", 12, "    12"},
               {"-5", -5, "    -5"}, {"+7", 7, "     7"},    {"x9", 0, ""},
               {"000", 0, ""},       {"99999999999", 2147483647, "2147483647"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(ReadSizeNumber(c.in), c.n);
    EXPECT_EQ(SizeText(ReadSizeNumber(c.in)), c.shown);
  }
  EXPECT_EQ(SplitPresetCaption("1600x900"), (std::pair<std::string, std::string>{"1600", "900"}));
  EXPECT_EQ(SplitPresetCaption("800.600"), (std::pair<std::string, std::string>{"800", "600"}));
}

TEST_F(CutDialog, ZeroNumbersShowEmptyBoxesAndABlueOutline) {
  form.EditW->setText("0");
  form.EditH->setText("0");
  form.FormShow();
  EXPECT_EQ(Text(form.EditW), "");
  EXPECT_EQ(Text(form.EditH), "");
  TCanvas& c = form.PaintBox1->Canvas();
  EXPECT_EQ(c.Pixel(0, 0), clBlue);
  EXPECT_EQ(c.Pixel(72, 72), clBlue);
  EXPECT_EQ(c.Pixel(36, 36), clWhite);
  EXPECT_EQ(RedBox(form.PaintBox1).Right, -1);
}

TEST_F(CutDialog, PresetsInBothOrientations) {
  QTest::mouseClick(Preset(form, "1600x900"), Qt::LeftButton);
  EXPECT_EQ(Text(form.EditW), "  1600");
  EXPECT_EQ(Text(form.EditH), "   900");
  EXPECT_EQ(RedBox(form.PaintBox1), (TRect{0, 16, 73, 57}));

  QTest::mouseClick(form.RadioButton2, Qt::LeftButton);  // たて exchanges the numbers at once
  EXPECT_EQ(Text(form.EditW), "   900");
  QTest::mouseClick(Preset(form, "1600x900"), Qt::LeftButton);
  EXPECT_EQ(Text(form.EditW), "   900");
  EXPECT_EQ(Text(form.EditH), "  1600");
  EXPECT_EQ(RedBox(form.PaintBox1), (TRect{16, 0, 57, 73}));
}

TEST_F(CutDialog, OrientationExchangesTypedNumbersAndTypingWaitsForNormalise) {
  form.EditW->setText("");
  form.EditH->setText("");
  form.FormShow();
  QTest::keyClicks(form.EditW, "300");
  QTest::keyClicks(form.EditH, "100");
  EXPECT_EQ(RedBox(form.PaintBox1).Right, -1);  // no preview yet
  form.RdBtnYoko->setChecked(false);
  form.RadioButton2->setChecked(true);
  EXPECT_EQ(Text(form.EditW), "   100");
  EXPECT_EQ(Text(form.EditH), "   300");
  EXPECT_EQ(RedBox(form.PaintBox1), (TRect{24, 0, 48, 73}));
}

TEST_F(CutDialog, ButtonsCloseWithTheirResults) {
  form.EditW->setText("640");
  form.EditH->setText("480");
  form.hide();
  scripted.ui.Modals.push_back([](QDialog& d) {
    QTest::mouseClick(static_cast<TFormCut&>(d).BtnClear, Qt::LeftButton);
    return d.result();
  });
  EXPECT_EQ(TheUi().ShowModal(form), mrOk);
  EXPECT_EQ(ReadSizeNumber(Text(form.EditW)), 0);
  EXPECT_EQ(ReadSizeNumber(Text(form.EditH)), 0);

  form.EditW->setText("640");
  scripted.ui.Modals.push_back([](QDialog& d) {
    QTest::mouseClick(static_cast<TFormCut&>(d).BitBtnCancel, Qt::LeftButton);
    return d.result();
  });
  EXPECT_EQ(TheUi().ShowModal(form), mrCancel);
  scripted.ui.Modals.push_back([](QDialog& d) {
    QTest::keyClick(&d, Qt::Key_Escape);
    return d.result();
  });
  EXPECT_EQ(TheUi().ShowModal(form), mrCancel);
  scripted.ui.Modals.push_back([](QDialog& d) {
    QTest::mouseClick(static_cast<TFormCut&>(d).BitBtnOK, Qt::LeftButton);
    return d.result();
  });
  EXPECT_EQ(TheUi().ShowModal(form), mrOk);
  EXPECT_EQ(Text(form.EditW), "   640");
}

TEST_F(CutDialog, RatioLabelShowsOnlyWithoutTheCheckBox) {
  form.cbxAnyTime->hide();
  form.FormShow();
  EXPECT_TRUE(form.LbRatio->isVisible());
  form.cbxAnyTime->show();
  form.FormShow();
  EXPECT_FALSE(form.LbRatio->isVisible());
}
