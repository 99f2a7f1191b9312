#include "testkit/test_host.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "core/host_codes.h"
#include "core/hotkeys/hotkey_actions.h"
#include "testkit/test_kit.h"

namespace {

// The newest host is the current one; an older one still alive (a suite's
// host kept for the process) answers and records its own windows' messages
// beside it, and is current again once the newer ones are gone.
std::vector<TestHost*> gLiveHosts;
TestHost* gCurrentHost = nullptr;

TestHost* HostOf(HWND window) {
  for (TestHost* host : gLiveHosts) {
    if (window == host->main || window == host->playlist || window == host->equalizer) return host;
  }
  return gCurrentHost;  // a window still being created
}

// Posted at construction: the windows are shown once the thread's messages run.
constexpr UINT kMsgShowHostWindows = WM_APP + 0x4B1;
constexpr char kSkinName[] = "Big Bento";
constexpr wchar_t kWideSkinName[] = L"Big Bento";

// As the player shows them, after its plug-ins have started; under a modern
// skin the equalizer stays hidden and the playlist is shown in the skin's window.
void ShowHostWindows(const TestHost& host) {
  for (HWND window : {host.main, host.playlist, host.equalizer}) {
    if (window == nullptr || (window == host.equalizer && host.skin == HostSkin::kModern)) continue;
    ShowWindow(window, SW_SHOW);
  }
}

LRESULT HostWindowProc(bool wide, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TestHost* host = HostOf(window);
  if (host != nullptr) host->log.push_back({window, message, wParam, lParam});
  const bool main = host != nullptr && window == host->main;
  if (main && message == WM_COMMAND && wParam == klv::kCommandNext) {
    Sleep(host->nextTakesMs);
    if (host->announcesStarts) {
      SendMessageA(window, WM_USER, reinterpret_cast<WPARAM>("C:\\Music\\Song.mp3"), klv::kHostTrackStarted);
      SendMessageW(window, WM_USER, reinterpret_cast<WPARAM>(L"C:\\Music\\Song.mp3"),
                   klv::kHostTrackStartedWide);
    }
  }
  if (main && message == kMsgShowHostWindows) {
    ShowHostWindows(*host);
    return 0;
  }
  // The player stops playback before its window goes.
  if (main && message == WM_CLOSE) host->position = -1;
  if (main && message == WM_USER) {
    if (const auto raw = host->rawAnswers.find(static_cast<int>(lParam)); raw != host->rawAnswers.end()) {
      return raw->second;
    }
    switch (lParam) {
      case klv::kHostPlayingState:
        return host->playingState;
      case klv::kHostVolume:
        if (static_cast<intptr_t>(wParam) == klv::kHostVolumeQuery) return host->volume;
        host->volume = static_cast<int32_t>(wParam & 0xFF);  // the host's cast to a byte
        return 0;
      case klv::kHostPosition:
        return wParam == 0 ? host->position : host->lengthSeconds;
      case klv::kHostPlaylistIndex:
        return host->playlistIndex;
      case klv::kHostTitleAt:
        return host->nullTitle ? 0 : reinterpret_cast<LRESULT>(host->title.c_str());
      case klv::kHostWideTitleAt:
        return host->wideTitles ? reinterpret_cast<LRESULT>(host->wideTitle.c_str()) : host->noWideTitle;
      case klv::kHostSkinInfo:
        return host->skin == HostSkin::kModern ? reinterpret_cast<LRESULT>(kSkinName) : 0;
      case klv::kHostSkinInfoWide:
        return host->skin == HostSkin::kModern ? reinterpret_cast<LRESULT>(kWideSkinName) : 0;
      case klv::kHostDialogParent:
        return reinterpret_cast<LRESULT>(host->skin == HostSkin::kModern ? host->skinMain : host->main);
      case klv::kHostSettingsFolder:
        return host->settingsFolder.empty() ? 0 : reinterpret_cast<LRESULT>(host->settingsFolder.c_str());
      case klv::kHostShuffleState:
        return host->shuffle;
      case klv::kHostRepeatState:
        return host->repeat;
      case klv::kHostSetRating:
        host->rating = static_cast<int32_t>(wParam);
        return 1;
      case klv::kHostRating:
        return host->rating;
      default:
        return 0;
    }
  }
  return wide ? DefWindowProcW(window, message, wParam, lParam)
              : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK UnicodeHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return HostWindowProc(true, window, message, wParam, lParam);
}

LRESULT CALLBACK EightBitHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return HostWindowProc(false, window, message, wParam, lParam);
}

