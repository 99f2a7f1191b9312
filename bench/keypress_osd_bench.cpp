// From a key press to the OSD on screen: the plug-in started by PluginInit on
// a host main window of this process, its "Show Song Information" hotkey
// pressed through SendInput, and the time until WM_HOTKEY has run through the
// hook and the OSD window is visible and painted. The OSD is hidden before
// each press, so every press builds the window again. Each press alternates
// with one of the floor: another hotkey of this process whose WM_HOTKEY shows
// a bare popup of the OSD's size, measured the same way. Runs once with the
// OSD on the primary monitor (OSDMonitor=0) and once on the foreground
// window's (OSDMonitor=2), which asks for that monitor at every show. Prints
// markdown rows.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "bench/bench_support.h"
#include "entry/lifecycle.h"
#include "entry/plugin_descriptor.h"
#include "plugin/osd_window.h"
#include "plugin/plugin_state.h"

namespace {

constexpr int kPresses = 200;
constexpr int kInfoEntry = 11;  // "Show Song Information": asks the host for title and times only
constexpr double kTimeoutMs = 2000;
constexpr char kTitle[] = "Bench Artist - Bench Title";
constexpr int kFloorHotkeyId = 0x7000;
const klv::PackedHotkey kFloorHotkey = klv::PackHotkey('Z', true, true, false, false);

bench::FloorPopup* gFloor = nullptr;
RECT gFloorPlace{};
std::string gFloorText;

LRESULT CALLBACK FloorHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_HOTKEY && wParam == kFloorHotkeyId && gFloor != nullptr) {
    gFloor->Show(gFloorPlace, gFloorText);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message != WM_USER) return DefWindowProcA(window, message, wParam, lParam);
  switch (lParam) {
    case 105:  // position: ms, or the length in s
      return wParam == 0 ? 65432 : 187;
    case 212:  // title of an entry
      return reinterpret_cast<LRESULT>(kTitle);
    default:
      return 0;
  }
}

INPUT KeyEvent(WORD virtualKey, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  return input;
}

// Presses the entry's combination as the user would; false if the system took none of it.
bool Press(klv::PackedHotkey packed) {
  std::vector<WORD> modifiers;
  const uint16_t mods = klv::HotkeyModifiers(packed);
  if (mods & klv::kModCtrl) modifiers.push_back(VK_CONTROL);
  if (mods & klv::kModAlt) modifiers.push_back(VK_MENU);
  if (mods & klv::kModShift) modifiers.push_back(VK_SHIFT);
  if (mods & klv::kModWin) modifiers.push_back(VK_LWIN);
  std::vector<INPUT> inputs;
  for (WORD key : modifiers) inputs.push_back(KeyEvent(key, true));
  inputs.push_back(KeyEvent(klv::HotkeyKeyCode(packed), true));
  inputs.push_back(KeyEvent(klv::HotkeyKeyCode(packed), false));
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) inputs.push_back(KeyEvent(*it, false));
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool Painted(HWND window) {
  return window != nullptr && IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE);
}

// Presses `packed` and dispatches this thread's messages until the window that
// `shown` names is up and painted; -1 on timeout.
template <typename Shown>
double PressUntilPainted(klv::PackedHotkey packed, Shown shown) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  LARGE_INTEGER start = bench::Now();
  if (!Press(packed)) return -1;
  for (;;) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&msg);
    } else if (Painted(shown())) {
      return bench::Milliseconds(start, bench::Now());
    } else if (bench::Milliseconds(start, bench::Now()) > kTimeoutMs) {
      return -1;
    }
  }
}

double PressToOsd(klv::PackedHotkey packed) {
  DestroyOsdPlatformWindow();
  return PressUntilPainted(packed, [] { return OsdPlatformWindow(); });
}

double PressToFloor() {
  gFloor->Hide();
  return PressUntilPainted(kFloorHotkey, [] { return gFloor->Window(); });
}

struct Run {
  bench::Spread ours;
  bench::Spread floor;
  double Ratio() const { return ours.median / floor.median; }
};

