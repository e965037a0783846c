// The view, the frame and the mouse, driven through real mouse events on the paint box.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

#include "ApUnit1Geometry.h"
#include "FormFixture.h"

namespace {
void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

void Drag(QWidget* w, Qt::MouseButton button, std::initializer_list<QPoint> path) {
  auto it = path.begin();
  Mouse(w, QEvent::MouseButtonPress, *it, button, button);
  for (++it; it != path.end(); ++it) Mouse(w, QEvent::MouseMove, *it, Qt::NoButton, button);
  Mouse(w, QEvent::MouseButtonRelease, *(path.end() - 1), button, Qt::NoButton);
}

class ViewMouse : public testing::Test {
 protected:
  void SetUp() override {
    form = env.Start();
    pb = form->PaintBox1;
  }
  // Screen point of picture pixel (x, y) on a 1:1 view.
  QPoint At(int x, int y) const { return {form->ViewRect.Left + x, form->ViewRect.Top + y}; }

  FormEnv env;
  std::unique_ptr<TForm1> form;
  TPaintBox* pb = nullptr;
};

std::string Str(const TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
         std::to_string(r.Bottom);
}
}  // namespace

TEST_F(ViewMouse, StartPictureIsShownFittedWithTheFrameOverIt) {
  EXPECT_EQ(form->WorkBitmap.Width(), 420);
  EXPECT_EQ(form->WorkBitmap.Height(), 354);
  EXPECT_EQ(Str(form->CutRect), "0,0,420,354");
  EXPECT_EQ(Str(form->ViewRect), Str(FitViewRect(420, 354, pb->Width(), pb->Height())));
  // The picture's pixels are on screen 1:1, and the red frame lies just outside them.
  TCanvas& c = pb->Canvas();
  const TRect v = form->ViewRect;
  EXPECT_EQ(c.Pixel(v.Left + 200, v.Top + 300) & 0xFFFFFF,
            PixelToColor(reinterpret_cast<const uint32_t*>(form->WorkBitmap.ScanLine(300))[200]));
  for (int d = 1; d <= 2; ++d) {
    EXPECT_EQ(c.Pixel(v.Left - d, v.Top + 100), clRed) << d;
    EXPECT_EQ(c.Pixel(v.Right - 1 + d, v.Top + 100), clRed) << d;
    EXPECT_EQ(c.Pixel(v.Left + 100, v.Top - d), clRed) << d;
    EXPECT_EQ(c.Pixel(v.Left + 100, v.Bottom - 1 + d), clRed) << d;
  }
  EXPECT_EQ(c.Pixel(v.Left - 3, v.Top + 100), clGray);
}

TEST_F(ViewMouse, LargePictureIsFittedKeepingItsProportions) {
  ShowPlainPicture(*form, 4000, 1000, clWhite);
  const TRect v = form->ViewRect;
  EXPECT_EQ(v.Left, 6);
  EXPECT_EQ(v.Right, pb->Width() - 6);
  EXPECT_EQ(v.Bottom - v.Top - 1, (pb->Width() - 13) * 999 / 3999);
}

TEST_F(ViewMouse, ShortDragKeepsTheFrame) {
  ShowPlainPicture(*form, 640, 480, clWhite);
  form->CutRect = {10, 20, 110, 70};
  form->RedrawFrame();
  Drag(pb, Qt::LeftButton, {At(300, 300), At(331, 320), At(290, 269)});
  EXPECT_EQ(Str(form->CutRect), "10,20,110,70");
}

TEST_F(ViewMouse, LeftDragDrawsANewFrame) {
  ShowPlainPicture(*form, 640, 480, clWhite);
  Drag(pb, Qt::LeftButton, {At(100, 100), At(300, 250)});
  EXPECT_EQ(Str(form->CutRect), "100,100,301,251");
  // Dragging past the picture clamps to it.
  Drag(pb, Qt::LeftButton, {At(600, 400), At(900, 700)});
  EXPECT_EQ(Str(form->CutRect), "600,400,640,480");
  EXPECT_EQ(form->lbPictureSize->text().toStdString(),
            "画像サイズ(幅,高)= (640, 480)    指定範囲 X,Y (幅,高)= 600, 400 (40, 80)  ");
}

TEST_F(ViewMouse, RatioDragUpLeftKeepsTheBottomRightAtTheAnchor) {
  ShowPlainPicture(*form, 640, 480, clWhite);
  form->SrcRatioW = 4;
  form->SrcRatioH = 3;
  Drag(pb, Qt::LeftButton, {At(500, 400), At(200, 250)});
  const TRect r = form->CutRect;
  EXPECT_EQ(r.Right, 501);
  EXPECT_EQ(r.Bottom, 401);
  EXPECT_EQ((r.Right - r.Left - 1) * 3, (r.Bottom - r.Top - 1) * 4) << Str(r);
  EXPECT_EQ(Str(r), "300,250,501,401");
}

TEST_F(ViewMouse, RightDragMovesTheFramePinnedAtTheEdges) {
  ShowPlainPicture(*form, 640, 480, clWhite);
  form->CutRect = {100, 100, 300, 200};
  form->RedrawFrame();
  Drag(pb, Qt::RightButton, {At(150, 150), At(170, 160)});
  EXPECT_EQ(Str(form->CutRect), "120,110,320,210");
  Drag(pb, Qt::RightButton, {At(150, 150), At(-400, 150)});
  EXPECT_EQ(Str(form->CutRect), "0,110,200,210");
  Drag(pb, Qt::RightButton, {At(50, 150), At(2000, 150)});
  EXPECT_EQ(Str(form->CutRect), "440,110,640,210");
}

