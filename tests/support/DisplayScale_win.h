// Tests at other display scales. Under Wine every process takes its DPI, when it
// starts, from the value LogPixels of HKEY_CURRENT_USER\Control Panel\Desktop
// (96 is 100 %, 144 is 150 %, 192 is 200 %), so a test sets that value, starts
// the programs it measures, and puts the value back.
#pragma once

#include <windows.h>

#include <string>

namespace tolvar::test {

// Programs started while the object lives run at `dpi`. The earlier value (or
// its absence) comes back at the end. The prefix is shared by every test
// program, so the earlier value is also noted under the tests' own key: should
// a run die before it restored the value, the next override (or
// RestoreLeftoverDisplayScale) puts it back first.
class DisplayScaleOverride {
 public:
  explicit DisplayScaleOverride(int dpi);
  DisplayScaleOverride(const DisplayScaleOverride&) = delete;
  DisplayScaleOverride& operator=(const DisplayScaleOverride&) = delete;
  ~DisplayScaleOverride();
};

// Puts back a LogPixels value that a run which died left set; true when there was one.
bool RestoreLeftoverDisplayScale();

// The DPI a test program was started to run at: the environment variable
// TOLVAR_TEST_DPI when a test started it so, else 96.
int ExpectedTestDpi();

// Where a window placed at `designed` (a scaled screen coordinate) with
// `extent` pixels across stands: there, or moved in to the primary work area's
// far edge when it would reach past it (horizontally, else vertically).
int DesignedOrOnScreen(int designed, int extent, bool horizontal);

// The name of that environment variable.
inline constexpr wchar_t kTestDpiVariable[] = L"TOLVAR_TEST_DPI";

}  // namespace tolvar::test
