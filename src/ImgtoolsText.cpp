// Text drawn onto pictures: outlined text, free text at the frame, the shot-date stamp.
#include "ImgtoolsRows.h"

#include <vector>

using namespace imgtools;

void DrawOutlinedText(TCanvas& c, int x, int y, TColor text, TColor outline, int height, int d,
                      const std::string& s) {
  c.Brush.Style = bsClear;
  c.Font.Height = height;
  c.Font.Color = outline;
  for (int i = 0; i < 9; ++i) c.TextOut(x + d * (i % 3 - 1), y + d * (i / 3 - 1), s);
  c.Font.Color = text;
  c.TextOut(x, y, s);
}

void InsertText(TBitmap& bmp, const TRect& frame, const std::string& text, std::optional<TColor> colour) {
  bmp.SetPixelFormat(pf32bit);
  TCanvas& c = bmp.Canvas();
  if (colour) c.Font.Color = *colour;
  c.Font.Height = ClampTo(frame.Bottom - frame.Top, 8, 1024);
  c.Font.Name = "ＭＳ Ｐゴシック";
  c.Brush.Style = bsClear;
  c.TextOut(frame.Left, frame.Top, text);
  c.Brush.Style = bsSolid;
}

namespace {

// Byte offsets where the UTF-8 characters of s begin.
std::vector<std::size_t> CharStarts(const std::string& s) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < s.size(); ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) starts.push_back(i);
  return starts;
}

// At most 19 characters, with the date's separators written as dots: 2022.09.26 14:05:33.
std::string StampText(const std::string& text) {
  const std::vector<std::size_t> starts = CharStarts(text);
  std::string s = starts.size() > 19 ? text.substr(0, starts[19]) : text;
  for (std::size_t n : {4, 7})
    if (n < starts.size() && starts[n] < s.size() && s[starts[n]] == ':') s[starts[n]] = '.';
  return s;
}

}  // namespace

void StampShotDate(TBitmap& bmp, const std::string& text) {
  bmp.SetPixelFormat(pf32bit);
  const int W = bmp.Width(), H = bmp.Height();
  const int s = std::max((std::min(W, H) / 20) / 2, 6);
  const int fh = 2 * s;
  TCanvas& c = bmp.Canvas();
  c.Font.Height = fh;
  c.Font.Bold = false;
  c.Font.Name = "ＭＳ ゴシック";
  const std::string t = StampText(text);
  const int w1 = c.TextWidth("@@@" + t), w2 = c.TextWidth("@@@");
  const int x = W - w1;
  const int y = static_cast<int>(H - 1.5 * fh);
  const int d = std::max(fh / 32, 1);
  const TColor outline = fh < 24 ? TColor(0x404040) : clBlack;
  DrawOutlinedText(c, x, y, clWhite, outline, fh, d, t);
  if (fh >= 24) Convolve3x3({bmp, {x - d, y - d, x + w1 + d, y + w2 + d}, false, false}, kStampSoftenKernel);
}
