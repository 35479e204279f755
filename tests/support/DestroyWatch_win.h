// Runs a check at the moment a window is about to be destroyed, before any of
// its destruction messages: a test of teardown order looks at what the window
// still uses (its fonts) right then.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

namespace tolvar::test {

class DestroyWatch {
 public:
  // `atDestroy` runs once, on this thread, when `window` is being destroyed.
  DestroyWatch(HWND window, std::function<void()> atDestroy);
  DestroyWatch(const DestroyWatch&) = delete;
  DestroyWatch& operator=(const DestroyWatch&) = delete;
  ~DestroyWatch();

  bool Seen() const noexcept { return seen_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  HWND window_;
  std::function<void()> atDestroy_;
  bool seen_ = false;
  HHOOK hook_;
};

// True while `font` is a live font object (not yet deleted).
inline bool IsLiveFont(HFONT font) { return font && ::GetObjectType(font) == OBJ_FONT; }

// What became of a window's font as its owner went.
struct FontAtTeardown {
  bool windowDestroyed = false;
  bool liveWhileDestroyed = false;  // the window still had its font
  bool liveAfter = true;            // nobody freed it
};

// Destroys `owner`, a window object, watching `font` while its window goes.
template <typename Owner>
FontAtTeardown DestroyWatchingFont(std::unique_ptr<Owner>& owner, HFONT font) {
  FontAtTeardown seen;
  {
    const DestroyWatch watch(owner->Handle(), [&] { seen.liveWhileDestroyed = IsLiveFont(font); });
    owner.reset();
    seen.windowDestroyed = watch.Seen();
  }
  seen.liveAfter = IsLiveFont(font);
  return seen;
}

}  // namespace tolvar::test
