// Pixel algorithms: free functions over TBitmap and rectangles (32-bit pixels B, G, R, X).
// Every operation sets the bitmap to 32 bits before touching pixels.
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

// The frame shape test, armed once per operation from the unclipped frame.
struct FrameShapeTest {
  int64_t L, T, R, B;
  int64_t Rx, Ry, Cx, Cy;
  int64_t Inner, Outer;  // (Rx - 1)², Rx²
  bool Ellipse, Inverted;
};

FrameShapeTest FrameShapeSetup(const TRect& r, bool ellipse, bool inverted);

// 0 = outside (leave the pixel), 1 = inside (apply), 2 = edge ring of the ellipse (apply).
inline int FrameShape(const FrameShapeTest& t, int x, int y) {
  if (y < t.T || y >= t.B || x < t.L || x >= t.R) return t.Inverted ? 1 : 0;
  if (!t.Ellipse) return t.Inverted ? 0 : 1;
  const int64_t dx = x - t.Cx;
  const int64_t dy = ((y - t.Cy) * t.Rx) / t.Ry;
  const int64_t d = dx * dx + dy * dy;
  if (d < t.Inner) return t.Inverted ? 0 : 1;
  if (d < t.Outer) return 2;
  return t.Inverted ? 1 : 0;
}

// Outside the inscribed ellipse of the whole bitmap: pixels become pixelValue; the one-pixel
// edge ring becomes the per-channel average with it (X = 0).
void FillOutsideEllipse(TBitmap& bmp, uint32_t pixelValue);

// Draws the whole of src into (L, T, R, B) of dst: a copy for equal sizes, block averages when
// a side is at least halved, bilinear otherwise. A side under 2 pixels of either bitmap is
// first grown to 2.
void ResampleInto(TBitmap& dst, int L, int T, int R, int B, TBitmap& src);

// dst becomes a soft, widely blurred copy of src (same size): repeated halving down to the
// limit, then one bilinear enlargement. src is not changed.
void HalvingBlur(TBitmap& dst, TBitmap& src, int limit);

// Tone and colour.
void ContrastUp(const EffectArgs& a, double factor);
void DarkContrast(const EffectArgs& a);
void GreyScale(const EffectArgs& a);
void WhiteBlackSwap(const EffectArgs& a);

// 3 × 3 kernels in row-major order (row above, own row, row below); divisor = sum of weights.
using Kernel3x3 = std::array<int16_t, 9>;
inline constexpr Kernel3x3 kBlurKernel{1, 1, 1, 1, 1, 1, 1, 1, 1};
inline constexpr Kernel3x3 kSharpenKernel{-1, -1, -1, -1, 24, -1, -1, -1, -1};
inline constexpr Kernel3x3 kStampSoftenKernel{1, 1, 1, 1, 4, 1, 1, 1, 1};

// Neighbourhood filters. The blur command runs Convolve3x3 with kBlurKernel three times.
void Convolve3x3(const EffectArgs& a, const std::array<int16_t, 9>& kernel);
void Mosaic(const EffectArgs& a, bool coarse);
void EdgeRelief(const EffectArgs& a);

// Two-level black and white.
void ErrorDiffusion(const EffectArgs& a);
void Letterpress(TBitmap& bmp, TRect& frame, bool ellipse);  // shrinks frame to whole 4 × 4 blocks
// The 19 × 19 halftone tile sheet: 16 tiles of 4 × 4, pitch 5, red lines between them.
void MakeImgMono16(TBitmap& sheet);

// Geometry and decoration.
void RotateQuarter(TBitmap& bmp, bool left);
void MirrorImage(TBitmap& bmp);
void ScaleByPercent(TBitmap& bmp, TRect& cutRect, int percent);  // sets cutRect to the whole picture first
void AddMargin(TBitmap& bmp, TRect& cutRect, bool blue);         // leaves the margin colour as brush colour
void AddRightMargin(TBitmap& bmp);
void Border3D(TBitmap& bmp, int n);

// Text drawn onto pictures through the bitmap's canvas.
void InsertText(TBitmap& bmp, const TRect& frame, const std::string& text, std::optional<TColor> colour);
// Nine copies of the text in the outline colour on the 3 × 3 grid of offsets -d, 0, +d,
// then the text itself; clear brush, font height as given.
void DrawOutlinedText(TCanvas& c, int x, int y, TColor text, TColor outline, int height, int d,
                      const std::string& s);
// The shot date (YYYY:MM:DD[ HH:MM:SS]) in white at the bottom right, as YYYY.MM.DD.
void StampShotDate(TBitmap& bmp, const std::string& text);

// Whiteboard cleaning of the frame (as a rectangle, clipped to the picture); strong = Shift.
void WhiteboardClean(TBitmap& bmp, const TRect& frame, bool strong);
// Its stages, in place on the work copy; each clips (L, T, R, B) to its own margin.
void MarkerRestore(TBitmap& bmp, int L, int T, int R, int B);
void BoostStrokes(TBitmap& bmp, int L, int T, int R, int B);
void ColourStrokes(TBitmap& bmp, int L, int T, int R, int B);
void FillGaps(TBitmap& bmp, int L, int T, int R, int B);
