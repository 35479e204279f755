#include "dialogs/LabelLinkCtrl_win.h"

#include <windowsx.h>

#include "platform/Controls_win.h"
#include "platform/Utf.h"

namespace tolvar {

UniqueFont CreateLabelFont(const LabelFont& font, const DpiScale& scale) {
  LOGFONTW description{};
  description.lfHeight = scale.Scale(font.height);
  description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  description.lfItalic = font.italic ? TRUE : FALSE;
  description.lfUnderline = font.underline ? TRUE : FALSE;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfOutPrecision = OUT_DEFAULT_PRECIS;
  description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  description.lfQuality = DEFAULT_QUALITY;
  description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynW(description.lfFaceName, font.name.c_str(), LF_FACESIZE);
  return UniqueFont(::CreateFontIndirectW(&description));
}

TLabelLink::TLabelLink(HWND parent, int left, int top, int width, int height, int id) {
  // No background brush: the label is painted with its parent's colour.
  CreateWindowObject({.name = L"TolvarLabelLink", .background = nullptr},
                     {.style = WS_CHILD | WS_VISIBLE, .left = left, .top = top, .clientWidth = width,
                      .clientHeight = height, .parent = parent});
  ::SetWindowLongPtrW(Handle(), GWLP_ID, id);
  savedNormalFont_ = font_;
  ApplyFont();
}

void TLabelLink::SetFont(const LabelFont& font) {
  font_ = font;
  savedNormalFont_ = font;
  ApplyFont();
}

void TLabelLink::ChangeFont(const std::function<void(LabelFont&)>& change) {
  change(font_);
  FontChanged();
}

void TLabelLink::FontChanged() {
  // While the hover font is shown, its changes are not the normal font's.
  if (!hovering_) savedNormalFont_ = font_;
  ApplyFont();
}

void TLabelLink::SetMaxWidth(int width) {
  maxWidth_ = width;
  Rewrap(width);
}

std::string TLabelLink::Caption() const { return GetText(Handle()); }

void TLabelLink::SetCaption(std::string_view caption) {
  SetText(Handle(), caption);
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

UINT TLabelLink::DrawFlags() const {
  // Like a label: "&" marks an access key; long text wraps at word boundaries.
  return DT_LEFT | DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
}

int TLabelLink::TextHeight(int width) const {
  return MeasureText(Handle(), KeptFont(), Caption(), width, DrawFlags()).cy;
}

void TLabelLink::Rewrap(int width) {
  wordWrap_ = true;
  ::SetWindowPos(Handle(), nullptr, 0, 0, width, TextHeight(width), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TLabelLink::ApplyFont() {
  UniqueFont created = CreateLabelFont(font_, Dpi());
  if (created) KeepFont(std::move(created));
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TLabelLink::OnDpiChanged(const RECT*) { ApplyFont(); }

void TLabelLink::MouseEnter() {
  if (!linkEnabled_ || !hotTrack_) return;
  hovering_ = true;
  font_ = hotTrackFont_;
  FontChanged();
  Rewrap(maxWidth_);
}

void TLabelLink::MouseLeave() {
  if (!linkEnabled_ || !hotTrack_) return;
  hovering_ = false;
  SetFont(savedNormalFont_);
  Rewrap(maxWidth_);
}

void TLabelLink::Click() {
  if (onClick_) onClick_(*this);
  if (::IsWindowEnabled(Handle()) && linkEnabled_ && hotTrack_ && onLinkLabelExecute_) onLinkLabelExecute_(*this);
}

void TLabelLink::DblClick() {
  if (onDblClick_) onDblClick_(*this);
  if (::IsWindowEnabled(Handle()) && linkEnabled_ && !hotTrack_ && onLinkLabelExecute_) onLinkLabelExecute_(*this);
}

void TLabelLink::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = ::BeginPaint(Handle(), &paint);
  RECT client{};
  ::GetClientRect(Handle(), &client);
  // The parent decides the background, as it does for its static controls.
  auto brush = reinterpret_cast<HBRUSH>(
      ::SendMessageW(::GetParent(Handle()), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(Handle())));
  ::FillRect(dc, &client, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::IsWindowEnabled(Handle()) ? font_.color : ::GetSysColor(COLOR_GRAYTEXT));
  const SelectObjectScope font(dc, KeptFont());
  const std::wstring text = Utf8ToUtf16(Caption());
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, DrawFlags());
  ::EndPaint(Handle(), &paint);
}

LRESULT TLabelLink::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the whole label
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(KeptFont());
    case WM_ENABLE:
      ::InvalidateRect(Handle(), nullptr, TRUE);
      return 0;
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        tracking_ = ::TrackMouseEvent(&track) != FALSE;
        MouseEnter();
      }
      return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      MouseLeave();
      return 0;
    case WM_LBUTTONDOWN:
      pressed_ = true;
      ::SetCapture(Handle());
      return 0;
    case WM_LBUTTONUP: {
      const bool wasPressed = pressed_;
      pressed_ = false;
      if (::GetCapture() == Handle()) ::ReleaseCapture();
      RECT client{};
      ::GetClientRect(Handle(), &client);
      const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (wasPressed && ::PtInRect(&client, at)) Click();
      return 0;
    }
    case WM_LBUTTONDBLCLK:
      // The second press of a double click: no click of its own.
      DblClick();
      return 0;
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace tolvar
