// Private memory that the plug-in adds to the stand-in player, with and
// without gen_klv.dll: after init, with the OSD and the configuration dialog
// on screen, and after the dialog is closed. Private memory is PrivateUsage
// where the system reports it; Wine 8 reports 0 for another process, so there
// it is the Linux process's RssAnon + VmSwap read through Z:\proc.
// Prints markdown table rows. Needs KLV_PLAYER and KLV_DLL in the environment.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "player/stand_in_commands.h"
#include "testkit/player_process.h"

namespace {

constexpr int kRuns = 4;  // of each kind
constexpr DWORD kSettleMs = 400;
constexpr char kDialogCaption[] = "\"Kelvo-plugin\" configuration";

enum Point { kAfterInit, kOsdAndDialog, kDialogClosed, kPointCount };
const char* const kPointNames[kPointCount] = {"after init", "OSD and configuration dialog shown",
                                              "after the dialog is closed"};

struct Samples {
  std::vector<double> privateKiB[kPointCount];
  std::vector<double> workingSetKiB[kPointCount];
};

std::string ReadSmallFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string text(8192, '\0');
  DWORD read = 0;
  ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
  CloseHandle(file);
  text.resize(read);
  return text;
}

// The Linux pid of the Wine process whose command line names `dir`, or "".
std::string UnixPidOf(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return "";
  std::string pid;
  do {
    if (found.cFileName[0] < '0' || found.cFileName[0] > '9') continue;
    std::string commandLine = ReadSmallFile(std::string("Z:\\proc\\") + found.cFileName + "\\cmdline");
    if (commandLine.find(dir + "\\player.exe") != std::string::npos) pid = found.cFileName;
  } while (pid.empty() && FindNextFileA(search, &found));
  FindClose(search);
  return pid;
}

// A "Name:   123 kB" line of /proc/PID/status, in KiB; -1 when absent.
double StatusKiB(const std::string& status, const char* name) {
  size_t at = status.find(std::string("\n") + name + ":");
  if (at == std::string::npos) return -1;
  return std::strtod(status.c_str() + at + std::strlen(name) + 2, nullptr);
}

double PrivateKiB(HANDLE process, const std::string& unixPid) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters) &&
      counters.PrivateUsage != 0) {
    return counters.PrivateUsage / 1024.0;
  }
  if (unixPid.empty()) return -1;
  std::string status = ReadSmallFile("Z:\\proc\\" + unixPid + "\\status");
  double anonymous = StatusKiB(status, "RssAnon"), swapped = StatusKiB(status, "VmSwap");
  return anonymous < 0 ? -1 : anonymous + (swapped > 0 ? swapped : 0);
}

// Lets the player paint and run its timers, then asks it one question so that
// everything sent before has been handled.
void Settle(const PlayerProcess& run) {
  Sleep(kSettleMs);
  DWORD_PTR result = 0;
  SendMessageTimeoutA(run.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
}

bool Sample(const PlayerProcess& run, const std::string& unixPid, Point point, Samples& samples) {
  Settle(run);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  double privateKiB = PrivateKiB(run.Process(), unixPid);
  if (privateKiB < 0 || !GetProcessMemoryInfo(run.Process(), &counters, sizeof counters)) {
    std::fprintf(stderr, "no memory figures for the player\n");
    return false;
  }
  samples.privateKiB[point].push_back(privateKiB);
  samples.workingSetKiB[point].push_back(counters.WorkingSetSize / 1024.0);
  return true;
}

HWND FindDialog(DWORD pid) {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, nullptr, kDialogCaption)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

// The player writes its folder to the registry, where the plug-in finds its file.
bool RunOnce(const TestInstall& install, bool withPlugin, Samples& samples) {
  PlayerProcess run(install, {withPlugin ? PluginSource::kBuiltDll : PluginSource::kNone, "", 20000, false});
  if (!run.Started()) return false;
  const std::string unixPid = UnixPidOf(install.Directory());
  if (!Sample(run, unixPid, kAfterInit, samples)) return false;

  // "Show Song Information" through the hook, as the system would deliver the
  // hotkey; the player without the plug-in gets the same messages.
  WPARAM infoId = GlobalFindAtomA("inform_hotkey");
  if (withPlugin && infoId == 0) {
    std::fprintf(stderr, "the plug-in holds no hotkey atoms\n");
    return false;
  }
  SendMessageA(run.MainWindow(), WM_HOTKEY, infoId, 0);
  run.Command(player::kCommandPluginConfig);
  if (!Sample(run, unixPid, kOsdAndDialog, samples)) return false;

  HWND dialog = FindDialog(run.Pid());
  if (withPlugin != (dialog != nullptr)) {
    std::fprintf(stderr, "configuration dialog %s\n", withPlugin ? "missing" : "without the plug-in?");
    return false;
  }
  if (dialog != nullptr) PostMessageA(dialog, WM_CLOSE, 0, 0);
  const bool sampled = Sample(run, unixPid, kDialogClosed, samples);
  run.Quit();
  return sampled;
}

}  // namespace

int main() {
  TestInstall bare, full;
  if (!bench::WriteBenchIni(full.IniPath(), true)) {
    std::fprintf(stderr, "cannot write the settings file\n");
    return 1;
  }
  Samples without, with;
  for (int i = 0; i < kRuns; ++i) {
    bool ok = (i % 2 == 0) ? RunOnce(bare, false, without) && RunOnce(full, true, with)
                           : RunOnce(full, true, with) && RunOnce(bare, false, without);
    if (!ok) {
      std::fprintf(stderr, "a player run failed\n");
      return 1;
    }
  }
  for (int point = 0; point < kPointCount; ++point) {
    double privateWithout = bench::Median(without.privateKiB[point]);
    double privateWith = bench::Median(with.privateKiB[point]);
    double setWithout = bench::Median(without.workingSetKiB[point]);
    double setWith = bench::Median(with.workingSetKiB[point]);
    std::printf(
        "| memory | player private memory, %s, median | %.0f KiB without, %.0f KiB with "
        "(working set %.0f / %.0f KiB) | %.2fx (%+.0f KiB) |\n",
        kPointNames[point], privateWithout, privateWith, setWithout, setWith, privateWith / privateWithout,
        privateWith - privateWithout);
  }
  return 0;
}
