// The message dialog's two per-user settings, kept below HKEY_CURRENT_USER:
// whether the details pane was open and how high the user made the item tree.
#pragma once

#include <cstdint>
#include <string>

#include "dialogs/MessageDialogLayout.h"

namespace tolvar {

// The registry key below HKEY_CURRENT_USER under which the dialog keeps its settings.
inline constexpr char kMessageDialogSetupKey[] = "Software\\VORLAK SOFTWARE\\MessageDialogSetup";

inline constexpr char kDetailMessageVisibleValue[] = "DetailMessageVisible";
inline constexpr char kItemTreePanelHeightValue[] = "ItemTreePanelHeight";

struct MessageDialogSettings {
  bool detailMessageVisible = false;
  std::int32_t itemTreePanelHeight = dialog_layout::kDefaultItemTreeHeight;
};

// Reads the settings from HKEY_CURRENT_USER\<key> without creating the key. A
// value that is missing, or stored with another type than a 32-bit integer (a
// damaged or hand-edited entry), gives its default; a tree height outside
// kMinItemTreeHeight..kMaxItemTreeHeight is brought to the nearer end.
MessageDialogSettings LoadMessageDialogSettings(const std::string& key);

// Writes both values as 32-bit integers, creating the key when it is missing.
// False when the key cannot be opened; nothing is reported to the user.
bool SaveMessageDialogSettings(const std::string& key, const MessageDialogSettings& settings);

}  // namespace tolvar
