// The main view's arithmetic: fitting the picture, the two mappings, frame dragging, and the
// texts of the status line and colour readout. No widgets.
#pragma once
#include <string>

#include "platform/Bitmap.h"

// Where a W × H picture is drawn in a box of boxW × boxH pixels (margins of at least 6).
TRect FitViewRect(int W, int H, int boxW, int boxH);

// Picture ↔ view pixels; Right and Bottom stay exclusive. A picture or view one pixel wide
// or high maps with 1 as the divisor.
TRect ImageToScreen(const TRect& r, int W, int H, const TRect& view);
TRect ScreenToImage(const TRect& r, int W, int H, const TRect& view);

// Clamps a pointer position to the drawn picture.
TPoint ClampToView(int x, int y, const TRect& view);

// The screen frame of a left drag from anchor to p (both clamped), shrunk to the ratio
// ratioW : ratioH toward the anchor when ratioW · ratioH ≠ 0.
TRect DragFrame(TPoint anchor, TPoint p, const TRect& view, int ratioW, int ratioH);

// A moved frame pinned inside the W × H picture, keeping the size fw × fh at an edge.
TRect PinFrame(TRect r, int fw, int fh, int W, int H);

std::string StatusLineText(int W, int H, const TRect& cut, const std::string& shotDate);

struct ColourReadout {
  std::string R, G, B, Y;  // "R007" …
  TColor Colour;
};
ColourReadout ReadoutFor(TColor c);
