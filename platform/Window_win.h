// Base class of the program's own windows: one window procedure for every class,
// which stores the C++ object at WM_NCCREATE, forwards each message to it and
// forgets it at WM_NCDESTROY.
//
// Teardown order: ~Window destroys the window, and only then do the base's own
// members go. So the font a window and its controls draw with is kept here
// (SetDialogFont, KeepFont), never in a subclass, whose members are gone before
// ~Window runs. A subclass that draws with other members of its own (pictures)
// destroys the window in its own destructor.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/DpiScale.h"
#include "platform/Handle_win.h"

namespace tolvar {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const noexcept { return hwnd_; }
  bool Exists() const noexcept { return hwnd_ != nullptr; }

  // Destroys the window now; harmless when it does not exist.
  void Destroy();

  // Keyboard preview: called by every message loop of the program for messages
  // addressed to this top-level window or its children, before they are
  // dispatched. Returns true when the message was handled.
  virtual bool PreTranslateMessage(MSG& message);

  // Puts the window in the middle of the primary monitor's work area.
  void CenterOnScreen();

  // The scale the window lays itself out with: its DPI when it was created,
  // then the one of each WM_DPICHANGED.
  const DpiScale& Dpi() const noexcept { return dpi_; }
  // A child follows its parent to a new DPI: the parent, which receives
  // WM_DPICHANGED, passes it on and then places the child.
  void SetDpi(const DpiScale& scale);

 protected:
  struct ClassSpec {
    const wchar_t* name = nullptr;
    UINT style = CS_DBLCLKS;
    HBRUSH background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    HICON icon = nullptr;
  };
  // The position and client size are designed at 96 dpi; the window scales them
  // to its DPI (its parent's, or for a top-level window the system's).
  struct CreateSpec {
    std::string caption;
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    int left = CW_USEDEFAULT;
    int top = CW_USEDEFAULT;
    int clientWidth = 0;  // the outer size follows from the client size and the frame
    int clientHeight = 0;
    HWND parent = nullptr;
    // A top-level window counts among the program's windows (MainWindow, the
    // final message loop); the hidden application window does not.
    bool countsAsProgramWindow = true;
  };

  // Registers the class on first use and creates the window. Every window of the
  // program follows one policy when that fails: it throws Error, so no object
  // stands half made without its window.
  void CreateWindowObject(const ClassSpec& windowClass, const CreateSpec& params);

  // Handles one message; the default passes it to DefWindowProcW. Subclasses
  // pass what they do not handle to Window::HandleMessage.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Called after WM_NCDESTROY, when the handle is already gone.
  virtual void OnDestroyed() {}

  // The DPI changed: Dpi() already gives the new scale, and the window lays
  // itself out again. `suggested` is the rectangle that WM_DPICHANGED proposes
  // for a top-level window, nullptr for a child told by its parent (SetDpi).
  // The default only takes the suggested rectangle.
  virtual void OnDpiChanged(const RECT* suggested);

  // Gives the window a client area of `width` x `height` pixels, keeping its
  // position, with the frame of its DPI.
  void SetClientSize(int width, int height);

  // The dialog font: `face` at `points` at the window's DPI, given to every
  // window of `controls` (the form itself among them as the caller lists it;
  // a control the window did not make, nullptr, is passed over)
  // and kept until the next call or until the window is gone. Returns it.
  HFONT SetDialogFont(const wchar_t* face, int points, const std::vector<HWND>& controls, int weight = FW_NORMAL);
  // Keeps `font` as the window's font, in place of the one before, which the
  // callers have stopped using. Returns it.
  HFONT KeepFont(UniqueFont font);
  HFONT KeptFont() const noexcept { return font_.get(); }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  bool tracked_ = false;  // listed with Application as a top-level window
  DpiScale dpi_;
  UniqueFont font_;  // outlives the window: see the teardown order above
};

// The Window object behind a window of the program's own classes, or nullptr.
Window* WindowFromHandle(HWND hwnd);

}  // namespace tolvar
