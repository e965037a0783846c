// TForm1: the cut ratio, the output size and the cut itself.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <cstring>

#include "ApUnit1.h"
#include "Imgtools.h"
#include "Unitcut.h"
#include "UnitcutSize.h"
#include "platform/Ui.h"
#include "platform/widgets/Cursor.h"

namespace {
QString SizeLabel(int w, int h, bool starsForZero) {
  auto side = [&](int v) { return v == 0 && starsForZero ? QString("**") : QString::number(v); };
  return "W" + side(w) + "：H" + side(h);
}
int NumberIn(const QLineEdit* e) { return ReadSizeNumber(e->text().toStdString()); }
}  // namespace

void TForm1::BtnSrcCutSizeClick(QObject* Sender) {
  FormCut->setWindowTitle("切り取りサイズの縦横比");
  FormCut->EditW->setText(QString::number(SrcRatioW));
  FormCut->EditH->setText(QString::number(SrcRatioH));
  FormCut->cbxAnyTime->hide();
  if (Sender && TheUi().ShowModal(*FormCut) == mrOk) {
    SrcRatioW = NumberIn(FormCut->EditW);
    SrcRatioH = NumberIn(FormCut->EditH);
    const int W = WorkBitmap.Width(), H = WorkBitmap.Height();
    if (SrcRatioW > 0) {
      CutRect.Right = CutRect.Left + std::min(SrcRatioW, W);
      if (const int e = CutRect.Right - W; e > 0) {
        CutRect.Left -= e;
        CutRect.Right -= e;
      }
    }
    if (SrcRatioH > 0) {
      CutRect.Bottom = CutRect.Top + std::min(SrcRatioH, H);
      if (const int e = CutRect.Bottom - H; e > 0) {
        CutRect.Top -= e;
        CutRect.Bottom -= e;
      }
    }
    if (SrcRatioW < 1 && SrcRatioH < 1) CutRect = {0, 0, W, H};
    RedrawFrame();
  }
  lbSrcCutSize->setText(int64_t(SrcRatioW) * SrcRatioH != 0 ? SizeLabel(SrcRatioW, SrcRatioH, false)
                                                             : QString("比率の指定なし"));
}

void TForm1::lbSrcCutSizeClick(QObject*) {
  SrcRatioW = SrcRatioH = 0;
  lbSrcCutSize->setText("比率の指定なし");
}

void TForm1::BtnDstCutSizeClick(QObject* Sender) {
  if (Sender) {
    FormCut->setWindowTitle("切取り後のサイズ");
    FormCut->EditW->setText(QString::number(DstWidth));
    FormCut->EditH->setText(QString::number(DstHeight));
    FormCut->cbxAnyTime->setChecked(AskSizeEveryCut);
    FormCut->cbxAnyTime->show();
    if (TheUi().ShowModal(*FormCut) == mrOk) {
      DstWidth = NumberIn(FormCut->EditW);
      DstHeight = NumberIn(FormCut->EditH);
      AskSizeEveryCut = FormCut->cbxAnyTime->isChecked();
    }
  }
  lbDstCutSize->setText(DstWidth != 0 || DstHeight != 0 ? SizeLabel(DstWidth, DstHeight, true)
                                                        : QString("サイズ指定なし"));
}

void TForm1::lbDstCutSizeClick(QObject*) {
  DstWidth = DstHeight = 0;
  lbDstCutSize->setText("サイズ指定なし");
}

void TForm1::CmdCutExecClick(QObject*) { ExecuteCut(AskSizeEveryCut); }

void TForm1::ExecuteCut(bool askSize) {
  if (askSize) BtnDstCutSizeClick(BtnDstCutSize);
  SetScreenCursor(crHourGlass);
  struct Restore {
    ~Restore() { SetScreenCursor(crDefault); }
  } restore;
  if (CutAndResize()) {
    PushUndo(true);
    CbxEllip->setChecked(false);
    ShowPicture(true);
  }
}

bool TForm1::CutAndResize() {
  const int W = WorkBitmap.Width(), H = WorkBitmap.Height();
  const TRect whole{0, 0, W, H};
  // The frame made by the mouse lies inside the picture; keys and commands keep it there too,
  // but a damaged frame must not read outside the picture.
  const TRect r{std::clamp(CutRect.Left, 0, W), std::clamp(CutRect.Top, 0, H), std::clamp(CutRect.Right, 0, W),
                std::clamp(CutRect.Bottom, 0, H)};
  // Negative sizes typed into the dialog count as not given.
  const int dstW = std::max(DstWidth, 0), dstH = std::max(DstHeight, 0);
  bool changed = false;
  auto copyFramed = [&](TBitmap& part) {
    part.SetPixelFormat(pf32bit);
    part.SetSize(r.Width(), r.Height());
    for (int y = 0; y < part.Height(); ++y)
      std::memcpy(part.ScanLine(y), WorkBitmap.ScanLine(r.Top + y) + std::size_t(r.Left) * 4,
                  std::size_t(part.Width()) * 4);
  };
  if (r.Width() > 0 && r.Height() > 0) {
    if (dstW == 0 && dstH == 0) {
      if (!(r == whole)) {
        TBitmap part;
        copyFramed(part);
        WorkBitmap.Swap(part);
        changed = true;
      }
    } else {
      int ow = dstW, oh = dstH;
      if (ow == 0) ow = int(int64_t(W) * dstH / H);
      if (oh == 0) oh = int(int64_t(H) * dstW / W);
      if (!(r == whole && ow == W && oh == H)) {
        TBitmap part;
        copyFramed(part);
        WorkBitmap.SetSize(ow, oh);
        ResampleInto(WorkBitmap, 0, 0, ow, oh, part);
        changed = true;
      }
    }
  }
  if (CbxEllip->isChecked()) {
    FillOutsideEllipse(WorkBitmap, 0x00FFFFFF);
    changed = true;
  }
  return changed;
}
