// The colour manager: keeps the 17 interface colours matched to the system's
// visual style and tells its owner when the user switches style or colour
// scheme, so that an open dialog can recolour itself.
#pragma once

#include <windows.h>

#include <functional>

#include "dialogs/ColorManager.h"

namespace tolvar {

// The current colour set.
class TColorsRec {
 public:
  TColorsRec() { Refresh(); }

  // Recomputes all 17 colours from the system's current state.
  void Refresh();

  // Colour number n, 1..17.
  TColor Color(int number) const { return colors_.at(static_cast<std::size_t>(number - 1)); }
  TColor SeparatorColor() const { return Color(kSeparatorColorNumber); }

 private:
  InterfaceColors colors_{};
};

// What the system reports: colours, desktop depth, the active visual style.
ColorEnvironment ReadColorEnvironment();

class TColorManager {
 public:
  using ThemeChangeEvent = std::function<void(TColorManager& sender)>;

  // Computes the colours and starts watching the application's messages for
  // theme changes.
  TColorManager();
  ~TColorManager();
  TColorManager(const TColorManager&) = delete;
  TColorManager& operator=(const TColorManager&) = delete;

  const TColorsRec& Colors() const noexcept { return colors_; }

  // Called after the colours have been refreshed for a new theme.
  void SetOnThemeChange(ThemeChangeEvent handler) { onThemeChange_ = std::move(handler); }

 private:
  bool HandleApplicationMessage(UINT message);

  TColorsRec colors_;
  ThemeChangeEvent onThemeChange_;
  int hookId_ = 0;
};

}  // namespace tolvar
