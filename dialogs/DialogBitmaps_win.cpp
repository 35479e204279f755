#include "dialogs/DialogBitmaps_win.h"

#include "platform/Picture_win.h"

namespace tolvar {

UniqueBitmap LoadBitmapOnSurface(const wchar_t* name, int count, int designedWidth, int designedHeight,
                                 const DpiScale& scale, COLORREF surface) {
  return BitmapOnSurface(LoadBitmapStrip(name, count, designedWidth, designedHeight, scale), surface);
}

void DrawStripImage(HDC dc, HBITMAP strip, int imageWidth, int imageHeight, int index, int x, int y) {
  if (!strip) return;
  const HDC memory = ::CreateCompatibleDC(dc);
  if (!memory) return;
  {
    const SelectObjectScope select(memory, strip);
    ::BitBlt(dc, x, y, imageWidth, imageHeight, memory, index * imageWidth, 0, SRCCOPY);
  }
  ::DeleteDC(memory);
}

}  // namespace tolvar
