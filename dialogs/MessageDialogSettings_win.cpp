#include "dialogs/MessageDialogSettings_win.h"

#include <windows.h>

#include <algorithm>

#include "platform/Registry_win.h"

namespace tolvar {

MessageDialogSettings LoadMessageDialogSettings(const std::string& key) {
  MessageDialogSettings settings;
  // Without a key the settings would land in the root of the user's hive.
  if (key.empty()) return settings;
  const RegistryKey stored = RegistryKey::OpenRead(HKEY_CURRENT_USER, key);
  if (!stored.IsOpen()) return settings;
  settings.detailMessageVisible = stored.ReadDword(kDetailMessageVisibleValue).value_or(0) != 0;
  if (const auto height = stored.ReadDword(kItemTreePanelHeightValue)) {
    // A hand-edited value must not overflow the layout's sums.
    settings.itemTreePanelHeight = std::clamp(static_cast<std::int32_t>(*height), dialog_layout::kMinItemTreeHeight,
                                              dialog_layout::kMaxItemTreeHeight);
  }
  return settings;
}

bool SaveMessageDialogSettings(const std::string& key, const MessageDialogSettings& settings) {
  if (key.empty()) return false;
  const RegistryKey stored = RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, key);
  if (!stored.IsOpen()) return false;
  const bool visibleWritten = stored.WriteDword(kDetailMessageVisibleValue, settings.detailMessageVisible ? 1u : 0u);
  const bool heightWritten =
      stored.WriteDword(kItemTreePanelHeightValue, static_cast<std::uint32_t>(settings.itemTreePanelHeight));
  return visibleWritten && heightWritten;
}

}  // namespace tolvar
