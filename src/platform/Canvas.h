// TCanvas: the drawing surface of a bitmap, of a paint box on screen or of a printer page.
#pragma once
#include <memory>
#include <string>

#include "platform/Types.h"

class TBitmap;
class TCanvasTarget;

enum TPenStyle { psSolid, psClear };
enum TBrushStyle { bsSolid, bsClear };

struct TPen {
  TColor Color = clBlack;
  TPenStyle Style = psSolid;
  int Width = 1;
};

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
};

struct TFont {
  std::string Name = "ＭＳ Ｐゴシック";
  int Height = 12;  // > 0: cell height in pixels; < 0: em size -Height
  TColor Color = clBlack;
  bool Bold = false;
};

class TCanvas {
 public:
  explicit TCanvas(TCanvasTarget& target);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TPen Pen;
  TBrush Brush;
  TFont Font;

  TRect ClipRect() const;  // (0, 0, width, height) of the surface

  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // the end point is not drawn
  TPoint PenPos() const { return penPos_; }

  void Ellipse(int x1, int y1, int x2, int y2);  // inscribed in the box, Right/Bottom exclusive
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);  // one pixel just inside r, brush colour

  // Top-left of the text cell at (x, y); a solid brush also fills the cell.
  void TextOut(int x, int y, const std::string& text);
  int TextWidth(const std::string& text);
  int TextHeight(const std::string& text);

  void Draw(int x, int y, const TBitmap& bmp);
  // Nearest-neighbour: enlarging repeats pixels, reducing drops them.
  void StretchDraw(const TRect& r, const TBitmap& bmp);
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);

  TColor Pixel(int x, int y) const;  // 0 outside the surface
  void SetPixel(int x, int y, TColor c);

  TCanvasTarget& Target() { return target_; }

 private:
  TCanvasTarget& target_;
  TPoint penPos_;
};

// Faces named by the system, mapped to installed Japanese faces; call once at start-up.
void InstallFontSubstitutions();
