// The built-in pictures of the main window, drawn in code.
#pragma once
#include <string>

#include "platform/Bitmap.h"

// The 420 × 354 start picture with its six outlined texts.
void DrawStartPicture(TBitmap& bmp, const std::string& versionText);
// The 64 × 64 hour glass shown on the view during long commands.
void DrawHourGlass(TBitmap& bmp);

// The maker's credit line of the start picture and the status bar.
extern const char* const kMakerCredit;
