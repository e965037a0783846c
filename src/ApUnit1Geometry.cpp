#include "ApUnit1Geometry.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Imgtools.h"

namespace {
int64_t NonZero(int64_t v) { return v == 0 ? 1 : v; }
}  // namespace

TRect FitViewRect(int W, int H, int boxW, int boxH) {
  const int64_t aw = boxW - 13, ah = boxH - 13, w1 = W - 1, h1 = H - 1;
  int64_t dw, dh;
  if (w1 < aw && h1 < ah) {
    dw = w1;
    dh = h1;
  } else if (w1 * ah > h1 * aw) {
    dw = aw;
    dh = aw * h1 / NonZero(w1);
  } else {
    dh = ah;
    dw = ah * w1 / NonZero(h1);
  }
  // A box smaller than the margins still gets a drawn area of one pixel.
  dw = std::max<int64_t>(dw, 0);
  dh = std::max<int64_t>(dh, 0);
  TRect v;
  v.Left = int32_t((aw - dw) / 2 + 6);
  v.Top = int32_t((ah - dh) / 2 + 6);
  v.Right = int32_t(v.Left + dw + 1);
  v.Bottom = int32_t(v.Top + dh + 1);
  return v;
}

TRect ImageToScreen(const TRect& r, int W, int H, const TRect& view) {
  const int64_t w1 = NonZero(W - 1), h1 = NonZero(H - 1);
  const int64_t vw = view.Right - view.Left - 1, vh = view.Bottom - view.Top - 1;
  return {int32_t(r.Left * vw / w1 + view.Left), int32_t(r.Top * vh / h1 + view.Top),
          int32_t((int64_t(r.Right) - 1) * vw / w1 + view.Left + 1),
          int32_t((int64_t(r.Bottom) - 1) * vh / h1 + view.Top + 1)};
}

TRect ScreenToImage(const TRect& r, int W, int H, const TRect& view) {
  const int64_t w1 = W - 1, h1 = H - 1;
  const int64_t vw = NonZero(view.Right - view.Left - 1), vh = NonZero(view.Bottom - view.Top - 1);
  return {int32_t((int64_t(r.Left) - view.Left) * w1 / vw), int32_t((int64_t(r.Top) - view.Top) * h1 / vh),
          int32_t((int64_t(r.Right) - 1 - view.Left) * w1 / vw + 1),
          int32_t((int64_t(r.Bottom) - 1 - view.Top) * h1 / vh + 1)};
}

TPoint ClampToView(int x, int y, const TRect& view) {
  return {std::clamp(x, view.Left, std::max(view.Left, view.Right - 1)),
          std::clamp(y, view.Top, std::max(view.Top, view.Bottom - 1))};
}

TRect DragFrame(TPoint anchor, TPoint p, const TRect& view, int ratioW, int ratioH) {
  TRect s{std::min(anchor.X, p.X), std::min(anchor.Y, p.Y), std::max(anchor.X, p.X) + 1,
          std::max(anchor.Y, p.Y) + 1};
  if (int64_t(ratioW) * ratioH != 0) {
    int64_t fw = s.Right - s.Left - 1, fh = s.Bottom - s.Top - 1;
    if (int64_t(ratioW) * fh < int64_t(ratioH) * fw) fw = fh * ratioW / ratioH;
    else fh = fw * ratioH / ratioW;
    if (anchor.X == s.Left) s.Right = int32_t(std::min<int64_t>(s.Left + fw + 1, view.Right));
    else s.Left = int32_t(std::max<int64_t>(s.Right - fw - 1, view.Left));
    if (anchor.Y == s.Top) s.Bottom = int32_t(std::min<int64_t>(s.Top + fh + 1, view.Bottom));
    else s.Top = int32_t(std::max<int64_t>(s.Bottom - fh - 1, view.Top));
  }
  return s;
}

TRect PinFrame(TRect r, int fw, int fh, int W, int H) {
  if (r.Left < 0) {
    r.Left = 0;
    r.Right = fw;
  } else if (r.Right > W) {
    r.Right = W;
    r.Left = W - fw;
  }
  if (r.Top < 0) {
    r.Top = 0;
    r.Bottom = fh;
  } else if (r.Bottom > H) {
    r.Bottom = H;
    r.Top = H - fh;
  }
  return r;
}

std::string StatusLineText(int W, int H, const TRect& cut, const std::string& shotDate) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "(%d, %d)", W, H);
  std::string s = std::string("画像サイズ(幅,高)= ") + buf + "    " + "指定範囲 X,Y (幅,高)= ";
  std::snprintf(buf, sizeof buf, "%d, %d (%d, %d)", cut.Left, cut.Top, cut.Right - cut.Left, cut.Bottom - cut.Top);
  return s + buf + "  " + shotDate;
}

ColourReadout ReadoutFor(TColor c) {
  const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  const int y = Luma(r, g, b);
  char buf[4][8];
  std::snprintf(buf[0], sizeof buf[0], "R%03d", r);
  std::snprintf(buf[1], sizeof buf[1], "G%03d", g);
  std::snprintf(buf[2], sizeof buf[2], "B%03d", b);
  std::snprintf(buf[3], sizeof buf[3], "Y%03d", y);
  return {buf[0], buf[1], buf[2], buf[3], c};
}
