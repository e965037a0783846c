// Speed buttons: a tool button showing a painted four-state face strip as its icon.
#pragma once
#include <cstdint>

class QToolButton;
class TBitmap;

// Paints the button's face from base with the state colours (0x00RRGGBB, 0 = default) and its
// current caption, then shows the faces instead of the caption: up as the normal icon, disabled,
// pressed as the active icon and held down as the checked one.
void PaintSpeedButton(QToolButton* button, const TBitmap* base, uint32_t up, uint32_t disabled = 0,
                      uint32_t pressed = 0, uint32_t held = 0);
