#include "ApUnit1Pictures.h"

#include <algorithm>

#include "Imgtools.h"
#include "platform/Canvas.h"

const char* const kMakerCredit = "作成：北見市 タルン工房";

void DrawStartPicture(TBitmap& bmp, const std::string& versionText) {
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(420, 354);
  // A sky-to-meadow gradient with a darker band behind the title.
  for (int y = 0; y < bmp.Height(); ++y) {
    uint8_t* p = bmp.ScanLine(y);
    const int t = y * 255 / (bmp.Height() - 1);
    const bool band = y >= 120 && y < 190;
    for (int x = 0; x < bmp.Width(); ++x, p += 4) {
      const int shade = (x * 24) / bmp.Width();
      p[kR] = uint8_t(std::clamp(150 - t / 4 - shade - (band ? 60 : 0), 0, 255));
      p[kG] = uint8_t(std::clamp(200 - t / 6 - shade - (band ? 70 : 0), 0, 255));
      p[kB] = uint8_t(std::clamp(250 - t / 3 - (band ? 60 : 0), 0, 255));
      p[kX] = 0;
    }
  }
  TCanvas& c = bmp.Canvas();
  c.Brush.Style = bsClear;
  c.Font.Bold = true;
  DrawOutlinedText(c, 16, 16, clNavy, clWhite, 96, 2, "画像");
  DrawOutlinedText(c, 250, 20, clBlack, clWhite, 28, 1, "Kestrelframe");
  DrawOutlinedText(c, 250, 52, clWhite, clBlack, 16, 1, versionText);
  DrawOutlinedText(c, 16, 130, clYellow, clBlack, 42, 1, "切り取り、拡大/縮小");
  DrawOutlinedText(c, 70, 220, clNavy, clWhite, 16, 1, kMakerCredit);
  c.Font.Bold = false;
  DrawOutlinedText(c, 24, 300, clBlack, clWhite, 24, 2, "加工する｢画像｣を読み込んで下さい.");
  c.Brush.Style = bsSolid;
}

void DrawHourGlass(TBitmap& bmp) {
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(64, 64);
  TCanvas& c = bmp.Canvas();
  c.Brush.Style = bsSolid;
  c.Brush.Color = clSilver;
  c.FillRect({0, 0, 64, 64});
  c.Brush.Color = 0x404040;
  c.FrameRect({0, 0, 64, 64});
  // Two caps and a glass narrowing to the middle, sand in the lower bulb.
  c.Brush.Color = 0x2050A0;
  c.FillRect({12, 6, 52, 11});
  c.FillRect({12, 53, 52, 58});
  for (int y = 11; y < 53; ++y) {
    const int d = y < 32 ? y - 11 : 52 - y;
    const int half = std::max(2, 18 - d * 16 / 21);
    c.Brush.Color = 0xF0F0F0;
    c.FillRect({32 - half, y, 32 + half, y + 1});
    const bool sand = (y >= 40) || (y >= 22 && y < 32 && half < 8) || (y >= 32 && half < 3);
    if (sand) {
      c.Brush.Color = 0x40B0E0;
      c.FillRect({32 - half + 1, y, 32 + half - 1, y + 1});
    }
    c.SetPixel(32 - half - 1, y, 0x404040);
    c.SetPixel(32 + half, y, 0x404040);
  }
}
