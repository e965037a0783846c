// Text drawn onto pictures: outlined text.
#include "Imgtools.h"

void DrawOutlinedText(TCanvas& c, int x, int y, TColor text, TColor outline, int height, int d,
                      const std::string& s) {
  c.Brush.Style = bsClear;
  c.Font.Height = height;
  c.Font.Color = outline;
  for (int i = 0; i < 9; ++i) c.TextOut(x + d * (i % 3 - 1), y + d * (i / 3 - 1), s);
  c.Font.Color = text;
  c.TextOut(x, y, s);
}
