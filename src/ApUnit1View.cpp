// TForm1: the fitted view of the working image, the cut frame, the mouse and the readouts.
#include <QApplication>
#include <QKeyEvent>
#include <QCheckBox>
#include <QLabel>
#include <QToolButton>
#include <QListWidget>

#include "ApUnit1.h"
#include "ApUnit1Geometry.h"
#include "platform/Canvas.h"
#include "platform/widgets/Cursor.h"
#include "platform/widgets/Guard.h"
#include "platform/widgets/PaintBox.h"

void TForm1::PaintBox1Paint() {
  ViewBitmap.SetSize(frameGeometry().width(), frameGeometry().height());
  if (WorkBitmap.Empty()) return;
  TCanvas& vc = ViewBitmap.Canvas();
  vc.Brush.Style = bsSolid;
  vc.Brush.Color = clGray;
  vc.FillRect({0, 0, ViewBitmap.Width(), ViewBitmap.Height()});
  const int W = WorkBitmap.Width(), H = WorkBitmap.Height();
  ViewRect = FitViewRect(W, H, PaintBox1->Width(), PaintBox1->Height());
  if (ViewRect.Width() == W && ViewRect.Height() == H) vc.Draw(ViewRect.Left, ViewRect.Top, WorkBitmap);
  else vc.StretchDraw(ViewRect, WorkBitmap);
  PaintBox1->Canvas().Draw(0, 0, ViewBitmap);
  DrawCutFrame();
}

void TForm1::ShowPicture(bool resetFrame) {
  setWindowTitle(QString::fromStdString(TitlePrefix + CurrentFileName));
  if (resetFrame) CutRect = {0, 0, WorkBitmap.Width(), WorkBitmap.Height()};
  if (WorkBitmap.Empty()) {
    TCanvas& c = PaintBox1->Canvas();
    c.Brush.Style = bsSolid;
    c.Brush.Color = c.Pixel(0, 0);
    c.FillRect(c.ClipRect());
    return;
  }
  PaintBox1->Repaint();
}

TRect TForm1::ImageToScreen(const TRect& r) const {
  return ::ImageToScreen(r, WorkBitmap.Width(), WorkBitmap.Height(), ViewRect);
}

TRect TForm1::ScreenToImage(const TRect& r) const {
  return ::ScreenToImage(r, WorkBitmap.Width(), WorkBitmap.Height(), ViewRect);
}

void TForm1::DrawCutFrame() {
  if (CutRect.Left < 0 || CutRect.Bottom < 0) CutRect = {0, 0, WorkBitmap.Width(), WorkBitmap.Height()};
  CutScreenRect = ImageToScreen(CutRect);
  TCanvas& c = PaintBox1->Canvas();
  c.Pen = {clRed, psSolid, 1};
  const int x1 = CutScreenRect.Left - 1, y1 = CutScreenRect.Top - 1;
  const int x2 = CutScreenRect.Right, y2 = CutScreenRect.Bottom;
  if (CbxEllip->isChecked()) {
    const TBrushStyle old = c.Brush.Style;
    c.Brush.Style = bsClear;
    c.Ellipse(x1, y1, x2, y2);
    c.Ellipse(x1 - 1, y1 - 1, x2 + 1, y2 + 1);
    c.Brush.Style = old;
  }
  for (int d = 0; d <= 1; ++d) {
    c.MoveTo(x1 - d, y1 - d);
    c.LineTo(x2 + d, y1 - d);
    c.LineTo(x2 + d, y2 + d);
    c.LineTo(x1 - d, y2 + d);
    c.LineTo(x1 - d, y1 - d);
  }
  lbPictureSize->setText(QString::fromStdString(
      StatusLineText(WorkBitmap.Width(), WorkBitmap.Height(), CutRect, Info.ShotDate)));
}

void TForm1::RedrawFrame() {
  PaintBox1->Canvas().Draw(0, 0, ViewBitmap);
  DrawCutFrame();
}

void TForm1::ShowHourGlass() {
  const int x = (PaintBox1->Width() - ImgHourGlass.Width()) / 2;
  const int y = (PaintBox1->Height() - ImgHourGlass.Height()) / 2;
  PaintBox1->Canvas().Draw(x, y, ImgHourGlass);
  PaintBox1->repaint();
}

