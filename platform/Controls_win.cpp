#include "platform/Controls_win.h"

#include <vector>

#include "platform/Utf.h"

namespace tolvar {

HWND CreateControl(HWND parent, const ControlSpec& params) {
  DWORD style = WS_CHILD | params.style;
  if (params.visible) style |= WS_VISIBLE;
  const HWND control = ::CreateWindowExW(params.exStyle, params.className, Utf8ToUtf16(params.text).c_str(), style, params.left,
                                         params.top, params.width, params.height, parent,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(params.id)),
                                         ::GetModuleHandleW(nullptr), nullptr);
  if (control && params.font) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(params.font), FALSE);
  return control;
}

UniqueFont CreateFontByHeight(const wchar_t* face, int height, int weight) {
  LOGFONTW font{};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
  return UniqueFont(::CreateFontIndirectW(&font));
}

SIZE MeasureText(HWND window, HFONT font, std::string_view text, int width, UINT flags) {
  std::wstring wide = Utf8ToUtf16(text);
  if (wide.empty()) wide = L" ";
  const WindowDC dc(window);
  const SelectObjectScope selected(dc.get(), font);
  RECT bounds{0, 0, width, 0};
  ::DrawTextW(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &bounds, flags | DT_CALCRECT);
  return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void SetText(HWND window, std::string_view text) { ::SetWindowTextW(window, Utf8ToUtf16(text).c_str()); }

std::string GetText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, buffer.data(), length + 1);
  return Utf16ToUtf8(std::wstring_view(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0)));
}

}  // namespace tolvar
