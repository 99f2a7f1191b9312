// Shared by the benches: an install directory with or without the plug-in, a
// gen_klv.ini with fifteen hotkeys, one run of the stand-in player from start
// to a clean quit, and in-process host windows for PluginInit.
#pragma once

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/cover/jpeg_decode.h"
#include "core/hotkeys/hotkey_actions.h"
#include "core/settings/settings_schema.h"
#include "player/stand_in_commands.h"
#include "plugin/osd/osd_style.h"
#include "plugin/settings/settings_file.h"

namespace bench {

inline std::string EnvPath(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

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

// A fresh player directory under %TEMP%: player.exe, Plugins\ and, when asked,
// Plugins\gen_klv.dll with a gen_klv.ini registering fifteen hotkeys.
class Install {
 public:
  Install(const char* tag, bool withPlugin) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir_ = std::string(temp) + "klv_bench_" + tag + "_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
    CreateDirectoryA((dir_ + "\\Plugins").c_str(), nullptr);
    ok_ = CopyFileA(EnvPath("KLV_PLAYER").c_str(), (dir_ + "\\player.exe").c_str(), FALSE) != 0;
    if (withPlugin) {
      ok_ = ok_ && CopyFileA(EnvPath("KLV_DLL").c_str(), Dll().c_str(), FALSE) != 0;
      ok_ = ok_ && WriteBenchIni(Ini(), true);
    }
  }
  ~Install() {
    for (const std::string& file : {Dll(), Ini(), dir_ + "\\player.exe", dir_ + "\\player.ini"}) {
      DeleteFileA(file.c_str());
    }
    RemoveDirectoryA((dir_ + "\\Plugins").c_str());
    RemoveDirectoryA(dir_.c_str());
  }
  Install(const Install&) = delete;
  Install& operator=(const Install&) = delete;

  bool Ok() const { return ok_; }
  const std::string& Dir() const { return dir_; }
  std::string Dll() const { return dir_ + "\\Plugins\\gen_klv.dll"; }
  std::string Ini() const { return dir_ + "\\Plugins\\gen_klv.ini"; }

 private:
  std::string dir_;
  bool ok_ = false;
};

// A top-level window of the host's class in this process; `procedure` answers its messages.
inline HWND CreateHostWindow(const char* className, WNDPROC procedure = DefWindowProcA) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW, 0, 0, 300, 120, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// Where the plug-in looks for Plugins\gen_klv.ini, as the player's installer writes it.
inline bool PointRegistryAt(const std::string& dir) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Winamp", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  LONG rc = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(dir.c_str()),
                           static_cast<DWORD>(dir.size() + 1));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

// The main window of process `pid`, or null.
inline HWND FindMainWindow(DWORD pid) {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, klv::kMainWindowClass, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid) return window;
  }
  return nullptr;
}

// One player process. The player writes its directory into HKCU\Software\Winamp,
// which the plug-in needs to find its ini. --exit-after only guards against a
// bench that dies before it quits the player; a killed player would leave the
// plug-in's instance atom behind.
class PlayerRun {
 public:
  explicit PlayerRun(const Install& install) {
    std::string command = "\"" + install.Dir() + "\\player.exe\" --exit-after 60000";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    start_ = Now();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, install.Dir().c_str(),
                        &startup, &process_)) {
      return;
    }
    for (int i = 0; i < 20000 && window_ == nullptr; ++i) {
      window_ = FindMainWindow(process_.dwProcessId);
      if (window_ == nullptr) Sleep(1);
    }
    windowAt_ = Now();
    // The player inits its plug-ins after creating its windows and before its
    // message loop: the first answer says that init is over.
    DWORD_PTR result = 0;
    answered_ =
        window_ != nullptr && SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result) != 0;
    readyAt_ = Now();
  }
  ~PlayerRun() {
    if (process_.hProcess == nullptr) return;
    if (window_ != nullptr) PostMessageA(window_, WM_COMMAND, player::kCommandQuit, 0);
    if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0)
      TerminateProcess(process_.hProcess, 9);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
  PlayerRun(const PlayerRun&) = delete;
  PlayerRun& operator=(const PlayerRun&) = delete;

  bool Ready() const { return answered_; }
  HWND Window() const { return window_; }
  HANDLE Process() const { return process_.hProcess; }
  DWORD Pid() const { return process_.dwProcessId; }
  double WindowMs() const { return Milliseconds(start_, windowAt_); }
  double ReadyMs() const { return Milliseconds(start_, readyAt_); }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
  bool answered_ = false;
  LARGE_INTEGER start_{}, windowAt_{}, readyAt_{};
};

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
