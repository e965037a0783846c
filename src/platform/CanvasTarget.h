// What a TCanvas draws on: an image in memory (bitmap, paint box backing store) or a device.
#pragma once

class QImage;
class QPaintDevice;
class QPainter;

class TCanvasTarget {
 public:
  virtual ~TCanvasTarget() = default;
  // The surface's pixels (Format_RGB32 or Format_BGR888), or nullptr when it is a device
  // without memory pixels (a printer page) or has no pixels yet.
  virtual QImage* Image() = 0;
  // Where QPainter draws; the image itself when Image() is not null.
  virtual QPaintDevice* Device() = 0;
  // A painter that stays open for the whole surface (a print job), or nullptr: then every
  // operation opens its own painter on Device().
  virtual QPainter* Painter() { return nullptr; }
  // Called after every drawing operation.
  virtual void Changed() {}
};
