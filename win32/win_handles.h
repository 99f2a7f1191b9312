// Scoped owners for the handles the plug-in creates. Never used for the
// host's windows: the host owns those.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  Handle Release() { return std::exchange(handle_, nullptr); }
  void Reset(Handle handle = nullptr) {
    if (handle_ != nullptr) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

struct GdiObjectTraits {
  static void Close(HGDIOBJ object) { DeleteObject(object); }
};
struct WindowTraits {
  static void Close(HWND window) { DestroyWindow(window); }
};
struct RegKeyTraits {
  static void Close(HKEY key) { RegCloseKey(key); }
};
struct MemoryDcTraits {
  static void Close(HDC dc) { DeleteDC(dc); }
};
struct KernelHandleTraits {
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
struct LibraryTraits {
  static void Close(HMODULE library) { FreeLibrary(library); }
};
struct ActCtxTraits {
  static void Close(HANDLE context) { ReleaseActCtx(context); }
};

using UniqueFont = UniqueHandle<HFONT, GdiObjectTraits>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectTraits>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectTraits>;
using UniqueWindow = UniqueHandle<HWND, WindowTraits>;
using UniqueRegKey = UniqueHandle<HKEY, RegKeyTraits>;
using UniqueActCtx = UniqueHandle<HANDLE, ActCtxTraits>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;  // null, never INVALID_HANDLE_VALUE
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcTraits>;             // from CreateCompatibleDC
using UniqueLibrary = UniqueHandle<HMODULE, LibraryTraits>;           // from LoadLibrary

// A window class of this code's, unregistered when its owner goes. A class
// already there counts as registered: two forms of one class may be open at
// once (one retired, one new), and the class goes with whichever closes last.
class UniqueWindowClass {
 public:
  UniqueWindowClass() = default;
  explicit UniqueWindowClass(const WNDCLASSEXW& windowClass) {
    if (RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
      name_ = windowClass.lpszClassName;
      module_ = windowClass.hInstance;
    }
  }
  ~UniqueWindowClass() { Reset(); }
  UniqueWindowClass(const UniqueWindowClass&) = delete;
  UniqueWindowClass& operator=(const UniqueWindowClass&) = delete;
  UniqueWindowClass(UniqueWindowClass&& other) noexcept
      : name_(std::move(other.name_)), module_(std::exchange(other.module_, nullptr)) {
    other.name_.clear();
  }
  UniqueWindowClass& operator=(UniqueWindowClass&& other) noexcept {
    if (this != &other) {
      Reset();
      name_ = std::move(other.name_);
      other.name_.clear();
      module_ = std::exchange(other.module_, nullptr);
    }
    return *this;
  }

  explicit operator bool() const { return !name_.empty(); }
  HINSTANCE Module() const { return module_; }  // null while no class is held
  // Unregisters the class. It stays, and stays owned, while a window of it is
  // left (the system refuses then); true once no class is held.
  bool Reset() {
    if (name_.empty() || !UnregisterClassW(name_.c_str(), module_)) return name_.empty();
    name_.clear();
    module_ = nullptr;
    return true;
  }

 private:
  std::wstring name_;
  HINSTANCE module_ = nullptr;
};

// A window DC, released at scope end. The client area's, or with WithFrame
// the whole window's, for painting the non-client area.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : WindowDc(window, GetDC(window)) {}
  static WindowDc WithFrame(HWND window) { return WindowDc(window, GetWindowDC(window)); }
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  WindowDc(HWND window, HDC dc) : window_(window), dc_(dc) {}

  HWND window_;
  HDC dc_;
};

// Selects an object into a DC for the scope and puts the old one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, old_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};