// kPresses presses of the OSD's key, each beside one of the floor's.
bool MeasurePresses(klv::PackedHotkey packed, int32_t osdMonitor, Run& run) {
  gSettings.osdMonitor = osdMonitor;
  std::vector<double> times, floorTimes;
  for (int i = 0; i < kPresses; ++i) {
    const double ms = PressToOsd(packed);
    const double floorMs = PressToFloor();
    if (ms < 0 || floorMs < 0) {
      std::fprintf(stderr, "OSDMonitor=%d, press %d: no %s within %.0f ms\n", osdMonitor, i,
                   ms < 0 ? "OSD" : "floor popup", kTimeoutMs);
      return false;
    }
    times.push_back(ms);
    floorTimes.push_back(floorMs);
  }
  run = Run{bench::SpreadOf(times), bench::SpreadOf(floorTimes)};
  return true;
}

void PrintRun(const char* label, const Run& run) {
  std::printf(
      "| key press to OSD, %s | SendInput to OSD visible and painted, %d presses | median %.3f ms, p95 %.3f "
      "ms, "
      "worst %.3f ms | %.2fx the floor's median (target ≤ 1.2x: %s); median < 5 ms: %s |\n",
      label, kPresses, run.ours.median, run.ours.p95, run.ours.worst, run.Ratio(),
      run.Ratio() <= 1.2 ? "met" : "missed", run.ours.median < 5.0 ? "met" : "missed");
  std::printf(
      "| key press to OSD, %s | floor: SendInput to a bare layered popup of the same size visible and "
      "painted, %d "
      "presses | median %.3f ms, p95 %.3f ms, worst %.3f ms | 1.00x |\n",
      label, kPresses, run.floor.median, run.floor.p95, run.floor.worst);
}

}  // namespace

int main() {
  BOOL animation = FALSE;
  SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &animation, 0);
  SystemParametersInfoA(SPI_SETTOOLTIPANIMATION, 0, reinterpret_cast<void*>(FALSE), 0);

  bench::Install install("keypress", false);
  HWND main = bench::CreateHostWindow(klv::kMainWindowClass, HostProc);
  if (main == nullptr || !bench::PointRegistryAt(install.Dir()) ||
      !bench::WriteBenchIni(install.Ini(), true)) {
    std::fprintf(stderr, "cannot set up the host\n");
    return 1;
  }
  gPlugin.hwndParent = main;
  if (PluginInit() != 0 || HotkeyEntry(kInfoEntry).id == 0) {
    std::fprintf(stderr, "the plug-in did not start with its hotkeys\n");
    return 1;
  }
  const klv::PackedHotkey packed = HotkeyEntry(kInfoEntry).packed;
  PressToOsd(packed);  // warm-up: first font and window class use

  // The floor: the OSD's text and size, beside it.
  bench::FloorPopup floor;
  gFloor = &floor;
  char text[512] = "";
  GetWindowTextA(OsdPlatformWindow(), text, sizeof text);
  gFloorText = text;
  RECT osd{};
  GetWindowRect(OsdPlatformWindow(), &osd);
  gFloorPlace = osd;
  const int height = osd.bottom - osd.top;
  OffsetRect(&gFloorPlace, 0, osd.top > height + 10 ? -(height + 10) : height + 10);
  HWND floorHost = bench::CreateHostWindow("KlvBenchFloorHost", FloorHostProc);
  if (floorHost == nullptr || !RegisterHotKey(floorHost, kFloorHotkeyId, klv::HotkeyModifiers(kFloorHotkey),
                                              klv::HotkeyKeyCode(kFloorHotkey))) {
    std::fprintf(stderr, "cannot register the floor's hotkey\n");
    PluginQuit();
    return 1;
  }
  PressToFloor();  // warm-up

  Run primary{}, foreground{};
  const bool measured = MeasurePresses(packed, 0, primary) && MeasurePresses(packed, 2, foreground);
  UnregisterHotKey(floorHost, kFloorHotkeyId);
  DestroyWindow(floorHost);
  floor.Hide();
  gFloor = nullptr;
  PluginQuit();
  DeleteFileA(install.Ini().c_str());
  SystemParametersInfoA(SPI_SETTOOLTIPANIMATION, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(animation)),
                        0);

  if (!measured) return 1;
  PrintRun("OSDMonitor=0", primary);
  PrintRun("OSDMonitor=2", foreground);
  std::printf(
      "| key press to OSD, side by side | ratio to the floor | OSDMonitor=0: %.2fx, OSDMonitor=2: %.2fx | "
      "|\n",
      primary.Ratio(), foreground.Ratio());
  return 0;
}
