#include "testkit/player_process.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/host_codes.h"
#include "player/stand_in_commands.h"
#include "testkit/test_kit.h"

namespace {

constexpr char kInitLine[] = "init gen_klv.dll returned ";
// Logged once every plug-in's init has returned.
constexpr char kRunningLine[] = "plug-in(s) running";

const char* PluginFileName(PluginSource plugin) {
  return plugin == PluginSource::kProbe ? "\\Plugins\\gen_probe.dll" : "\\Plugins\\gen_klv.dll";
}

// The first top-level window of the class that belongs to the process.
HWND FirstWindowOf(DWORD process, const char* className) {
  for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window != nullptr;
       window = FindWindowExA(nullptr, window, className, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process) return window;
  }
  return nullptr;
}

double MillisecondsSince(LARGE_INTEGER start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

}  // namespace

PlayerProcess::PlayerProcess(const TestInstall& install, const PlayerStart& start)
    : directory_(install.Directory()), plugin_(start.plugin) {
  CopyFileA(EnvPath("KLV_PLAYER").c_str(), (directory_ + "\\player.exe").c_str(), FALSE);
  const std::string plugin = directory_ + PluginFileName(plugin_);
  if (plugin_ == PluginSource::kBuiltDll) CopyFileA(PluginDllPath().c_str(), plugin.c_str(), FALSE);
  if (plugin_ == PluginSource::kProbe) CopyFileA(EnvPath("KLV_PROBE").c_str(), plugin.c_str(), FALSE);
  // Also what a crashed earlier run left in a folder of the same name.
  if (plugin_ == PluginSource::kNone) DeleteFileA(plugin.c_str());
  DeleteFileA((directory_ + "\\player.log").c_str());
  std::string command = "\"" + directory_ + "\\player.exe\" " + start.options;
  if (start.log) command += " --log \"" + directory_ + "\\player.log\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  LARGE_INTEGER started;
  QueryPerformanceCounter(&started);
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, directory_.c_str(),
                      &startup, &process_)) {
    return;
  }
  EndWithTheTest(process_.hProcess);
  const DWORD begin = GetTickCount();
  auto timeLeft = [&] { return GetTickCount() - begin < start.timeoutMs && Running(); };
  // Its windows come before its plug-ins' init, which starts its message loop.
  while (timeLeft() && (main_ = FirstWindowOf(process_.dwProcessId, klv::kMainWindowClass)) == nullptr)
    Sleep(1);
  windowMs_ = MillisecondsSince(started);
  while (!started_ && timeLeft()) {
    // Answered once the loop runs, or by a modal loop inside an init.
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, 100, &result) != 0;
    readyMs_ = MillisecondsSince(started);
    const std::string log = ReadLog();
    started_ = start.log ? log.find(kRunningLine) != std::string::npos : answered;
    if (const size_t at = log.find(kInitLine); at != std::string::npos)
      initResult_ = std::atoi(log.c_str() + at + sizeof(kInitLine) - 1);
    if (!started_) {
      CloseMessageBoxes();
      Sleep(10);
    }
  }
  // The 5.x player shows its windows from its loop, once its plug-ins run.
  while (started_ && timeLeft() && !IsWindowVisible(main_)) Sleep(1);
}

PlayerProcess::~PlayerProcess() {
  if (process_.hProcess != nullptr) {
    if (Running()) Terminate();
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  if (plugin_ == PluginSource::kBuiltDll || plugin_ == PluginSource::kProbe)
    DeleteFileA((directory_ + PluginFileName(plugin_)).c_str());
}

bool PlayerProcess::FoundFirstByClass() const {
  for (const char* className : {klv::kPlaylistWindowClass, klv::kEqualizerWindowClass}) {
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

intptr_t PlayerProcess::Request(int code, WPARAM wParam) const {
  return static_cast<intptr_t>(SendMessageA(main_, WM_USER, wParam, code));
}

void PlayerProcess::Command(WPARAM id) const { SendMessageA(main_, WM_COMMAND, id, 0); }

bool PlayerProcess::ReadMemory(uintptr_t address, void* unit, size_t size) const {
  SIZE_T read = 0;
  return ReadProcessMemory(process_.hProcess, reinterpret_cast<const void*>(address), unit, size, &read) &&
         read == size;
}

bool PlayerProcess::WaitForEnd(DWORD timeoutMs) {
  return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool PlayerProcess::WaitForExit(DWORD timeoutMs) {
  DWORD code = 1;
  return WaitForEnd(timeoutMs) && GetExitCodeProcess(process_.hProcess, &code) && code == 0;
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
  return WaitForExit();
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

bool PlayerProcess::AwaitLog(const std::string& line, std::string& log) const {
  for (int i = 0; i < 100 && (log = ReadLog()).find(line) == std::string::npos; ++i) Sleep(50);
  return log.find(line) != std::string::npos;
}
