#include "tests/support/DisplayScale_win.h"

#include <algorithm>
#include <cwchar>
#include <optional>

#include "platform/DpiScale.h"
#include "platform/Registry_win.h"

namespace tolvar::test {
namespace {

constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kLogPixels[] = "LogPixels";
// The note of the value to put back: "Saved" = 1 with "LogPixels", or 0 when there was none.
constexpr char kNoteKey[] = "Software\\TolvarTests\\DisplayScale";
constexpr char kSaved[] = "Saved";

void PutBack(std::optional<std::uint32_t> value) {
  const RegistryKey desktop = RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kDesktopKey);
  if (value) {
    desktop.WriteDword(kLogPixels, *value);
  } else {
    desktop.DeleteValue(kLogPixels);
  }
}

}  // namespace

bool RestoreLeftoverDisplayScale() {
  const RegistryKey note = RegistryKey::OpenRead(HKEY_CURRENT_USER, kNoteKey);
  const std::optional<std::uint32_t> saved = note.IsOpen() ? note.ReadDword(kSaved) : std::nullopt;
  if (!saved) return false;
  PutBack(*saved != 0 ? note.ReadDword(kLogPixels) : std::nullopt);
  DeleteKeyTree(HKEY_CURRENT_USER, kNoteKey);
  return true;
}

DisplayScaleOverride::DisplayScaleOverride(int dpi) {
  RestoreLeftoverDisplayScale();
  const std::optional<std::uint32_t> current =
      RegistryKey::OpenRead(HKEY_CURRENT_USER, kDesktopKey).ReadDword(kLogPixels);
  const RegistryKey note = RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kNoteKey);
  if (current) note.WriteDword(kLogPixels, *current);
  note.WriteDword(kSaved, current ? 1 : 0);
  RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kDesktopKey).WriteDword(kLogPixels, static_cast<std::uint32_t>(dpi));
}

DisplayScaleOverride::~DisplayScaleOverride() { RestoreLeftoverDisplayScale(); }

int DesignedOrOnScreen(int designed, int extent, bool horizontal) {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int low = horizontal ? work.left : work.top;
  const int high = horizontal ? work.right : work.bottom;
  return std::max(low, std::min(designed, high - extent));
}

int ExpectedTestDpi() {
  wchar_t value[16];
  const DWORD length = ::GetEnvironmentVariableW(kTestDpiVariable, value, 16);
  if (length == 0 || length >= 16) return kDesignDpi;
  const int dpi = static_cast<int>(std::wcstol(value, nullptr, 10));
  return DpiScale::Of(dpi).dpi;
}

}  // namespace tolvar::test
