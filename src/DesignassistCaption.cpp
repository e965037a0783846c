// Placing a button's caption beside its glyph: the largest height that fits, then centred.
#include <algorithm>

#include "Designassist.h"

TCaptionPlace FitButtonCaption(TCanvas& measure, const TFont& drawFont, const std::string& caption, int sw, int sh,
                               int pad) {
  const int avail = sw - pad - 6;
  int h = std::min(sh - 8, 16);
  int w = 0;
  if (h >= 8) {
    for (; h >= 8; h -= 2) {
      measure.Font.Height = h;
      w = measure.TextWidth(caption);
      if (w <= avail) break;
    }
  } else {
    // Too low to fit a height: centred by the width it is drawn with.
    const TFont own = measure.Font;
    measure.Font = drawFont;
    w = measure.TextWidth(caption);
    measure.Font = own;
  }
  return {pad + (avail - w) / 2, (sh - h) / 2, h, w};
}
