#include "ApUnit1Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QIcon ToolGlyph(TToolGlyph g) {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(40, 40, 60);
  p.setPen(QPen(ink, 2));
  switch (g) {
    case TToolGlyph::Undo:
    case TToolGlyph::Redo: {
      if (g == TToolGlyph::Redo) {
        p.translate(32, 0);
        p.scale(-1, 1);
      }
      QPainterPath arc;
      arc.moveTo(9, 13);
      arc.cubicTo(14, 6, 28, 8, 26, 20);
      arc.cubicTo(25, 25, 20, 27, 16, 27);
      p.setPen(QPen(QColor(30, 90, 170), 3, Qt::SolidLine, Qt::RoundCap));
      p.drawPath(arc);
      p.setBrush(QColor(30, 90, 170));
      p.setPen(Qt::NoPen);
      p.drawPolygon(QPolygonF({QPointF(3, 12), QPointF(13, 5), QPointF(13, 19)}));
      break;
    }
    case TToolGlyph::Open:
      p.setBrush(QColor(240, 200, 90));
      p.drawRect(4, 9, 24, 18);
      p.setBrush(QColor(250, 225, 130));
      p.drawPolygon(QPolygonF({QPointF(4, 27), QPointF(9, 14), QPointF(31, 14), QPointF(28, 27)}));
      break;
    case TToolGlyph::Save:
      p.setBrush(QColor(70, 110, 190));
      p.drawRoundedRect(5, 5, 22, 22, 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(9, 6, 14, 8);
      p.setBrush(QColor(200, 200, 210));
      p.drawRect(10, 19, 12, 8);
      break;
    case TToolGlyph::Print:
      p.setBrush(Qt::white);
      p.drawRect(9, 4, 14, 10);
      p.setBrush(QColor(160, 160, 170));
      p.drawRoundedRect(4, 13, 24, 11, 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(9, 20, 14, 9);
      break;
  }
  return QIcon(pm);
}
