// TLabelLink: a text label that behaves like a hyperlink. While the mouse is
// over it, it shows its hot-track font and re-wraps its text to MaxWidth; a click
// (or, with hot tracking off, a double click) executes the link.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Handle_win.h"
#include "platform/Window_win.h"

namespace tolvar {

// A font with its colour, as a label keeps it. The height is designed at 96 dpi;
// the label shows the font at its own DPI.
struct LabelFont {
  std::wstring name = L"Tahoma";
  int height = -11;  // pixels at 96 dpi; negative = character height (8 point)
  bool bold = false;
  bool italic = false;
  bool underline = false;
  COLORREF color = ::GetSysColor(COLOR_WINDOWTEXT);

  friend bool operator==(const LabelFont&, const LabelFont&) = default;
};

// The font at `scale`.
UniqueFont CreateLabelFont(const LabelFont& font, const DpiScale& scale = {});

class TLabelLink : public Window {
 public:
  using Event = std::function<void(TLabelLink& sender)>;

  // A child label of `parent` with the given bounds (at 96 dpi, scaled to the
  // parent's DPI) and control identifier.
  TLabelLink(HWND parent, int left, int top, int width, int height, int id = 0);

  // The label acts as a link at all.
  bool LinkEnabled() const noexcept { return linkEnabled_; }
  void SetLinkEnabled(bool enabled) noexcept { linkEnabled_ = enabled; }

  // The hover font is used; with hot tracking a single click executes the link,
  // without it a double click.
  bool HotTrack() const noexcept { return hotTrack_; }
  void SetHotTrack(bool hotTrack) noexcept { hotTrack_ = hotTrack; }

  const LabelFont& HotTrackFont() const noexcept { return hotTrackFont_; }
  void SetHotTrackFont(const LabelFont& font) { hotTrackFont_ = font; }

  // The font shown now. Assigning a whole font also makes it the normal font
  // that the label returns to after hovering.
  const LabelFont& Font() const noexcept { return font_; }
  void SetFont(const LabelFont& font);
  // Changes properties of the font shown now (size, colour, style). Such a change
  // is kept as the normal font only while the mouse is not over the label.
  void ChangeFont(const std::function<void(LabelFont&)>& change);

  // The width in pixels at which the text wraps; setting it re-wraps at once.
  int MaxWidth() const noexcept { return maxWidth_; }
  void SetMaxWidth(int width);

  std::string Caption() const;
  void SetCaption(std::string_view caption);

  // The ordinary click and double-click events, and the link's execute event.
  void SetOnClick(Event handler) { onClick_ = std::move(handler); }
  void SetOnDblClick(Event handler) { onDblClick_ = std::move(handler); }
  void SetOnLinkLabelExecute(Event handler) { onLinkLabelExecute_ = std::move(handler); }

  std::int32_t Tag() const noexcept { return tag_; }
  void SetTag(std::int32_t tag) noexcept { tag_ = tag; }

  bool Hovering() const noexcept { return hovering_; }

  // Height of the caption wrapped at `width` in the current font.
  int TextHeight(int width) const;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The fonts at the new DPI; the owner gives the label its new width.
  void OnDpiChanged(const RECT* suggested) override;

 private:
  void MouseEnter();
  void MouseLeave();
  void Click();
  void DblClick();
  void ApplyFont();
  void FontChanged();
  void Rewrap(int width);
  void Paint();
  UINT DrawFlags() const;

  bool linkEnabled_ = true;
  bool hotTrack_ = true;
  bool hovering_ = false;
  bool wordWrap_ = false;
  bool tracking_ = false;
  bool pressed_ = false;
  int maxWidth_ = 0;
  std::int32_t tag_ = 0;
  LabelFont font_;
  LabelFont savedNormalFont_;
  LabelFont hotTrackFont_;
  Event onClick_;
  Event onDblClick_;
  Event onLinkLabelExecute_;
};

}  // namespace tolvar
