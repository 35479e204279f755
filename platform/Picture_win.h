// The program's picture resources at the size a display scale asks for, and
// pictures turned into GDI bitmaps and icons. A picture is stored as drawn; for
// a larger size it is doubled first (pixel art's Scale2x rules, which keeps it
// sharp), then resampled to the exact size (Picture.h).
#pragma once

#include <windows.h>

#include "platform/DpiScale.h"
#include "platform/Handle_win.h"
#include "platform/Picture.h"

namespace tolvar {

// Bitmap resource `name` (24-bit, pink ff00ff marking transparent pixels) with
// `count` images of designedWidth x designedHeight side by side, at `scale`.
// Empty when the resource is missing or not such a bitmap.
Picture LoadBitmapStrip(const wchar_t* name, int count, int designedWidth, int designedHeight, const DpiScale& scale);

// The picture of size designedSize x designedSize at `scale` from a whole .ico
// file stored as an RCDATA resource: from its smallest image that is at least
// as large, else from its largest, doubled. Empty when there is none.
Picture LoadIconFilePicture(int resourceId, int designedSize, const DpiScale& scale);

// A 24-bit bitmap of the picture shown on an opaque surface of colour `surface`.
UniqueBitmap BitmapOnSurface(const Picture& picture, COLORREF surface);

// A bitmap for a masked image list: opaque pixels on `surface`, the others in
// `key` (the image list's mask colour).
UniqueBitmap BitmapWithKey(const Picture& picture, COLORREF surface, COLORREF key);

// An icon with the picture's alpha.
UniqueIcon IconFromPicture(const Picture& picture);

}  // namespace tolvar
