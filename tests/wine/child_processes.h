// Other processes a test plays against: one that holds a key combination, and
// the stand-in player running the real DLL as a second host.
#pragma once

#include <windows.h>

#include <string>

#include "core/hotkey_actions.h"

// Runs `wintool hold-hotkey` (path in %KLV_WINTOOL%) for a combination until
// the object goes.
class HotkeyHolder {
 public:
  explicit HotkeyHolder(klv::PackedHotkey packed);
  ~HotkeyHolder();
  HotkeyHolder(const HotkeyHolder&) = delete;
  HotkeyHolder& operator=(const HotkeyHolder&) = delete;
  bool Started() const { return started_; }
  // False once it gave up: the combination was taken when it tried.
  bool Running() const;

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

// The stand-in player (%KLV_PLAYER%) started from a host directory whose
// Plugins folder gets a copy of the real DLL (%KLV_DLL%). It leaves the
// registry alone: the directory is the one the test install registered.
class ChildPlayer {
 public:
  // withPlugin false: the Plugins folder stays empty; a player and its windows only.
  explicit ChildPlayer(const std::string& directory, bool withPlugin = true);
  ~ChildPlayer();  // terminates it if it still runs, removes its files
  ChildPlayer(const ChildPlayer&) = delete;
  ChildPlayer& operator=(const ChildPlayer&) = delete;

  bool Started() const { return process_.hProcess != nullptr; }
  bool Running() const;
  // What the plug-in's init answered (0 or -1); -2 when the player did not
  // say within the time. Closes the child's message boxes meanwhile (a
  // combination refused at its start waits for one).
  int WaitForPluginInit(DWORD timeoutMs);
  // Its main window once it exists; null when it never came.
  HWND WaitForMainWindow(DWORD timeoutMs);
  // Asks the player to close as a user would (it quits and unloads its
  // plug-ins); true once the process ended.
  bool Close(DWORD timeoutMs);
  // Has the player end its process at once, without quit or unload, as a
  // crash in another plug-in would; true once the process ended.
  bool ExitWithoutQuit(DWORD timeoutMs);
  // Ends it as the task manager does.
  void Terminate();
  // Clicks OK in every message box of the child; how many there were.
  int CloseMessageBoxes() const;

 private:
  std::string Log() const;
  HWND MainWindow() const;
  bool PostAndWait(UINT message, WPARAM wParam, DWORD timeoutMs);
  std::string directory_;
  std::string exe_;
  std::string logPath_;
  PROCESS_INFORMATION process_{};
};
