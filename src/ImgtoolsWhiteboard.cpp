// Whiteboard cleaning: white board, dark strokes, marker colours kept; worked at most 1600 wide.
#include "ImgtoolsRows.h"

#include <vector>

using namespace imgtools;

namespace {

// Row-wise running sums of one byte of every pixel: Sum(y, a, b) = Σ byte(x, y), a <= x <= b.
class RowSums {
 public:
  RowSums(const TBitmap& b, int channel) : w_(b.Width()), s_(std::size_t(b.Width() + 1) * b.Height()) {
    for (int y = 0; y < b.Height(); ++y) {
      const uint8_t* p = b.ScanLine(y) + channel;
      int32_t* __restrict s = s_.data() + std::size_t(y) * (w_ + 1);
      s[0] = 0;
      for (int x = 0; x < w_; ++x) s[x + 1] = s[x] + p[4 * x];
    }
  }
  int Sum(int y, int a, int b) const {
    const int32_t* s = s_.data() + std::size_t(y) * (w_ + 1);
    return s[b + 1] - s[a];
  }

 private:
  int w_;
  std::vector<int32_t> s_;
};

struct Range2 {
  int x0, y0, x1, y1;
};
Range2 Inset(const TBitmap& b, int L, int T, int R, int B, int left, int right) {
  return {std::max(L, left), std::max(T, left), std::min(R, b.Width() - right), std::min(B, b.Height() - right)};
}

// Copies of three consecutive rows as they were before the stage wrote any of them.
class RowWindow {
 public:
  RowWindow(const TBitmap& b, int y) : b_(b) {
    for (int i = 0; i < 3; ++i) Load(rows_[i], y - 1 + i);
  }
  const uint8_t* Up() const { return rows_[0].data(); }
  const uint8_t* Own() const { return rows_[1].data(); }
  const uint8_t* Down() const { return rows_[2].data(); }
  // Moves down to row y; call before row y is written.
  void Next(int y) {
    rows_[0].swap(rows_[1]);
    rows_[1].swap(rows_[2]);
    Load(rows_[2], y + 1);
  }

 private:
  void Load(std::vector<uint8_t>& row, int y) const {
    const uint8_t* p = b_.ScanLine(y);
    row.assign(p, p + std::size_t(b_.Width()) * 4);
  }
  const TBitmap& b_;
  std::vector<uint8_t> rows_[3];
};

int Max3(int a, int b, int c) { return std::max(a, std::max(b, c)); }

}  // namespace

void MarkerRestore(TBitmap& bmp, int L, int T, int R, int B) {
  bmp.SetPixelFormat(pf32bit);
  const int W = bmp.Width(), H = bmp.Height();
  for (int y = 0; y < H; ++y) {
    uint8_t* __restrict p = bmp.ScanLine(y);
    for (int x = 0; x < W; ++x) p[4 * x + kX] = static_cast<uint8_t>(Luma(p[4 * x + kR], p[4 * x + kG], p[4 * x + kB]));
  }
  const Range2 r = Inset(bmp, L, T, R, B, 4, 4);
  if (r.x0 >= r.x1 || r.y0 >= r.y1) return;
  // K9 is -1 over 57 places (half widths 1, 2, 3, 4, 4, 4, 3, 2, 1 by row) plus 5 6 5 / 6 13 6 /
  // 5 6 5 on the centre: Σ K9 · X = 5 · corners + 6 · edges + 13 · centre - Σ over the 57.
  static constexpr int kHalf[9] = {1, 2, 3, 4, 4, 4, 3, 2, 1};
  const RowSums sums(bmp, kX);
  for (int y = r.y0; y < r.y1; ++y) {
    const uint8_t* up = bmp.ScanLine(y - 1);
    const uint8_t* down = bmp.ScanLine(y + 1);
    uint8_t* p = bmp.ScanLine(y);
    for (int x = r.x0; x < r.x1; ++x) {
      int wide = 0;
      for (int j = 0; j < 9; ++j) wide += sums.Sum(y - 4 + j, x - kHalf[j], x + kHalf[j]);
      const int i = 4 * x + kX;
      const int centre = 5 * (up[i - 4] + up[i + 4] + down[i - 4] + down[i + 4]) +
                         6 * (up[i] + down[i] + p[i - 4] + p[i + 4]) + 13 * p[i];
      const int a = (centre - wide) / 57;
      const int bf = Clamp255(2 * a + 255), cf = Clamp255(8 * a + 255);
      uint8_t* q = p + 4 * x;
      int Rn = q[kR], Gn = q[kG], Bn = q[kB];
      const int Y = q[kX];
      if (Y < 32) {
        Rn = Gn = Bn = Y;
      } else {
        const int M = Max3(Rn, Gn, Bn);
        Rn = 255 * Rn / M;
        Gn = 255 * Gn / M;
        Bn = 255 * Bn / M;
      }
      if (Rn > std::max(Gn, Bn) + 16) {
        Rn = Rn * bf / 255, Gn = Gn * cf / 255, Bn = Bn * cf / 255;
      } else if (Bn > std::max(Gn, Rn) + 16) {
        Rn = Rn * cf / 255, Gn = Gn * cf / 255, Bn = Bn * bf / 255;
      } else if (Gn > std::max(Bn, Rn) + 16) {
        Rn = Rn * cf / 255, Gn = Gn * bf / 255, Bn = Bn * cf / 255;
      } else {
        Rn = Gn = Bn = cf;
      }
      q[kR] = static_cast<uint8_t>(Rn);
      q[kG] = static_cast<uint8_t>(Gn);
      q[kB] = static_cast<uint8_t>(Bn);
    }
  }
}

