#include "tests/wine/child_processes.h"

#include <cstdlib>
#include <vector>

#include "tests/wine/test_kit.h"

namespace {

bool StartProcess(std::string command, const char* directory, PROCESS_INFORMATION& process) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  // No output of theirs in the test's.
  startup.dwFlags = STARTF_USESTDHANDLES;
  return CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, directory, &startup,
                        &process) != FALSE;
}

void EndProcess(PROCESS_INFORMATION& process) {
  if (process.hProcess == nullptr) return;
  if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 9);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  process = PROCESS_INFORMATION{};
}

struct ProcessBoxes {
  DWORD process;
  std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBoxesOf(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ProcessBoxes*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[16] = {};
  GetClassNameA(window, className, sizeof(className));
  if (process == search->process && lstrcmpA(className, "#32770") == 0 &&
      GetDlgItem(window, 0xFFFF) != nullptr)
    search->boxes.push_back(window);
  return TRUE;
}

}  // namespace

HotkeyHolder::HotkeyHolder(klv::PackedHotkey packed) {
  const std::string command = "\"" + EnvPath("KLV_WINTOOL") + "\" hold-hotkey " +
                              std::to_string(klv::HotkeyModifiers(packed)) + " " +
                              std::to_string(klv::HotkeyKeyCode(packed)) + " 600000";
  started_ = StartProcess(command, nullptr, process_);
}

HotkeyHolder::~HotkeyHolder() { EndProcess(process_); }

bool HotkeyHolder::Running() const {
  return started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

ChildPlayer::ChildPlayer(const std::string& directory, bool withPlugin)
    : directory_(directory), exe_(directory + "\\player.exe"), logPath_(directory + "\\player.log") {
  CopyFileA(EnvPath("KLV_PLAYER").c_str(), exe_.c_str(), FALSE);
  if (withPlugin) CopyFileA(PluginDllPath().c_str(), (directory_ + "\\Plugins\\gen_klv.dll").c_str(), FALSE);
  DeleteFileA(logPath_.c_str());
  const std::string command = "\"" + exe_ + "\" --no-registry --log \"" + logPath_ + "\"";
  if (!StartProcess(command, directory_.c_str(), process_)) process_ = PROCESS_INFORMATION{};
}

ChildPlayer::~ChildPlayer() {
  EndProcess(process_);
  DeleteFileA(exe_.c_str());
  DeleteFileA((directory_ + "\\Plugins\\gen_klv.dll").c_str());
  DeleteFileA(logPath_.c_str());
  DeleteFileA((directory_ + "\\player.ini").c_str());
}

bool ChildPlayer::Running() const {
  return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::string ChildPlayer::Log() const {
  HANDLE file =
      CreateFileA(logPath_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buffer[8192];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}

int ChildPlayer::WaitForPluginInit(DWORD timeoutMs) {
  const char kAnswer[] = "player: init gen_klv.dll returned ";
  int answer = -2;
  // Pumps meanwhile: the child's plug-in may send to our windows of its classes.
  WaitUntil(
      [&] {
        const std::string log = Log();
        const size_t at = log.find(kAnswer);
        if (at != std::string::npos && log.find('\n', at) != std::string::npos) {
          answer = std::atoi(log.c_str() + at + sizeof(kAnswer) - 1);
          return true;
        }
        CloseMessageBoxes();
        return !Running();
      },
      timeoutMs);
  return answer;
}

bool ChildPlayer::Close(DWORD timeoutMs) { return PostAndWait(WM_CLOSE, 0, timeoutMs); }

bool ChildPlayer::ExitWithoutQuit(DWORD timeoutMs) {
  constexpr WPARAM kCommandExitWithoutQuit = 41002;  // the stand-in player's own command
  return PostAndWait(WM_COMMAND, kCommandExitWithoutQuit, timeoutMs);
}

HWND ChildPlayer::MainWindow() const {
  // The child's own: the test's host has a window of the same class.
  for (HWND main = FindWindowExA(nullptr, nullptr, "Winamp v1.x", nullptr); main != nullptr;
       main = FindWindowExA(nullptr, main, "Winamp v1.x", nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(main, &process);
    if (process == process_.dwProcessId) return main;
  }
  return nullptr;
}

HWND ChildPlayer::WaitForMainWindow(DWORD timeoutMs) {
  WaitUntil([this] { return MainWindow() != nullptr || !Running(); }, timeoutMs);
  return MainWindow();
}

bool ChildPlayer::PostAndWait(UINT message, WPARAM wParam, DWORD timeoutMs) {
  if (!Running()) return true;
  bool posted = false;
  // Our thread's windows may be sent messages by the child meanwhile: pump.
  return WaitUntil(
      [&] {
        HWND main = posted ? nullptr : MainWindow();
        if (main != nullptr) posted = PostMessageA(main, message, wParam, 0) != FALSE;
        CloseMessageBoxes();
        return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
      },
      timeoutMs);
}

void ChildPlayer::Terminate() {
  if (!Running()) return;
  TerminateProcess(process_.hProcess, 9);
  WaitForSingleObject(process_.hProcess, 5000);
}

int ChildPlayer::CloseMessageBoxes() const {
  if (process_.hProcess == nullptr) return 0;
  ProcessBoxes search{process_.dwProcessId, {}};
  EnumWindows(CollectBoxesOf, reinterpret_cast<LPARAM>(&search));
  for (HWND box : search.boxes) PostMessageA(box, WM_COMMAND, IDOK, 0);
  return static_cast<int>(search.boxes.size());
}