std::wstring Wide(const char* ascii) { return std::wstring(ascii, ascii + std::strlen(ascii)); }

void RegisterHostClass(const char* name) {
  const std::wstring wideName = Wide(name);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = UnicodeHostProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = wideName.c_str();
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&windowClass);  // fails harmlessly when already registered
}

HWND CreateHostWindow(const char* className, DWORD style, RECT place, HWND owner) {
  return CreateWindowExW(0, Wide(className).c_str(), Wide(className).c_str(), style, place.left, place.top,
                         place.right - place.left, place.bottom - place.top, owner, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// The side windows are owned overlapped windows: their owner is the main
// window, yet GetParent answers null for them.
const RECT kMainPlace{20, 20, 320, 140};
const RECT kPlaylistPlace{20, 160, 320, 280};
const RECT kEqualizerPlace{340, 20, 640, 140};

const char kRegistryKey[] = "Software\\Winamp";

}  // namespace

TestHost::TestHost(bool withPlaylist, bool withEqualizer) {
  for (const char* name : {klv::kMainWindowClass, klv::kPlaylistWindowClass, klv::kEqualizerWindowClass})
    RegisterHostClass(name);
  gCurrentHost = this;
  gLiveHosts.push_back(this);
  main = CreateHostWindow(klv::kMainWindowClass, WS_OVERLAPPEDWINDOW, kMainPlace, nullptr);
  if (withPlaylist)
    playlist = CreateHostWindow(klv::kPlaylistWindowClass, WS_OVERLAPPEDWINDOW, kPlaylistPlace, main);
  if (withEqualizer)
    equalizer = CreateHostWindow(klv::kEqualizerWindowClass, WS_OVERLAPPEDWINDOW, kEqualizerPlace, main);
  PostMessageW(main, kMsgShowHostWindows, 0, 0);
}

TestHost::~TestHost() {
  for (HWND window : {equalizer, playlist, main}) {
    if (window != nullptr && IsWindow(window)) DestroyWindow(window);
  }
  PumpMessages();
  gLiveHosts.erase(std::remove(gLiveHosts.begin(), gLiveHosts.end(), this), gLiveHosts.end());
  if (gCurrentHost == this) gCurrentHost = gLiveHosts.empty() ? nullptr : gLiveHosts.back();
}

std::array<WNDPROC, 3> TestHost::Procedures() const {
  return {WindowProcedure(main), WindowProcedure(playlist), WindowProcedure(equalizer)};
}

void TestHost::SetKind(HostKind kind) {
  for (HWND window : {main, playlist, equalizer}) {
    if (window == nullptr) continue;
    // An 8-bit procedure makes the window an 8-bit one, as a class of the 2.x player's would.
    if (kind == HostKind::kUnicode)
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UnicodeHostProc));
    if (kind == HostKind::k8Bit)
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EightBitHostProc));
  }
}

TestHost* TestHost::Current() { return gCurrentHost; }

