// Row machinery shared by the pixel algorithms: effect range, the rows' selected spans,
// clamps and reusable scratch bitmaps. Include it first in every Imgtools source.
#pragma once

// The build's -O2 leaves loops with a remainder unvectorised; the pixel rows need it.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("tree-vectorize", "vect-cost-model=dynamic")
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "Imgtools.h"

namespace imgtools {

constexpr int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
constexpr int ClampTo(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

constexpr uint32_t kWhitePixel = 0x00FFFFFF;

inline uint32_t* Row32(TBitmap& b, int y) { return reinterpret_cast<uint32_t*>(b.ScanLine(y)); }
inline const uint32_t* Row32(const TBitmap& b, int y) {
  return reinterpret_cast<const uint32_t*>(b.ScanLine(y));
}

// Scan rectangle of an effect: the frame clipped to the picture, or the whole picture.
struct Range {
  int x0, y0, x1, y1;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

inline Range EffectRange(const TBitmap& b, const TRect& f, bool inverted) {
  if (inverted) return {0, 0, b.Width(), b.Height()};
  return {std::max(f.Left, 0), std::max(f.Top, 0), std::min<int>(f.Right, b.Width()),
          std::min<int>(f.Bottom, b.Height())};
}

// Half-open run of columns.
struct Span {
  int a, b;
};

// Columns of [x0, x1) on row y where FrameShape is not 0, as at most two runs; returns the count.
int SelectedSpans(const FrameShapeTest& t, int y, int x0, int x1, Span out[2]);

// Columns of row y inside [L, R) with dx² + dy² < limit (limit = t.Inner or t.Outer), clipped
// to [x0, x1); a.b <= a.a when there are none. Rectangles (no ellipse) give [L, R).
Span EllipseRun(const FrameShapeTest& t, int y, int64_t limit, int x0, int x1);

// Calls f(y, a, b) for every selected run of the effect range.
template <class F>
void ForEachSelectedRun(const FrameShapeTest& t, const Range& r, F&& f) {
  Span s[2];
  for (int y = r.y0; y < r.y1; ++y) {
    const int n = SelectedSpans(t, y, r.x0, r.x1, s);
    for (int i = 0; i < n; ++i) f(y, s[i].a, s[i].b);
  }
}

// Long-lived scratch bitmaps: a fresh picture-sized buffer costs more in page faults than most
// effects cost in arithmetic, so each slot keeps its buffer for the next command of that size.
// Slots kScratchHalf + n serve the n-th halving step.
enum : int { kScratchCopy, kScratchBlur, kScratchWork, kScratchFull, kScratchHalf };
// The 32-bit scratch bitmap of a slot, sized w × h; its pixels are left over from earlier use.
TBitmap& ScratchBitmap(int slot, int w, int h);

}  // namespace imgtools