TEST_F(ViewMouse, RightPressOutsideTheFrameMovesNothing) {
  ShowPlainPicture(*form, 640, 480, clWhite);
  form->CutRect = {100, 100, 300, 200};
  form->RedrawFrame();
  Drag(pb, Qt::RightButton, {At(400, 400), At(300, 300), At(10, 10)});
  EXPECT_EQ(Str(form->CutRect), "100,100,300,200");
}

TEST_F(ViewMouse, ReadoutFollowsThePointerButNotOnTheFirstAndLastRows) {
  ShowPlainPicture(*form, 64, 48, clWhite);
  form->WorkBitmap.ScanLine(10)[0 * 4 + kR] = 0;  // pixel (0, 10) becomes cyan
  struct Case {
    int x, y;
    const char *r, *g, *b, *y_;
  } cases[] = {
      {5, 5, "R255", "G255", "B255", "Y255"}, {0, 10, "R000", "G255", "B255", "Y175"},
      {5, 0, "R000", "G000", "B000", "Y000"}, {5, 47, "R000", "G000", "B000", "Y000"},
      {-3, 5, "R000", "G000", "B000", "Y000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    Mouse(pb, QEvent::MouseMove, At(c.x, c.y), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(form->LbR->text().toStdString(), c.r);
    EXPECT_EQ(form->LbG->text().toStdString(), c.g);
    EXPECT_EQ(form->LbB->text().toStdString(), c.b);
    EXPECT_EQ(form->LbY->text().toStdString(), c.y_);
  }
  Mouse(pb, QEvent::MouseMove, At(5, 0), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(form->PnlColorMon->palette().color(QPalette::Window), QColor(0, 0, 0));
  Mouse(pb, QEvent::MouseMove, At(0, 10), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(form->PnlColorMon->palette().color(QPalette::Window), QColor(0, 255, 255));
}

TEST_F(ViewMouse, SelectAllResetsTheFrameAndTheEllipse) {
  ShowPlainPicture(*form, 640, 480, clWhite);
  form->CutRect = {10, 20, 110, 70};
  form->CbxEllip->setChecked(true);
  QTest::mouseClick(form->BtnHOME, Qt::LeftButton);
  EXPECT_EQ(Str(form->CutRect), "0,0,640,480");
  EXPECT_FALSE(form->CbxEllip->isChecked());
}

TEST_F(ViewMouse, EllipseBoxDrawsTheInscribedEllipse) {
  ShowPlainPicture(*form, 640, 480, clWhite);
  form->CutRect = {100, 100, 301, 201};
  QTest::mouseClick(form->CbxEllip, Qt::LeftButton);
  ASSERT_TRUE(form->CbxEllip->isChecked());
  // Ten rows below the top the ellipse crosses the row twice, well inside the frame's sides.
  TCanvas& c = pb->Canvas();
  const int y = At(0, 110).y();
  std::vector<int> red;
  for (int x = At(102, 0).x(); x < At(299, 0).x(); ++x)
    if (c.Pixel(x, y) == clRed) red.push_back(x - At(0, 0).x());
  ASSERT_FALSE(red.empty());
  EXPECT_LT(red.front(), 160);
  EXPECT_GT(red.back(), 240);
  EXPECT_EQ(c.Pixel(At(200, 110).x(), y), clWhite);
  // Unticking takes the ellipse away again.
  QTest::mouseClick(form->CbxEllip, Qt::LeftButton);
  EXPECT_EQ(c.Pixel(At(0, 0).x() + red.front(), y), clWhite);
}

TEST_F(ViewMouse, OnePixelWidePictureCanBeShownAndFramed) {
  ShowPlainPicture(*form, 1, 300, clWhite);
  EXPECT_EQ(form->ViewRect.Right - form->ViewRect.Left, 1);
  Drag(pb, Qt::LeftButton, {At(0, 10), At(0, 200)});
  EXPECT_EQ(Str(form->CutRect), "0,10,1,201");
  Mouse(pb, QEvent::MouseMove, At(0, 50), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(form->LbY->text().toStdString(), "Y255");
}

TEST_F(ViewMouse, HourGlassIsDrawnCentredOnTheView) {
  form->ShowHourGlass();
  const int x = (pb->Width() - 64) / 2, y = (pb->Height() - 64) / 2;
  TCanvas& c = pb->Canvas();
  for (int dy = 0; dy < 64; dy += 9)
    for (int dx = 0; dx < 64; dx += 7)
      ASSERT_EQ(c.Pixel(x + dx, y + dy), form->ImgHourGlass.Canvas().Pixel(dx, dy)) << dx << "," << dy;
  // A repaint of the view takes it away again.
  form->ShowPicture(false);
  QApplication::processEvents();
  const TRect v = form->ViewRect;
  ASSERT_TRUE(x > v.Left && y > v.Top && x + 64 < v.Right && y + 64 < v.Bottom);  // over the start picture
  EXPECT_EQ(c.Pixel(x, y), form->WorkBitmap.Canvas().Pixel(x - v.Left, y - v.Top));
}
