// TMessageLog: the component through which a message reaches the screen. It
// decides whether a dialog is shown at all, creates one message dialog per
// message, configures it in a fixed order, runs it modally and returns the
// modal result of the chosen button. It records nothing.
#pragma once

#include <cstdint>
#include <string>

#include "dialogs/MessageDialogSettings_win.h"
#include "messages/MessageLogTypes.h"

namespace tolvar {

class TMessageLog {
 public:
  // Width of every dialog the component shows, in pixels.
  std::int32_t DialogWidth() const noexcept { return dialogWidth_; }
  void SetDialogWidth(std::int32_t width) noexcept { dialogWidth_ = width; }
  // All buttons of a dialog one common width.
  bool DialogButtsSameWidth() const noexcept { return dialogButtsSameWidth_; }
  void SetDialogButtsSameWidth(bool sameWidth) noexcept { dialogButtsSameWidth_ = sameWidth; }

  // Shows one message and returns the modal result with which the dialog closed;
  // 0 without a window when the record's ShowDialog is false. An empty title
  // shows the type's default title, an empty detail no details.
  std::uint16_t ShowMessageDialog(TMessageType type, const std::string& title, const std::string& text,
                                  const std::string& detail, const TDialogRec& record) const;

 private:
  std::int32_t dialogWidth_ = 440;
  bool dialogButtsSameWidth_ = true;
};

}  // namespace tolvar