void BoostStrokes(TBitmap& bmp, int L, int T, int R, int B) {
  bmp.SetPixelFormat(pf32bit);
  const Range2 r = Inset(bmp, L, T, R, B, 5, 5);
  if (r.x0 >= r.x1 || r.y0 >= r.y1) return;
  // K10 is -1 over 76 places (rows dy -4 … 5 spanning dx -1…2, -2…3, -3…4, four times -4…5,
  // -3…4, -2…3, -1…2) and 18 on the 2 × 2 centre block: Σ = 19 · block - Σ over the 76.
  static constexpr int kFrom[10] = {-1, -2, -3, -4, -4, -4, -4, -3, -2, -1};
  const RowSums planes[3] = {RowSums(bmp, kB), RowSums(bmp, kG), RowSums(bmp, kR)};
  const int channel[3] = {kB, kG, kR};
  for (int y = r.y0; y < r.y1; ++y) {
    uint8_t* p = bmp.ScanLine(y);
    for (int x = r.x0; x < r.x1; ++x)
      for (int c = 0; c < 3; ++c) {
        const RowSums& s = planes[c];
        int wide = 0;
        for (int j = 0; j < 10; ++j) wide += s.Sum(y - 4 + j, x + kFrom[j], x + 1 - kFrom[j]);
        const int block = s.Sum(y, x, x + 1) + s.Sum(y + 1, x, x + 1);
        p[4 * x + channel[c]] = static_cast<uint8_t>(ClampTo((19 * block - wide) / 14 + 255, 0, 235));
      }
  }
}

void ColourStrokes(TBitmap& bmp, int L, int T, int R, int B) {
  bmp.SetPixelFormat(pf32bit);
  const Range2 r = Inset(bmp, L, T, R, B, 1, 1);
  if (r.x0 >= r.x1 || r.y0 >= r.y1) return;
  RowWindow win(bmp, r.y0);
  for (int y = r.y0; y < r.y1; ++y) {
    const uint8_t *up = win.Up(), *own = win.Own(), *down = win.Down();
    uint8_t* out = bmp.ScanLine(y);
    for (int x = r.x0; x < r.x1; ++x) {
      int s[4];
      for (int c : {kB, kG, kR}) {
        const int i = 4 * x + c;
        const int ring = up[i - 4] + up[i] + up[i + 4] + own[i - 4] + own[i + 4] + down[i - 4] + down[i] + down[i + 4];
        s[c] = (ring + 30 * own[i]) / 38;
      }
      const int sR = s[kR], sG = s[kG], sB = s[kB];
      const int Ys = (5 * sR + 9 * sG + 2 * sB) >> 4;
      const int Y0 = Luma(own[4 * x + kR], own[4 * x + kG], own[4 * x + kB]);
      const int grey = (Ys * 12) >> 4;
      int Rn, Gn, Bn;
      if (std::max(sG, sR) + 8 < sB) {
        Bn = std::min(255, sB + 5 * (sB - std::max(sG, sR)));
        Rn = Gn = grey;
      } else if (std::max(sB, sR) + 8 < sG) {
        Gn = std::min(255, sG + (sG - std::max(sB, sR)));
        Rn = Bn = grey;
      } else if (std::max(sG, sB) + 12 < sR) {
        Rn = std::min(255, sR + 2 * (sR - std::max(sG, sB)));
        Gn = Bn = grey;
      } else {
        Rn = Gn = Bn = Y0 < Ys ? grey : 255;
      }
      out[4 * x + kR] = static_cast<uint8_t>(Rn);
      out[4 * x + kG] = static_cast<uint8_t>(Gn);
      out[4 * x + kB] = static_cast<uint8_t>(Bn);
    }
    if (y + 1 < r.y1) win.Next(y + 1);
  }
}