void TForm1::PaintBox1MouseDown(Qt::MouseButton button, int X, int Y) {
  if (button == Qt::LeftButton) {
    anchor_ = ClampToView(X, Y, ViewRect);
    freshPress_ = true;
    SetScreenCursor(crDrag);
  } else if (button == Qt::RightButton) {
    const TRect& s = CutScreenRect;
    moveStart_ = (s.Left <= X && X < s.Right && s.Top <= Y && Y < s.Bottom) ? TPoint{X, Y} : TPoint{-1, -1};
    moveFrame_ = CutScreenRect;
    SetScreenCursor(crSizeAll);
  }
}

void TForm1::PaintBox1MouseUp(Qt::MouseButton, int, int) { SetScreenCursor(crDefault); }

void TForm1::PaintBox1MouseMove(Qt::MouseButtons buttons, int X, int Y) {
  if (buttons & Qt::LeftButton) {
    const TPoint p = ClampToView(X, Y, ViewRect);
    if (freshPress_ && std::abs(anchor_.X - p.X) < 32 && std::abs(anchor_.Y - p.Y) < 32) return;
    freshPress_ = false;
    CutScreenRect = DragFrame(anchor_, p, ViewRect, SrcRatioW, SrcRatioH);
    CutRect = ScreenToImage(CutScreenRect);
    RedrawFrame();
    X = p.X;
    Y = p.Y;
  } else if ((buttons & Qt::RightButton) && moveStart_.X >= 0) {
    const int dx = X - moveStart_.X, dy = Y - moveStart_.Y;
    CutScreenRect = {moveFrame_.Left + dx, moveFrame_.Top + dy, moveFrame_.Right + dx, moveFrame_.Bottom + dy};
    const int fw = CutRect.Right - CutRect.Left, fh = CutRect.Bottom - CutRect.Top;
    CutRect = PinFrame(ScreenToImage(CutScreenRect), fw, fh, WorkBitmap.Width(), WorkBitmap.Height());
    RedrawFrame();
  }
  ColourReadoutAt(X, Y);
}

void TForm1::ColourReadoutAt(int X, int Y) {
  const TRect at = ScreenToImage({X, Y, X, Y});
  const int ix = at.Left, iy = at.Top;
  TColor c = 0;
  if (ix >= 0 && ix < WorkBitmap.Width() && iy > 0 && iy < WorkBitmap.Height() - 1) {
    const uint8_t* p = WorkBitmap.ScanLine(iy) + ix * WorkBitmap.BytesPerPixel();
    c = RGB(p[kR], p[kG], p[kB]);
  }
  const ColourReadout r = ReadoutFor(c);
  LbR->setText(QString::fromStdString(r.R));
  LbG->setText(QString::fromStdString(r.G));
  LbB->setText(QString::fromStdString(r.B));
  LbY->setText(QString::fromStdString(r.Y));
  QPalette pal = PnlColorMon->palette();
  pal.setColor(QPalette::Window, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
  PnlColorMon->setPalette(pal);
}

void TForm1::BtnHOMEClick(QObject*) {
  CutRect = {0, 0, WorkBitmap.Width(), WorkBitmap.Height()};
  PaintBox1->Canvas().Draw(0, 0, ViewBitmap);
  if (CbxEllip->isChecked()) CbxEllip->setChecked(false);  // runs CbxEllipClick
  DrawCutFrame();
}

void TForm1::CbxEllipClick(QObject*) {
  RedrawFrame();
  FileList1->setFocus();
}

void TForm1::keyPressEvent(QKeyEvent* e) {
  Guard([&] { FormKeyDown(e->key(), e->modifiers()); });
}

void TForm1::FormKeyDown(int Key, Qt::KeyboardModifiers Shift) {
  switch (Key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      ExecuteCut(Shift.testFlag(Qt::ShiftModifier) || AskSizeEveryCut);
      break;
    case Qt::Key_Home:
      BtnHOMEClick(BtnHOME);
      break;
    default:
      break;
  }
}
