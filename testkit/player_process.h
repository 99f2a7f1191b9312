// The stand-in player as a child process hosting the real DLL from a test
// install's Plugins folder: for what only another process, or its end, shows.
#pragma once

#include <windows.h>

#include <string>

#include "testkit/test_host.h"

// Which gen_klv.dll the player finds in Plugins: a fresh copy of the built
// one, whatever is there already (for instance what a setup program put), or
// none: another player beside ours, running without the plug-in.
enum class PluginSource { kBuiltDll, kAsInstalled, kNone };

class PlayerProcess {
 public:
  // Copies player.exe and gen_klv.dll into the install, starts the player and
  // waits until it has initialised its plug-ins (or gives up after timeoutMs).
  // A message box of the child meanwhile (a combination refused at its start)
  // is answered with OK.
  explicit PlayerProcess(const TestInstall& install, DWORD timeoutMs = 20000)
      : PlayerProcess(install, PluginSource::kBuiltDll, timeoutMs) {}
  PlayerProcess(const TestInstall& install, PluginSource source, DWORD timeoutMs = 20000);
  ~PlayerProcess();  // terminates it if it still runs, and removes the copies
  PlayerProcess(const PlayerProcess&) = delete;
  PlayerProcess& operator=(const PlayerProcess&) = delete;

  // What the plug-in's init answered, from the player's log; -2 when unknown
  // (also when the player found no gen_klv.dll to start).
  int InitResult() const { return initResult_; }
  HWND MainWindow() const { return main_; }
  // Whether a search by class name finds this player's playlist and equalizer
  // before those of any other player, as it does for the one started last.
  bool FoundFirstByClass() const;
  bool Running() const;
  // Answers every message box of the child with OK; how many there were.
  int CloseMessageBoxes() const;

  // Ends the process the way the task manager does.
  bool Terminate();
  // The process ends itself at once, without quit or unload of its plug-ins.
  bool ExitWithoutQuit();
  // The player closes normally: quit, then unload.
  bool Quit();

 private:
  bool WaitForEnd(DWORD timeoutMs = 10000);
  std::string ReadLog() const;

  std::string directory_;
  bool copiedDll_ = false;
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
  int initResult_ = -2;
};
