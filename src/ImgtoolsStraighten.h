// Perspective straightening: a quadrilateral marked over the picture becomes an upright rectangle.
#pragma once
#include <array>

#include "platform/Bitmap.h"

// A point of the trapezoid view, in floating point.
struct TPointF {
  double X = 0, Y = 0;
  friend constexpr bool operator==(const TPointF&, const TPointF&) = default;
};

// Strength of the distance correction: the item index of the trapezoid window's radio group.
enum TStraightenStrength : int {
  kStraightenNone = 0,    // "無": rows evenly spaced
  kStraightenWeak = 1,    // "弱": k = 0.95
  kStraightenMedium = 2,  // "中": k = 0.86
  kStraightenStrong = 3,  // "強": k = 0.78
};  // any other value: no correction

// The row curve t(e) = A·e² + B·e (e = 1 at the top row, 0 at the bottom row).
struct TDistanceCorrection {
  double A = 0, B = 1;
};
// For the top and bottom edge lengths (bias included) after relabelling.
TDistanceCorrection DistanceCorrection(double top, double bottom, int strength);

// Replaces the picture (made 32-bit) by the quadrilateral corners[0..3] (top-left, top-right,
// bottom-right, bottom-left, in the coordinates of a view showing the picture in pictureRect)
// straightened to a rectangle; what lies outside the picture is white, the fourth byte 0.
// The corners are relabelled in place: the edge pair that differs more in length becomes top
// and bottom, the shorter of the two (within 5 %) the top; the output follows the relabelled
// corners. Returns false and changes neither picture nor corners when the quadrilateral is too
// small to give one output pixel, or the picture, rectangle or corners are unusable (empty,
// a picture side over 2^27 pixels, not finite, absurdly far off); throws std::runtime_error,
// changing nothing, when the output would be too large.
bool StraightenQuad(TBitmap& picture, std::array<TPointF, 4>& corners, const TRect& pictureRect, int strength);
