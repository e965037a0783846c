// fmOpening: the borderless splash window that shows the start picture while the program starts.
#pragma once
#include <QWidget>

#include "platform/Bitmap.h"

class QLabel;
class QFrame;

class TfmOpening : public QWidget {
  Q_OBJECT
 public:
  explicit TfmOpening(QWidget* parent = nullptr);
  // Shows picture unscaled from the top-left corner; the window becomes its width + 8 wide.
  void ShowPicture(const TBitmap& picture);

  QFrame* Panel1;
  QLabel* Image1;
};
