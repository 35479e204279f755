// The program's own bitmap resources at the size of a display scale, with their
// pink key colour (ff00ff) turned into the colour of the surface they are shown on.
#pragma once

#include <windows.h>

#include "platform/DpiScale.h"
#include "platform/Handle_win.h"

namespace tolvar {

// Loads bitmap resource `name` of the program, `count` images of
// designedWidth x designedHeight side by side, at `scale` (see LoadBitmapStrip);
// an empty bitmap when it is missing.
UniqueBitmap LoadBitmapOnSurface(const wchar_t* name, int count, int designedWidth, int designedHeight,
                                 const DpiScale& scale, COLORREF surface);

// Draws image `index` of a strip of equally wide images at (x, y).
void DrawStripImage(HDC dc, HBITMAP strip, int imageWidth, int imageHeight, int index, int x, int y);

}  // namespace tolvar
