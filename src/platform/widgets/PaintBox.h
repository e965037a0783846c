// TPaintBox: a widget with a drawing surface that keeps what was drawn on it. Paint and
// mouse events are forwarded to the owning form's handlers.
#pragma once
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/Canvas.h"
#include "platform/CanvasTarget.h"

class TPaintBox : public QWidget, private TCanvasTarget {
  Q_OBJECT
 public:
  explicit TPaintBox(QWidget* parent = nullptr);
  ~TPaintBox() override;

  TCanvas& Canvas() { return canvas_; }
  int Width() const { return width(); }
  int Height() const { return height(); }
  // Redraws the whole box through OnPaint now.
  void Repaint();

  std::function<void()> OnPaint;
  std::function<void(Qt::MouseButton, int x, int y)> OnMouseDown, OnMouseUp;
  std::function<void(Qt::MouseButtons, int x, int y)> OnMouseMove;

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  QImage* Image() override;
  QPaintDevice* Device() override { return Image(); }
  void Changed() override;

  QImage backing_;
  TCanvas canvas_;
  bool needsPaint_ = true;
  bool painting_ = false;
};
