// The display's DPI as the system reports it, for the program and for each of
// its windows, and window frames sized for a DPI. The per-monitor functions came
// with Windows 10 (and 8.1): they are looked up in user32 at run time, and where
// they are missing the screen's DPI stands for every window, as it does on
// Windows 7.
#pragma once

#include <windows.h>

#include "platform/DpiScale.h"

namespace tolvar {

// The DPI of the whole session: what windows of a system-aware program use.
int SystemDpi();

// The DPI of the monitor a window is on; the system's DPI where windows have none
// of their own.
int WindowDpi(HWND window);

// The scale a window lays itself out with: that of the program's own window
// object (which follows every DPI change it was told of), else WindowDpi.
DpiScale DpiScaleOf(HWND window);

// The outer rectangle of a window whose client area is `client`, with the frame
// metrics of `dpi`.
RECT FrameForClient(const RECT& client, DWORD style, DWORD exStyle, int dpi);

// The manifest makes the program per-monitor DPI aware. Should it still run
// unaware (a compatibility setting, a loader that ignored the manifest), this
// asks for per-monitor awareness at run time, else for system awareness.
// Returns the awareness in force afterwards: 0 unaware, 1 system, 2 per monitor.
int EnsureDpiAwareness();

}  // namespace tolvar
