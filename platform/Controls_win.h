// Creating standard controls from small argument structs, so that a window's
// layout reads as a table of its designed coordinates.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/Handle_win.h"

namespace tolvar {

struct ControlSpec {
  const wchar_t* className = L"STATIC";
  std::string text;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  DWORD style = 0;  // added to WS_CHILD
  DWORD exStyle = 0;
  int id = 0;
  bool visible = true;
  HFONT font = nullptr;
};

// Creates a child control of parent; nullptr on failure.
HWND CreateControl(HWND parent, const ControlSpec& params);

// A font of the given face and pixel height (negative: character height, as the
// designed layouts give it).
UniqueFont CreateFontByHeight(const wchar_t* face, int height, int weight = FW_NORMAL);

// The size of `text` as DrawText lays it out with `font` on `window`'s display
// context in a rectangle `width` wide, with `flags` (DT_CALCRECT is added). An
// empty text measures as one line, as a label shows it.
SIZE MeasureText(HWND window, HFONT font, std::string_view text, int width, UINT flags);

void SetText(HWND window, std::string_view text);
std::string GetText(HWND window);

}  // namespace tolvar
