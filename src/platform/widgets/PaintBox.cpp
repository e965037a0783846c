#include "platform/widgets/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/widgets/Guard.h"

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent), canvas_(*this) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TPaintBox::~TPaintBox() = default;

QImage* TPaintBox::Image() {
  const QSize s = size().expandedTo(QSize(1, 1));
  if (backing_.size() != s) {
    QImage fresh(s, QImage::Format_RGB32);
    fresh.fill(palette().color(QPalette::Window));
    if (!backing_.isNull()) QPainter(&fresh).drawImage(0, 0, backing_);
    backing_ = fresh;
  }
  return &backing_;
}

void TPaintBox::Changed() {
  if (!painting_) update();
}

void TPaintBox::Repaint() {
  needsPaint_ = true;
  repaint();
}

void TPaintBox::paintEvent(QPaintEvent*) {
  Image();
  if (needsPaint_ && OnPaint) {
    needsPaint_ = false;
    painting_ = true;
    Guard([&] { OnPaint(); });
    painting_ = false;
  }
  QPainter(this).drawImage(0, 0, backing_);
}

void TPaintBox::resizeEvent(QResizeEvent*) { needsPaint_ = true; }

void TPaintBox::mousePressEvent(QMouseEvent* e) {
  if (OnMouseDown) Guard([&] { OnMouseDown(e->button(), e->position().toPoint().x(), e->position().toPoint().y()); });
}

void TPaintBox::mouseMoveEvent(QMouseEvent* e) {
  if (OnMouseMove) Guard([&] { OnMouseMove(e->buttons(), e->position().toPoint().x(), e->position().toPoint().y()); });
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* e) {
  if (OnMouseUp) Guard([&] { OnMouseUp(e->button(), e->position().toPoint().x(), e->position().toPoint().y()); });
}
