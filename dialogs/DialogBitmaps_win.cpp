#include "dialogs/DialogBitmaps_win.h"

namespace tolvar {
namespace {

constexpr BYTE kKeyRed = 0xFF;
constexpr BYTE kKeyGreen = 0x00;
constexpr BYTE kKeyBlue = 0xFF;

}  // namespace

UniqueBitmap LoadBitmapOnSurface(const wchar_t* name, COLORREF surface) {
  // As a DIB section the pixels can be rewritten in place.
  UniqueBitmap bitmap(static_cast<HBITMAP>(
      ::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) return bitmap;
  DIBSECTION section{};
  if (::GetObjectW(bitmap.get(), sizeof section, &section) != sizeof section || section.dsBm.bmBitsPixel != 24 ||
      !section.dsBm.bmBits) {
    return bitmap;
  }
  auto* rows = static_cast<BYTE*>(section.dsBm.bmBits);
  for (LONG y = 0; y < section.dsBm.bmHeight; ++y) {
    BYTE* pixel = rows + static_cast<std::size_t>(y) * static_cast<std::size_t>(section.dsBm.bmWidthBytes);
    for (LONG x = 0; x < section.dsBm.bmWidth; ++x, pixel += 3) {
      if (pixel[0] == kKeyBlue && pixel[1] == kKeyGreen && pixel[2] == kKeyRed) {
        pixel[0] = GetBValue(surface);
        pixel[1] = GetGValue(surface);
        pixel[2] = GetRValue(surface);
      }
    }
  }
  ::GdiFlush();
  return bitmap;
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
