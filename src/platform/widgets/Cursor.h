// The screen cursor: one setting for the whole program, as the commands expect.
#pragma once

enum TCursor { crDefault, crHourGlass, crDrag, crSizeAll };

void SetScreenCursor(TCursor c);
TCursor ScreenCursor();
