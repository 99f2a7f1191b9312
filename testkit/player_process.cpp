#include "testkit/player_process.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "player/stand_in_commands.h"
#include "testkit/test_kit.h"

namespace {

constexpr char kInitLine[] = "init gen_klv.dll returned ";
constexpr char kLoadedLine[] = "plug-in(s) running";

}  // namespace

PlayerProcess::PlayerProcess(const TestInstall& install, PluginSource source, DWORD timeoutMs)
    : directory_(install.Directory()), copiedDll_(source == PluginSource::kBuiltDll) {
  CopyFileA(EnvPath("KLV_PLAYER").c_str(), (directory_ + "\\player.exe").c_str(), FALSE);
  if (copiedDll_) CopyFileA(PluginDllPath().c_str(), (directory_ + "\\Plugins\\gen_klv.dll").c_str(), FALSE);
  // Also what a crashed earlier run left in a folder of the same name.
  if (source == PluginSource::kNone) DeleteFileA((directory_ + "\\Plugins\\gen_klv.dll").c_str());
  DeleteFileA((directory_ + "\\player.log").c_str());
  std::string command =
      "\"" + directory_ + "\\player.exe\" --no-registry --log \"" + directory_ + "\\player.log\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, directory_.c_str(),
                      &startup, &process_)) {
    return;
  }
  EndWithTheTest(process_.hProcess);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs && Running()) {
    const std::string log = ReadLog();
    const size_t at = log.find(kInitLine);
    if (at != std::string::npos && log.find('\n', at) != std::string::npos) {
      initResult_ = std::atoi(log.c_str() + at + sizeof(kInitLine) - 1);
      break;
    }
    if (log.find(kLoadedLine) != std::string::npos) break;  // no gen_klv.dll to start
    CloseMessageBoxes();
    Sleep(20);
  }
  const std::vector<HWND> windows = ProcessWindows(process_.dwProcessId, L"Winamp v1.x", false);
  if (!windows.empty()) main_ = windows.front();
}

PlayerProcess::~PlayerProcess() {
  if (process_.hProcess != nullptr) {
    if (Running()) Terminate();
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  for (const char* file : {"\\player.exe", "\\player.log", "\\player.ini"})
    DeleteFileA((directory_ + file).c_str());
  if (copiedDll_) DeleteFileA((directory_ + "\\Plugins\\gen_klv.dll").c_str());
}

bool PlayerProcess::FoundFirstByClass() const {
  for (const char* className : {"Winamp PE", "Winamp EQ"}) {
    DWORD process = 0;
    GetWindowThreadProcessId(FindWindowA(className, nullptr), &process);
    if (process != process_.dwProcessId) return false;
  }
  return true;
}

bool PlayerProcess::Running() const {
  return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

int PlayerProcess::CloseMessageBoxes() const {
  if (process_.hProcess == nullptr) return 0;
  int closed = 0;
  for (HWND dialog : ProcessWindows(process_.dwProcessId, L"#32770", false)) {
    if (GetDlgItem(dialog, 0xFFFF) == nullptr) continue;  // a message box has its text there
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ++closed;
  }
  return closed;
}

bool PlayerProcess::WaitForEnd(DWORD timeoutMs) {
  return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool PlayerProcess::Terminate() {
  if (!Running()) return false;
  TerminateProcess(process_.hProcess, 9);
  return WaitForEnd();
}

bool PlayerProcess::ExitWithoutQuit() {
  if (!Running() || main_ == nullptr) return false;
  PostMessageA(main_, WM_COMMAND, player::kCommandExitWithoutQuit, 0);
  return WaitForEnd();
}

bool PlayerProcess::Quit() {
  if (!Running() || main_ == nullptr) return false;
  PostMessageA(main_, WM_COMMAND, player::kCommandQuit, 0);
  return WaitForEnd();
}

std::string PlayerProcess::ReadLog() const {
  std::string text;
  // The player holds the log open for writing: share it.
  HANDLE file =
      CreateFileA((directory_ + "\\player.log").c_str(), GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}
