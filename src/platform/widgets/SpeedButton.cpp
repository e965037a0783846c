#include "platform/widgets/SpeedButton.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QToolButton>

#include "Designassist.h"

namespace {
// State i of the strip, with the pixels of the bottom-left colour made transparent.
QPixmap StateOf(const TBitmap& strip, int i, int n) {
  const int sw = strip.Width() / n, sh = strip.Height();
  const uint8_t* key = strip.ScanLine(sh - 1);
  QImage img(sw, sh, QImage::Format_ARGB32);
  const int bpp = strip.BytesPerPixel();
  for (int y = 0; y < sh; ++y) {
    const uint8_t* p = strip.ScanLine(y) + std::size_t(i) * sw * bpp;
    auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < sw; ++x, p += bpp) {
      const bool clear = p[kB] == key[kB] && p[kG] == key[kG] && p[kR] == key[kR];
      out[x] = clear ? qRgba(0, 0, 0, 0) : qRgb(p[kR], p[kG], p[kB]);
    }
  }
  return QPixmap::fromImage(img);
}
}  // namespace

void PaintSpeedButton(QToolButton* button, const TBitmap* base, uint32_t up, uint32_t disabled, uint32_t pressed,
                      uint32_t held) {
  TFaceButton face;
  face.Name = button->objectName().toStdString();
  face.Width = button->width();
  face.Height = button->height();
  face.Caption = button->text().toStdString();
  face.Font.Name = "ＭＳ Ｐゴシック";
  face.Font.Height = -13;
  face.Font.Color = clNavy;
  if (!PaintButtonFace(face, base, up, disabled, pressed, held)) return;
  const int n = face.NumGlyphs;
  QIcon icon;
  icon.addPixmap(StateOf(face.Glyph, 0, n), QIcon::Normal, QIcon::Off);
  icon.addPixmap(StateOf(face.Glyph, 1, n), QIcon::Disabled, QIcon::Off);
  icon.addPixmap(StateOf(face.Glyph, 1, n), QIcon::Disabled, QIcon::On);
  icon.addPixmap(StateOf(face.Glyph, 2, n), QIcon::Active, QIcon::Off);
  icon.addPixmap(StateOf(face.Glyph, 3, n), QIcon::Normal, QIcon::On);
  icon.addPixmap(StateOf(face.Glyph, 3, n), QIcon::Active, QIcon::On);
  button->setText(QString::fromStdString(face.Caption));
  button->setIcon(icon);
  button->setIconSize(QSize(face.Glyph.Width() / n, face.Glyph.Height()));
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  button->setStyleSheet("QToolButton { border: none; padding: 0; margin: 0; }");
}
