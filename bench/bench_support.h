// Shared by the benches beside the test kit (testkit/: the install folder, the
// fake host, the stand-in player as a process): times and their spread, a
// gen_klv.ini with fifteen hotkeys, and the floor an OSD show is measured against.
#pragma once

#include <windows.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/cover/jpeg_decode.h"
#include "core/hotkeys/hotkey_actions.h"
#include "core/settings/settings_schema.h"
#include "plugin/osd/osd_style.h"
#include "plugin/settings/settings_file.h"

namespace bench {

// The system's tooltip animation off while the bench runs (the OSD would
// animate its shows), put back as it was on every way out of it.
class TooltipAnimationOff {
 public:
  TooltipAnimationOff() {
    SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &was_, 0);
    SystemParametersInfoA(SPI_SETTOOLTIPANIMATION, 0, reinterpret_cast<void*>(FALSE), 0);
  }
  ~TooltipAnimationOff() {
    SystemParametersInfoA(SPI_SETTOOLTIPANIMATION, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(was_)), 0);
  }
  TooltipAnimationOff(const TooltipAnimationOff&) = delete;
  TooltipAnimationOff& operator=(const TooltipAnimationOff&) = delete;

 private:
  BOOL was_ = FALSE;
};

inline double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Ctrl+Alt+A .. Ctrl+Alt+O, one per action; or all 0 (none registered).
inline klv::PackedHotkeys BenchHotkeys(bool registered) {
  klv::PackedHotkeys packed{};
  for (int i = 0; i < klv::kHotkeyCount && registered; ++i) {
    packed[i] = klv::PackHotkey(static_cast<uint16_t>('A' + i), true, true, false, false);
  }
  return packed;
}

// Hotkeys on, OSD on, everything else at its default.
inline bool WriteBenchIni(const std::string& path, bool withHotkeys) {
  DeleteFileA(path.c_str());
  SettingsFile ini(path);
  klv::Settings settings;
  settings.hotkeysEnabled = true;
  settings.osdEnabled = true;
  settings.osdDisplayTime = 60000;  // stays up until measured
  settings.hotkeys = BenchHotkeys(withHotkeys);
  return klv::WriteAllSettings(ini, settings);
}

// The floor of an OSD show: a bare topmost tool popup, created, shown without
// activation and painted (background and text, in the OSD's font) by this
// process, with nothing of the plug-in's measuring, placing or framing. It is
// the kind of window the OSD has to be, layered and transparent to input:
// under Wine a layered window costs about a tenth more to show than a plain one.
class FloorPopup {
 public:
  FloorPopup() {
    const LOGFONTW font = OsdLogFont();
    font_ = CreateFontIndirectW(&font);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
  }
  ~FloorPopup() {
    Hide();
    UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
    DeleteObject(font_);
  }
  FloorPopup(const FloorPopup&) = delete;
  FloorPopup& operator=(const FloorPopup&) = delete;

  // Creates the popup when it is off screen, else gives it the new text.
  void Show(const RECT& place, const std::string& text) {
    text_ = text;
    if (window_ == nullptr) {
      window_ =
          CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_TRANSPARENT, kClassName,
                          text.c_str(), WS_POPUP | WS_BORDER, place.left, place.top, place.right - place.left,
                          place.bottom - place.top, nullptr, nullptr, GetModuleHandleA(nullptr), this);
      SetLayeredWindowAttributes(window_, 0, 255, LWA_ALPHA);
      ShowWindow(window_, SW_SHOWNOACTIVATE);
    } else {
      // Shown again: back on top of whatever topmost window came since.
      SetWindowTextA(window_, text.c_str());
      SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
      ShowWindow(window_, SW_SHOWNOACTIVATE);
      InvalidateRect(window_, nullptr, FALSE);
    }
  }
  // Moved and sized to place, and painted again.
  void Place(const RECT& place) {
    SetWindowPos(window_, HWND_TOPMOST, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, FALSE);
  }
  void Hide() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
  }
  HWND Window() const { return window_; }
  // A picture drawn left of the text from then on; null for none.
  void SetPicture(const klv::BgrImage* picture) { picture_ = picture; }

 private:
  static constexpr char kClassName[] = "KlvBenchFloorPopup";

  void PaintPicture(HDC dc, RECT& textRect) const {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture_->width;
    info.bmiHeader.biHeight = -picture_->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    SetDIBitsToDevice(dc, 2, 2, picture_->width, picture_->height, 0, 0, 0, picture_->height,
                      picture_->pixels.data(), &info, DIB_RGB_COLORS);
    textRect.left += picture_->width + 4;
  }

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
      SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<FloorPopup*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT && self != nullptr) {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      RECT textRect = client;
      if (self->picture_ != nullptr) self->PaintPicture(dc, textRect);
      HGDIOBJ old = SelectObject(dc, self->font_);
      DrawTextA(dc, self->text_.c_str(), static_cast<int>(self->text_.size()), &textRect,
                DT_WORDBREAK | DT_NOPREFIX);
      SelectObject(dc, old);
      EndPaint(window, &paint);
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  std::string text_;
  const klv::BgrImage* picture_ = nullptr;
};

// Dispatches this thread's messages until `window` is visible and has nothing
// left to paint; false after timeoutMs.
inline bool WaitUntilPainted(HWND window, double timeoutMs = 2000) {
  const LARGE_INTEGER start = Now();
  MSG msg;
  for (;;) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&msg);
    } else if (window != nullptr && IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE)) {
      return true;
    } else if (Milliseconds(start, Now()) > timeoutMs) {
      return false;
    }
  }
}

// Median and spread of one series of times, and its ratio to the floor's median.
struct Spread {
  double median, p95, worst;
};

inline Spread SpreadOf(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  if (times.empty()) return Spread{0, 0, 0};
  return Spread{times[times.size() / 2], times[times.size() * 95 / 100], times.back()};
}

}  // namespace bench
