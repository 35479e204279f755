// More of the robot's hands and eyes: keys and clicks as the mouse and keyboard
// deliver them, control geometry and pixels, and waiting for a condition. They
// work on windows of this process and of others alike.
#pragma once

#include <windows.h>

#include <functional>

namespace tolvar::test {

// True for a visible window of the program's message dialog.
bool IsMessageDialog(HWND window);

// Waits until the dialog's thread serves messages again, that is until a window
// that has just appeared has finished showing itself (focus, timers).
void WaitUntilServed(HWND window);

// Waits until the condition holds; false when the time ran out.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// The control of a dialog with the given identifier.
HWND ControlOf(HWND dialog, int id);
// The window with the keyboard focus in the dialog's thread.
HWND FocusOf(HWND dialog);
// A control's bounds in the client coordinates of its parent.
RECT BoundsOf(HWND control);
SIZE ClientSizeOf(HWND window);

// A key pressed and released on the control with the focus. A letter or digit
// key (virtual keys 'A'..'Z', '0'..'9') types its character, since the message
// loop translates the key into it as it does for the keyboard.
void PressKey(HWND dialog, UINT virtualKey);
// The key pressed while Alt is held down, as the keyboard delivers it to the
// control with the focus: Alt down, the key down and up as system keys, Alt up.
void PressAltKey(HWND dialog, UINT virtualKey);
// A left click in the middle of a control, or at a client point of a window.
void ClickControl(HWND control);
void ClickAt(HWND window, POINT clientPoint);

// Drags an edge of a window with the mouse as a user would: presses the left
// button on the middle of the edge named by `hitTest` (HTBOTTOM, HTRIGHT),
// moves by (dx, dy) in steps and releases. Real input: the window must be on top.
void DragWindowEdge(HWND window, int hitTest, int dx, int dy);

// The colour of a client pixel as the screen shows it.
COLORREF PixelAt(HWND window, POINT clientPoint);

}  // namespace tolvar::test
