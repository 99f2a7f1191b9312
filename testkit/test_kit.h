// Small probes and actions the Wine suites share: reading windows back, key
// presses through the system's input queue, and waiting with a deadline.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"

// Ctrl+Alt+N and Ctrl+Alt+P as the settings file stores them.
constexpr klv::PackedHotkey kCtrlAltN = 5111811;
constexpr klv::PackedHotkey kCtrlAltP = 5242883;

// ---- Reading windows back ----

std::string WindowTextOf(HWND window);
// The window's constant alpha, or -1 when it is not layered with one.
int AlphaOf(HWND window);
WNDPROC WindowProcedure(HWND window);
// Whether the check box of a row of a list view with check boxes is marked.
bool RowMarked(HWND list, int row);
std::string RowText(HWND list, int row);
// The first visible dialog (#32770) of this process, such as a common colour
// or font dialog or a message box; null when none is up.
HWND FindVisibleDialog();
// Every window of this process: top-level, child and message-only.
int CountOwnWindows();
// Visible top-level windows of this process with the class name.
int CountVisibleWindows(const wchar_t* className);
// Top-level windows of a process with the class name, all or the visible ones.
std::vector<HWND> ProcessWindows(DWORD process, const wchar_t* className, bool visibleOnly);
// The message boxes of this process on screen (#32770 dialogs with a text static).
std::vector<HWND> VisibleMessageBoxes();

// The window text as another program reads it, in UTF-16.
std::wstring WideWindowTextOf(HWND window);
// The window's rectangle on the screen.
RECT WindowRect(HWND window);

// A window as WM_PRINT draws it, frame and client, one COLORREF per pixel;
// a pixel it leaves alone stays RGB(1, 2, 3).
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[y * width + x]; }
};
Picture PrintWindowPicture(HWND window, LPARAM flags = PRF_CLIENT | PRF_NONCLIENT);

// ---- The plug-in's windows ----

// The OSD window and the configuration dialog, null when absent.
HWND FindOsdWindow();
HWND FindConfigDialog();

// A window of the test's own: its class (registered on first use) runs
// procedure. parent HWND_MESSAGE makes it message-only.
HWND CreateTestWindow(const char* className, WNDPROC procedure, DWORD style, RECT place,
                      HWND parent = nullptr);

// Another module's subclass of a window, put on after the plug-in's hook, as
// a skin or another plug-in does, with the calls of the window's kind: it
// counts what it passes on. Taken off when the object goes. One at a time.
class LaterSubclass {
 public:
  // onMessage runs on every message before it is passed on.
  explicit LaterSubclass(HWND window, std::function<void(UINT)> onMessage = {});
  ~LaterSubclass();
  LaterSubclass(const LaterSubclass&) = delete;
  LaterSubclass& operator=(const LaterSubclass&) = delete;

  int Calls() const { return calls_; }
  WNDPROC Procedure() const { return &PassOn; }

 private:
  static LRESULT CALLBACK PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  static WNDPROC saved_;
  static bool wide_;
  static int calls_;
  static std::function<void(UINT)> onMessage_;
  HWND window_;
};

// ---- Hotkeys ----

// Whether some window could register the combination now, i.e. nobody holds
// it: probe registers it for a moment.
bool IsFree(klv::PackedHotkey packed, HWND probe);
// One key event as SendInput takes it.
INPUT KeyInput(WORD key, DWORD flags = 0);
// Presses the combination through SendInput as a user would: modifiers down,
// key down, then all up in reverse. Returns at once, nothing pumped; false
// when the system did not take every event.
bool PressKeys(klv::PackedHotkey packed);

// A window of another party, to hold combinations and to probe whether one is free.
class OtherParty {
 public:
  OtherParty();
  ~OtherParty();
  OtherParty(const OtherParty&) = delete;
  OtherParty& operator=(const OtherParty&) = delete;

  bool Hold(klv::PackedHotkey packed);
  // True when nobody holds the combination.
  bool IsFree(klv::PackedHotkey packed) { return ::IsFree(packed, window_); }

 private:
  HWND window_ = nullptr;
  std::vector<int> held_;
};

// A combination of the test's own on a window of its own. Pressed after other
// presses, its arrival proves that theirs, had they meant anything, arrived
// before it: "nothing happened" without waiting for a fixed time.
class MarkerKey {
 public:
  MarkerKey();
  ~MarkerKey();
  MarkerKey(const MarkerKey&) = delete;
  MarkerKey& operator=(const MarkerKey&) = delete;

  bool Registered() const { return registered_; }
  // Presses the marker and pumps until it arrives; false when it never did.
  bool PressAndWait(DWORD timeoutMs = 5000);

  static const klv::PackedHotkey kCombination;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  HWND window_ = nullptr;
  bool registered_ = false;
  int arrived_ = 0;
};

// ---- Waiting ----

// Pumps this thread's messages until done() holds or timeoutMs have passed;
// returns done()'s last answer.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Handles everything posted to this thread so far: a message posted now is
// taken in turn after them, also by a modal loop that one of them opens.
void FlushPostedMessages();

// ---- Files ----

// A file's bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// Writes the bytes as the whole file; false when it cannot.
bool WriteWholeFile(const std::string& path, const std::string& content);

// ---- Files of the build ----

// The environment variable's value, empty when unset.
std::string EnvPath(const char* name);
// The real gen_klv.dll the suites load (%KLV_DLL%).
std::string PluginDllPath();
// gen_klv.ini beside it: the file of a start with neither a host answer nor a registry value.
std::string IniBesideTheDll();

// ---- Other processes ----

// Ties a process the test started to the test's own life: should the test
// process crash, the system ends it too, so that nothing of it (a player, a
// held combination) is left for the next suite.
void EndWithTheTest(HANDLE process);