void FillGaps(TBitmap& bmp, int L, int T, int R, int B) {
  bmp.SetPixelFormat(pf32bit);
  const Range2 r = Inset(bmp, L, T, R, B, 1, 1);
  if (r.x0 >= r.x1 || r.y0 >= r.y1) return;
  RowWindow win(bmp, r.y0);
  for (int y = r.y0; y < r.y1; ++y) {
    const uint8_t *up = win.Up(), *own = win.Own(), *down = win.Down();
    uint8_t* out = bmp.ScanLine(y);
    for (int x = r.x0; x < r.x1; ++x) {
      const uint8_t* q = own + 4 * x;
      if (Luma(q[kR], q[kG], q[kB]) < 220) continue;
      int n = 1, sum = q[kR] + q[kG] + q[kB];
      for (const uint8_t* nb : {up + 4 * x, q - 4, q + 4, down + 4 * x})
        if (nb[kG] < 200) {
          sum += nb[kR] + nb[kG] + nb[kB];
          ++n;
        }
      if (n >= 3) {
        const uint8_t v = static_cast<uint8_t>((sum / (3 * n) + 255) >> 1);
        out[4 * x + kR] = out[4 * x + kG] = out[4 * x + kB] = v;
      }
    }
    if (y + 1 < r.y1) win.Next(y + 1);
  }
}

void WhiteboardClean(TBitmap& bmp, const TRect& frame, bool strong) {
  bmp.SetPixelFormat(pf32bit);
  // A frame reaching past the picture is worked on where it covers the picture.
  const int L = std::max(frame.Left, 0), T = std::max(frame.Top, 0);
  const int R = std::min<int>(frame.Right, bmp.Width()), B = std::min<int>(frame.Bottom, bmp.Height());
  if (L >= R || T >= B) return;
  const int w = R - L, h = B - T;
  const double f = 1600.0 / w < 1 ? 1600.0 / w : 1;
  TBitmap& framed = ScratchBitmap(f < 1 ? kScratchFull : kScratchWork, w, h);
  for (int y = 0; y < h; ++y) std::memcpy(framed.ScanLine(y), bmp.ScanLine(T + y) + std::ptrdiff_t(L) * 4, std::size_t(w) * 4);
  TBitmap* work = &framed;
  if (f < 1) {
    const int sw = static_cast<int>(w * f), sh = static_cast<int>(h * f);
    work = &ScratchBitmap(kScratchWork, sw, sh);
    ResampleInto(*work, 0, 0, sw, sh, framed);
  }
  const int W = work->Width(), H = work->Height();
  ContrastUp({*work, {0, 0, W, H}, false, false}, 1.2);
  if (strong) {
    BoostStrokes(*work, 0, 0, W, H);
    ColourStrokes(*work, 5, 5, W - 5, H - 5);
  } else {
    MarkerRestore(*work, 0, 0, W, H);
  }
  FillGaps(*work, 0, 0, W, H);
  if (f < 1) {
    ResampleInto(framed, 0, 0, framed.Width(), framed.Height(), *work);
    work = &framed;
    for (int y = 0; y < h; ++y) {
      uint8_t* __restrict p = framed.ScanLine(y);
      for (int x = 0; x < w; ++x)
        for (int c : {kB, kG, kR})
          if (p[4 * x + c] > 250) p[4 * x + c] = 255;
    }
  }
  // Colours only: the work copy's fourth byte holds scratch luminance.
  for (int y = 0; y < h; ++y) {
    const uint8_t* __restrict s = work->ScanLine(y);
    uint8_t* __restrict d = bmp.ScanLine(T + y) + std::ptrdiff_t(L) * 4;
    for (int x = 0; x < w; ++x) {
      d[4 * x + kB] = s[4 * x + kB];
      d[4 * x + kG] = s[4 * x + kG];
      d[4 * x + kR] = s[4 * x + kR];
    }
  }
}
