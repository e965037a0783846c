#include "platform/widgets/Cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
TCursor current = crDefault;

Qt::CursorShape Shape(TCursor c) {
  switch (c) {
    case crHourGlass: return Qt::WaitCursor;
    case crDrag: return Qt::DragMoveCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}
}  // namespace

void SetScreenCursor(TCursor c) {
  if (c == current) return;
  if (c == crDefault) {
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
  } else if (current == crDefault) {
    QGuiApplication::setOverrideCursor(QCursor(Shape(c)));
  } else {
    QGuiApplication::changeOverrideCursor(QCursor(Shape(c)));
  }
  current = c;
}

TCursor ScreenCursor() { return current; }
