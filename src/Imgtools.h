// Pixel algorithms: free functions over TBitmap and rectangles (32-bit pixels B, G, R, X).
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

// The one luminance of the program, 0 … 255.
constexpr int Luma(int r, int g, int b) { return (5 * r + 9 * g + 2 * b) >> 4; }

// The argument set of every effect limited to the frame; Inverted = outside the frame.
struct EffectArgs {
  TBitmap& Bmp;
  TRect Frame;
  bool Ellipse;
  bool Inverted;
};

// Nine copies of the text in the outline colour on the 3 × 3 grid of offsets -d, 0, +d,
// then the text itself; clear brush, font height as given.
void DrawOutlinedText(TCanvas& c, int x, int y, TColor text, TColor outline, int height, int d,
                      const std::string& s);
