// Move-only owners of Win32 handles. Each handle kind has a traits struct that
// names its empty value and how it is released; the owner releases exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace tolvar {

template <typename Traits>
class UniqueHandle {
 public:
  using Value = typename Traits::Value;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Value value) noexcept : value_(value) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Value get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != Traits::Empty(); }

  // Gives up ownership without releasing.
  Value release() noexcept { return std::exchange(value_, Traits::Empty()); }

  // Releases the current value (if any) and takes the new one.
  void reset(Value value = Traits::Empty()) noexcept {
    const Value old = std::exchange(value_, value);
    if (old != Traits::Empty()) Traits::Close(old);
  }

 private:
  Value value_ = Traits::Empty();
};

// Kernel objects whose "no handle" is null: processes, threads, events.
struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Empty() noexcept { return nullptr; }
  static void Close(Value v) noexcept { ::CloseHandle(v); }
};

// File handles, whose "no handle" is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Value = HANDLE;
  static Value Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Value v) noexcept { ::CloseHandle(v); }
};

struct RegKeyTraits {
  using Value = HKEY;
  static Value Empty() noexcept { return nullptr; }
  static void Close(Value v) noexcept { ::RegCloseKey(v); }
};

template <typename GdiObject>
struct GdiObjectTraits {
  using Value = GdiObject;
  static Value Empty() noexcept { return nullptr; }
  static void Close(Value v) noexcept { ::DeleteObject(v); }
};

struct IconTraits {
  using Value = HICON;
  static Value Empty() noexcept { return nullptr; }
  static void Close(Value v) noexcept { ::DestroyIcon(v); }
};

struct WindowTraits {
  using Value = HWND;
  static Value Empty() noexcept { return nullptr; }
  static void Close(Value v) noexcept { ::DestroyWindow(v); }
};

struct ModuleTraits {
  using Value = HMODULE;
  static Value Empty() noexcept { return nullptr; }
  static void Close(Value v) noexcept { ::FreeLibrary(v); }
};

struct LocalMemoryTraits {
  using Value = HLOCAL;
  static Value Empty() noexcept { return nullptr; }
  static void Close(Value v) noexcept { ::LocalFree(v); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;

// A device context obtained with GetDC, released with ReleaseDC on its window.
class WindowDC {
 public:
  explicit WindowDC(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects a GDI object into a device context and puts the previous one back.
class SelectObjectScope {
 public:
  SelectObjectScope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
  SelectObjectScope(const SelectObjectScope&) = delete;
  SelectObjectScope& operator=(const SelectObjectScope&) = delete;
  ~SelectObjectScope() {
    if (old_) ::SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace tolvar
