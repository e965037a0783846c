#include "Unitopening.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/QtBitmap.h"

TfmOpening::TfmOpening(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("fmOpening");
  resize(460, 264);
  Panel1 = new QFrame(this);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setLineWidth(4);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(Panel1);
  Image1 = new QLabel(Panel1);
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* inner = new QVBoxLayout(Panel1);
  inner->setContentsMargins(4, 4, 4, 4);
  inner->addWidget(Image1);
}

void TfmOpening::ShowPicture(const TBitmap& picture) {
  resize(picture.Width() + 8, height());
  Image1->setPixmap(QPixmap::fromImage(ToQImage(picture)));
  if (const QScreen* s = QApplication::primaryScreen()) move(s->geometry().center() - rect().center());
  show();
  repaint();
}
