// Conversions between TBitmap and QImage (copies).
#pragma once
#include <QImage>

#include "platform/Bitmap.h"

QImage ToQImage(const TBitmap& bmp);                 // Format_RGB32
void AssignFromQImage(TBitmap& bmp, const QImage& img);  // 32-bit, X = 0
