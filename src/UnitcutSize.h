// The cut-size dialog's arithmetic: reading and showing the numbers, the presets, the preview.
#pragma once
#include <optional>
#include <string>
#include <utility>

#include "platform/Types.h"

// The C library's atol rules (leading blanks, a sign, digits up to the first other character,
// 0 when there are none), clamped to 32 bits.
int ReadSizeNumber(const std::string& text);
// Right-aligned in six characters, or empty for 0.
std::string SizeText(int n);
// A preset caption "1600x900" (or "1600.900") as width and height texts.
std::pair<std::string, std::string> SplitPresetCaption(const std::string& caption);
// The red outline of a w × h shape fitted into a bw × bh preview; none when w · h = 0.
std::optional<TRect> PreviewShape(int w, int h, int bw, int bh);
