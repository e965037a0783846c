// Button faces: from one small picture of a raised button, a strip of four tinted states with
// the button's glyph and caption.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

// What the painter needs of a speed button, and what it hands back.
struct TFaceButton {
  std::string Name;     // component name; names the developer dump "OBJ/<Name>.bmp"
  int Width = 0;        // the button's size in pixels
  int Height = 0;
  std::string Caption;  // drawn into the faces, then cleared
  TFont Font;           // the caption's font
  // In: the design-time glyph (may be empty). Out: the strip of NumGlyphs faces side by side,
  // each Glyph.Width() / NumGlyphs wide, in the order up, disabled, pressed, held down; pixels
  // of the bottom-left pixel's colour are to be shown transparent.
  TBitmap Glyph;
  int NumGlyphs = 1;
};

// State colours are pixel values 0x00RRGGBB (not TColor); 0 asks for these defaults.
constexpr uint32_t kFaceUpDefault = 0xFFFFFF;        // white
constexpr uint32_t kFaceDisabledDefault = 0x808080;  // grey
constexpr uint32_t kFacePressedDefault = 0xAAFFAA;   // light green
constexpr uint32_t kFaceHeldDefault = 0xFFFFAA;      // light yellow

// Paints the button's strip from base (nullptr: a white base of the button's size), sets
// NumGlyphs to 4 and clears the caption. A button too small for a face (under 6 × 4 pixels)
// is left unchanged and false returned.
bool PaintButtonFace(TFaceButton& button, const TBitmap* base, uint32_t up, uint32_t disabled, uint32_t pressed,
                     uint32_t held);

// How often the grey copy of the base picture has been built; it is kept between calls and
// rebuilt only for a base picture of other size or pixels.
int GreyBaseBuilds();

// The work face (twice the final size) and one state of the strip, for a bw × bh button.
struct TButtonFaceSizes {
  int WorkWidth, WorkHeight, StateWidth, StateHeight;
};
TButtonFaceSizes ButtonFaceSizes(int bw, int bh);

// Where the caption goes in a state of sw × sh after a glyph margin of pad: the height fitted
// by measuring with the canvas's own font, the measured width, and the text's top-left
// relative to the state. When the state is too low to fit a height of 8, the caption is
// centred by its width in drawFont, the font it is drawn in.
struct TCaptionPlace {
  int X, Y, Height, Width;
};
TCaptionPlace FitButtonCaption(TCanvas& measure, const TFont& drawFont, const std::string& caption, int sw, int sh,
                               int pad);

// The 28 × 28 picture of a raised button (24 bits): a light face shading from top to bottom, a
// light top edge, a dark shadow right and below, silver corners outside the rounded outline.
void DrawButtonBase(TBitmap& bmp);