void TestHost::SwitchSkin(HostSkin to) {
  if (to == skin) return;
  // Answered from here on: the windows move for a skin that is loaded already.
  skin = to;
  const DWORD mainExStyle = static_cast<DWORD>(GetWindowLongW(main, GWL_EXSTYLE));
  if (to == HostSkin::kModern) {
    RegisterHostClass(klv::kSkinWindowClass);
    skinMain = CreateHostWindow(klv::kSkinWindowClass, WS_POPUP | WS_CAPTION, kMainPlace, main);
    skinPlaylist = CreateHostWindow(klv::kSkinWindowClass, WS_POPUP | WS_CAPTION, kPlaylistPlace, main);
    for (HWND window : {skinMain, skinPlaylist}) ShowWindow(window, SW_SHOWNA);
    SetWindowLongW(main, GWL_EXSTYLE, static_cast<LONG>(mainExStyle | WS_EX_LAYERED));
    SetLayeredWindowAttributes(main, 0, 0, LWA_ALPHA);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(skinMain, MONITOR_DEFAULTTOPRIMARY), &monitor);
    SetWindowPos(main, nullptr, monitor.rcMonitor.left, monitor.rcMonitor.bottom - 1, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (playlist != nullptr) {
      const LONG style = GetWindowLongW(playlist, GWL_STYLE);
      SetWindowLongW(playlist, GWL_STYLE,
                     (style & ~static_cast<LONG>(WS_POPUP | WS_OVERLAPPEDWINDOW)) | WS_CHILD);
      SetParent(playlist, skinPlaylist);
      SetWindowPos(playlist, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    if (equalizer != nullptr) ShowWindow(equalizer, SW_HIDE);
  } else {
    SetWindowLongW(main, GWL_EXSTYLE, static_cast<LONG>(mainExStyle & ~WS_EX_LAYERED));
    SetWindowPos(main, nullptr, kMainPlace.left, kMainPlace.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (playlist != nullptr) {
      const LONG style = GetWindowLongW(playlist, GWL_STYLE);
      SetParent(playlist, nullptr);
      SetWindowLongW(playlist, GWL_STYLE, (style & ~static_cast<LONG>(WS_CHILD)) | WS_OVERLAPPEDWINDOW);
      SetWindowLongPtrW(playlist, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(main));  // its owner again
      SetWindowPos(playlist, nullptr, kPlaylistPlace.left, kPlaylistPlace.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    if (equalizer != nullptr && IsWindowVisible(main)) ShowWindow(equalizer, SW_SHOWNA);
    DestroyWindow(skinPlaylist);
    DestroyWindow(skinMain);
    skinMain = skinPlaylist = nullptr;
  }
  PostMessageW(main, WM_USER, 0, klv::kHostSkinChanged);
}

void TestHost::RecreateEqualizer() {
  DestroyWindow(equalizer);
  equalizer = CreateHostWindow("Winamp EQ", WS_OVERLAPPEDWINDOW, kEqualizerPlace, main);
  ShowWindow(equalizer, SW_SHOWNA);
  PostMessageW(main, WM_USER, 0, klv::kHostSkinChanged);
}

void TestHost::Close(LoadedPlugin& plugin) {
  SendMessageW(main, WM_CLOSE, 0, 0);
  plugin.Quit();
}

void TestHost::EndSession(LoadedPlugin& plugin) {
  SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  plugin.Quit();
}

std::vector<int> TestHost::Traffic(bool requests, bool commands) const {
  std::vector<int> traffic;
  for (const RecordedMessage& m : log) {
    if (requests && m.window == main && m.message == WM_USER) traffic.push_back(static_cast<int>(m.lParam));
    if (commands && m.window == main && m.message == WM_COMMAND)
      traffic.push_back(static_cast<int>(m.wParam));
  }
  return traffic;
}

std::vector<WPARAM> TestHost::RequestArguments(int code) const {
  std::vector<WPARAM> arguments;
  for (const RecordedMessage& m : log) {
    if (m.window == main && m.message == WM_USER && m.lParam == code) arguments.push_back(m.wParam);
  }
  return arguments;
}

std::vector<WPARAM> TestHost::Hotkeys() const {
  std::vector<WPARAM> ids;
  for (const RecordedMessage& m : log) {
    if (m.window == main && m.message == WM_HOTKEY) ids.push_back(m.wParam);
  }
  return ids;
}

bool TestHost::PressHotkey(klv::PackedHotkey packed) {
  const int before = Count(main, WM_HOTKEY);
  PressKeys(packed);
  return WaitUntil([&] { return Count(main, WM_HOTKEY) > before; });
}

int TestHost::Count(HWND window, UINT message) const {
  int count = 0;
  for (const RecordedMessage& m : log) count += (m.window == window && m.message == message) ? 1 : 0;
  return count;
}

TestHost& SharedHost() {
  static TestHost* host = [] {
    auto* made = new TestHost();
    FlushPostedMessages();  // its windows shown, as a running player's are
    return made;
  }();
  return *host;
}

void PumpMessages(DWORD ms) {
  WaitUntil([] { return false; }, ms);
}

TestInstall::TestInstall() {
  static int counter = 0;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  directory_ = std::string(temp) + "klvtest-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++counter);
  CreateDirectoryA(directory_.c_str(), nullptr);
  CreateDirectoryA((directory_ + "\\Plugins").c_str(), nullptr);
  SetRegistryValue(directory_);
}

TestInstall::~TestInstall() {
  std::string ini = IniPath();
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());  // drop Wine's cached copy
  SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(ini.c_str());
  // What a player started here left: kept from one player to the next, as in a real install.
  for (const char* file : {"\\player.exe", "\\player.log", "\\player.ini"})
    DeleteFileA((directory_ + file).c_str());
  RemoveDirectoryA((directory_ + "\\Plugins").c_str());
  RemoveDirectoryA(directory_.c_str());
}

void TestInstall::WriteIni(const std::string& content) const {
  const std::string ini = IniPath();
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
  if (!WriteWholeFile(ini, content)) throw std::runtime_error("cannot write " + ini);
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
}

std::string TestInstall::ReadIni() const {
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, IniPath().c_str());
  return ReadWholeFile(IniPath());
}

std::string TestInstall::IniValue(const char* section, const char* key) const {
  char buffer[2048];
  GetPrivateProfileStringA(section, key, "<missing>", buffer, sizeof(buffer), IniPath().c_str());
  return buffer;
}

std::string TestInstall::RegistryValue() {
  char value[MAX_PATH] = "";
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, kRegistryKey, nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS)
    return "";
  return value;
}

void TestInstall::SetRegistryValue(const std::string& value) {
  SetRegistryValueRaw(REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void TestInstall::SetRegistryValueRaw(DWORD type, const void* data, DWORD size) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kRegistryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot create the host's registry key");
  }
  RegSetValueExA(key, nullptr, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

void TestInstall::DeleteRegistryValue() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRegistryKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, nullptr);
    RegCloseKey(key);
  }
}

void TestInstall::DeleteRegistryKey() { RegDeleteKeyA(HKEY_CURRENT_USER, kRegistryKey); }

LoadedPlugin::LoadedPlugin(HWND hostMain) {
  module = LoadLibraryA(PluginDllPath().c_str());
  if (module == nullptr) throw std::runtime_error("cannot load gen_klv.dll");
  using GetPlugin = PluginDescriptor*(__cdecl*)();
  auto get = reinterpret_cast<GetPlugin>(
      reinterpret_cast<void*>(GetProcAddress(module, "winampGetGeneralPurposePlugin")));
  if (get == nullptr) throw std::runtime_error("winampGetGeneralPurposePlugin is not exported");
  descriptor = get();
  descriptor->hwndParent = hostMain;
  descriptor->hDllInstance = module;
}

LoadedPlugin::~LoadedPlugin() { Unload(); }

HWND LoadedPlugin::OpenConfigDialog() {
  Config();
  HWND dialog = nullptr;
  WaitUntil([&] { return (dialog = FindConfigDialog()) != nullptr; });
  return dialog;
}

void LoadedPlugin::Unload() {
  if (module != nullptr) FreeLibrary(module);
  module = nullptr;
  descriptor = nullptr;
}

MessageBoxWatcher::MessageBoxWatcher() : thread_([this] { Run(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
  stop_ = true;
  thread_.Join();
}

std::vector<SeenMessageBox> MessageBoxWatcher::Seen() {
  const CriticalSection::Lock lock(mutex_);
  return seen_;
}

std::vector<SeenMessageBox> MessageBoxWatcher::SeenAfterPump() {
  FlushPostedMessages();
  return Seen();
}

::testing::AssertionResult OneErrorBox(const std::vector<SeenMessageBox>& seen, const std::string& text,
                                       const std::string& caption) {
  if (seen.size() != 1) return ::testing::AssertionFailure() << seen.size() << " boxes";
  if (seen[0].caption != caption || seen[0].text != text || seen[0].icon == 0) {
    return ::testing::AssertionFailure()
           << "\"" << seen[0].caption << "\": \"" << seen[0].text << "\", icon " << seen[0].icon;
  }
  return ::testing::AssertionSuccess();
}

void MessageBoxWatcher::Run() {
  while (!stop_) {
    for (HWND box : VisibleMessageBoxes()) {
      SeenMessageBox seen{WindowTextOf(box), WindowTextOf(GetDlgItem(box, 0xFFFF)), 0};
      // The icon is a static (id 0x14 on Windows, 0x440 on Wine); present only when an icon was asked for.
      if (GetDlgItem(box, 0x14) != nullptr || GetDlgItem(box, 0x440) != nullptr) seen.icon = 1;
      {
        const CriticalSection::Lock lock(mutex_);
        seen_.push_back(seen);
      }
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      // Wait until it is gone so that one box is seen once.
      for (int i = 0; i < 200 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(5);
    }
    Sleep(10);
  }
}

void DllTest::SetUp() { ResetGlobalAtoms(); }

void DllTest::TearDown() { ResetGlobalAtoms(); }

bool GlobalAtomExists(const char* name) { return GlobalFindAtomA(name) != 0; }

void ResetGlobalAtoms() {
  for (int attempt = 0; attempt < 8 && GlobalFindAtomA(kInstanceAtom) != 0; ++attempt) {
    GlobalDeleteAtom(GlobalFindAtomA(kInstanceAtom));
  }
  for (const klv::HotkeyAction& action : klv::kHotkeyActions) {
    for (int attempt = 0; attempt < 8; ++attempt) {
      ATOM atom = GlobalFindAtomA(action.atomName);
      if (atom == 0) break;
      GlobalDeleteAtom(atom);
    }
  }
}
