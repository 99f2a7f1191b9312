// The stand-in player as a child process, started from a test install with
// the real DLL, the probe plug-in or no plug-in: for what only another
// process, or its end, shows, and for the player's own tests and benches.
#pragma once

#include <windows.h>

#include <string>

#include "testkit/test_host.h"

// What the player finds in Plugins: a fresh copy of the built gen_klv.dll,
// whatever is there already (for instance what a setup program put), no
// gen_klv.dll (another player beside ours, running without the plug-in), or
// the probe plug-in (%KLV_PROBE%) that logs the host's calls.
enum class PluginSource { kBuiltDll, kAsInstalled, kNone, kProbe };

struct PlayerStart {
  PluginSource plugin = PluginSource::kBuiltDll;
  // The player's options beside its log.
  std::string options = "--no-registry";
  DWORD timeoutMs = 20000;
  // Without its log (as the benches time it) the player counts as started at
  // the first answer of its message loop.
  bool log = true;
};

class PlayerProcess {
 public:
  // Copies player.exe (and the plug-in asked for) into the install, starts
  // the player and waits until its plug-ins run and its main window shows
  // (or gives up after the timeout). A message box of the child meanwhile (a
  // combination refused at its start) is answered with OK.
  explicit PlayerProcess(const TestInstall& install, PluginSource plugin = PluginSource::kBuiltDll)
      : PlayerProcess(install, PlayerStart{plugin}) {}
  PlayerProcess(const TestInstall& install, const PlayerStart& start);
  ~PlayerProcess();  // terminates it if it still runs, and removes the plug-in's copy
  PlayerProcess(const PlayerProcess&) = delete;
  PlayerProcess& operator=(const PlayerProcess&) = delete;

  // What the plug-in's init answered, from the player's log; -2 when unknown
  // (also when the player found no gen_klv.dll to start).
  int InitResult() const { return initResult_; }
  HWND MainWindow() const { return main_; }
  HANDLE Process() const { return process_.hProcess; }
  DWORD Pid() const { return process_.dwProcessId; }
  // Whether its plug-ins run and its main window answers.
  bool Started() const { return started_; }
  // From the start to the main window's creation, and to the first answer
  // of its message loop, with the plug-ins running.
  double WindowMs() const { return windowMs_; }
  double ReadyMs() const { return readyMs_; }
  // Whether a search by class name finds this player's playlist and equalizer
  // before those of any other player, as it does for the one started last.
  bool FoundFirstByClass() const;
  bool Running() const;
  // Answers every message box of the child with OK; how many there were.
  int CloseMessageBoxes() const;

  // A request to the main window (WM_USER, the code in lParam) and its answer.
  intptr_t Request(int code, WPARAM wParam = 0) const;
  // A command (WM_COMMAND), carried out once this returns.
  void Command(WPARAM id) const;
  // The text, 8-bit or UTF-16, that a request's answer points to in the
  // player's memory; false for no address or an unreadable one.
  template <typename Char>
  bool Answer(int code, WPARAM wParam, std::basic_string<Char>& text) const;

  // The player's --log file as it stands.
  std::string ReadLog() const;
  // Whether the log holds the line within 5 s; log is the log as last read.
  bool AwaitLog(const std::string& line, std::string& log) const;

  // Ends the process the way the task manager does.
  bool Terminate();
  // The process ends itself at once, without quit or unload of its plug-ins.
  bool ExitWithoutQuit();
  // The player closes normally (quit, then unload) and ends with exit code 0.
  bool Quit();
  // Whether it ended by itself, with exit code 0, within the time.
  bool WaitForExit(DWORD timeoutMs = 15000);

 private:
  bool WaitForEnd(DWORD timeoutMs = 10000);
  bool ReadMemory(uintptr_t address, void* unit, size_t size) const;

  std::string directory_;
  PluginSource plugin_;
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
  int initResult_ = -2;
  bool started_ = false;
  double windowMs_ = 0;
  double readyMs_ = 0;
};

template <typename Char>
bool PlayerProcess::Answer(int code, WPARAM wParam, std::basic_string<Char>& text) const {
  const intptr_t address = Request(code, wParam);
  if (address == 0) return false;
  text.clear();
  for (Char unit = 0;; text += unit) {
    if (!ReadMemory(static_cast<uintptr_t>(address) + text.size() * sizeof unit, &unit, sizeof unit))
      return false;
    if (unit == 0) return true;
  }
}
