// Helpers of the thumbnail tests: a clock that moves, small picture files, pictures decoded by
// outside tools, and cells of the sheet compared with what they should show.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "PictureioThumbs.h"
#include "platform/Bitmap.h"
#include "support/ScriptedUi.h"

// The scripted Ui with a clock that moves on by Step milliseconds at every reading.
class SteppingUi : public ScriptedUi {
 public:
  uint32_t Step = 0;
  uint32_t TickCount() override {
    const uint32_t t = Tick;
    Tick += Step;
    return t;
  }
};

class ScopedSteppingUi {
 public:
  ScopedSteppingUi() { SetUi(&ui); }
  ~ScopedSteppingUi() { SetUi(nullptr); }
  SteppingUi ui;
};

// A w x h BMP file of one colour.
void WriteSolidBmp(const std::string& fileName, int w, int h, TColor colour);

TColor PixelAt(const TBitmap& bmp, int x, int y);  // B, G, R as a TColor

// A picture decoded by an outside tool (a command writing a binary PPM to standard output) as
// a 32-bit bitmap; empty (and a test failure) when the command fails.
void DecodeWithTool(TBitmap& bmp, const std::string& command);
std::string Quote(const std::string& path);

// The 64 x 64 box the picture should give: FitPictureInBox into a fresh box.
void ExpectedCell(TBitmap& cell, const TBitmap& picture);
// Largest channel difference between cell `cell` of the sheet and the expected box; describes
// the worst pixel in *where.
int CellDifference(const TBitmap& sheet, int cell, const TBitmap& expected, std::string* where);

// The cell number of each line of the index.
std::vector<int> Cells(const TThumbList& list);
