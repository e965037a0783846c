// One print job on a QPrinter: a page canvas whose painter stays open until the job ends.
#pragma once
#include <QPainter>
#include <QPrinter>

#include "platform/Canvas.h"
#include "platform/CanvasTarget.h"

class TPrintJob : private TCanvasTarget {
 public:
  explicit TPrintJob(QPrinter& printer);  // begins the document; throws when it cannot
  ~TPrintJob() override;                   // ends the document

  TCanvas& Canvas() { return canvas_; }
  // The printable area in device pixels.
  int PageWidth() const;
  int PageHeight() const;

 private:
  QImage* Image() override { return nullptr; }
  QPaintDevice* Device() override { return &printer_; }
  QPainter* Painter() override { return &painter_; }

  QPrinter& printer_;
  QPainter painter_;
  TCanvas canvas_;
};
