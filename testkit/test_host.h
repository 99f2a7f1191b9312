// What the Wine suites share: a host player the test plays, a private install
// directory with its registry value, the real DLL loaded through LoadLibrary,
// and a watcher that reads and closes message boxes from a second thread.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "testkit/modal_script.h"
#include "testkit/test_kit.h"
#include "testkit/win32_thread.h"
#include "win32/host/plugin_contract.h"

struct RecordedMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// The 5.x player's windows are Unicode windows, the 2.x player's 8-bit ones.
enum class HostKind { kUnicode, k8Bit };
enum class HostSkin { kClassic, kModern };

class LoadedPlugin;

// The three windows of the player's classes, Unicode windows unless SetKind
// says otherwise. Their own procedures answer the host requests from the
// public fields and record every message that reaches them, that is after the
// plug-in's hooks. As in the 5.x player the playlist and equalizer are owned
// by the main window, and all three are created hidden and shown once the
// thread's messages run, so a plug-in started right after construction is
// started before they are shown.
class TestHost {
 public:
  explicit TestHost(bool withPlaylist = true, bool withEqualizer = true);
  ~TestHost();
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  HWND main = nullptr;
  HWND playlist = nullptr;
  HWND equalizer = nullptr;

  // State the requests answer from.
  int32_t position = 65432;     // 105/0, ms; -1 for none
  int32_t lengthSeconds = 187;  // 105/1; -1 for none
  int32_t playlistIndex = 0;    // 125
  std::string title = "Song";   // 212
  bool nullTitle = false;       // 212 answers 0
  int32_t shuffle = 0;          // 250
  int32_t repeat = 0;           // 251
  int32_t playingState = 0;     // 104: 1 playing, 3 paused, 0 stopped
  int32_t volume = 158;         // 122 with wParam -666; 122 with 0..255 sets it
  int32_t rating = 0;           // 640; 639 sets it
  // "Next" sends both notices of a track's start before it returns, as the 5.x host does.
  bool announcesStarts = false;
  DWORD nextTakesMs = 0;  // "Next" keeps the host busy, as opening a file does
  // 213 answers wideTitle when wideTitles is on, else noWideTitle (0 or -1) as an older host does.
  bool wideTitles = false;
  std::wstring wideTitle = L"Song";
  LRESULT noWideTitle = 0;
  // 1335, the per-user settings folder: answered when set, else 0 as an older host.
  std::wstring settingsFolder;
  // Answers by request code as they are, over everything above.
  std::map<int, LRESULT> rawAnswers;

  // The skin, as the 5.x skin engine switches it. Under a modern skin two
  // windows of the skin's own (klv::kSkinWindowClass, owned by the main
  // window) stand in for the three: the main window is layered at alpha 0 on
  // the bottom pixel row of its monitor, the playlist a child of the skin's
  // second window, the equalizer hidden; 633 answers the skin's name and 365
  // the skin's main window. Back to classic, the main window loses its layered
  // style and the playlist and equalizer come back. 3018 is posted to the main
  // window after each switch.
  void SwitchSkin(HostSkin skin);
  // A skin switch that builds the equalizer anew: the old one destroyed, a new
  // one of its class owned by the main window, shown, then 3018 posted.
  void RecreateEqualizer();
  HostSkin skin = HostSkin::kClassic;
  HWND skinMain = nullptr;
  HWND skinPlaylist = nullptr;
  // The 5.x player's close: playback stops (105 answers -1 from then on),
  // the main window is destroyed with the windows it owns, and only then is
  // quit called.
  void Close(LoadedPlugin& plugin);
  // A log-off: quit while the windows are still there.
  void EndSession(LoadedPlugin& plugin);

  std::vector<RecordedMessage> log;
  void ClearLog() { log.clear(); }
  // What reached the main window, in order: the lParam of every WM_USER
  // request, the wParam of every WM_COMMAND, or both (request codes below
  // 1000, command ids 40000 and up).
  std::vector<int> Requests() const { return Traffic(true, false); }
  std::vector<int> Commands() const { return Traffic(false, true); }
  std::vector<int> RequestsAndCommands() const { return Traffic(true, true); }
  std::vector<int> Traffic(bool requests, bool commands) const;
  // wParam of every request with this code to the main window, in order.
  std::vector<WPARAM> RequestArguments(int code) const;
  // wParam of every WM_HOTKEY that reached the main window's own procedure.
  std::vector<WPARAM> Hotkeys() const;
  // Presses the combination through SendInput and waits until the main
  // window has seen one more WM_HOTKEY; false when none came.
  bool PressHotkey(klv::PackedHotkey packed);
  int Count(HWND window, UINT message) const;
  // The window procedures of main, playlist and equalizer, null for a missing window.
  std::array<WNDPROC, 3> Procedures() const;

  // Gives the windows the host procedure of that kind; only while nothing hooks them.
  void SetKind(HostKind kind);

  static TestHost* Current();  // the host whose windows exist now
};

// One host for a whole suite: under Wine without a window manager each
// visible window takes seconds to destroy, so the host is made once and left
// to the process exit.
TestHost& SharedHost();

// Runs the thread's message loop for about ms milliseconds (at least once).
void PumpMessages(DWORD ms = 0);

// A host directory with a Plugins folder under a fresh temp folder, and
// HKCU\Software\Winamp's default value naming it. Removed again at the end.
class TestInstall {
 public:
  TestInstall();
  ~TestInstall();
  TestInstall(const TestInstall&) = delete;
  TestInstall& operator=(const TestInstall&) = delete;

  const std::string& Directory() const { return directory_; }
  std::string IniPath() const { return directory_ + "\\Plugins\\gen_klv.ini"; }
  void WriteIni(const std::string& content) const;
  std::string ReadIni() const;  // empty when missing
  // GetPrivateProfileString on the ini, for checking single keys.
  std::string IniValue(const char* section, const char* key) const;

  // HKCU\Software\Winamp's default value, where the host's setup names its folder; empty when unset.
  static std::string RegistryValue();
  static void SetRegistryValue(const std::string& value);
  static void SetRegistryValueRaw(DWORD type, const void* data, DWORD size);
  static void DeleteRegistryValue();
  static void DeleteRegistryKey();

 private:
  std::string directory_;
};

// The real gen_klv.dll (path in %KLV_DLL%), loaded for one test.
class LoadedPlugin {
 public:
  explicit LoadedPlugin(HWND hostMain);
  ~LoadedPlugin();  // FreeLibrary
  LoadedPlugin(const LoadedPlugin&) = delete;
  LoadedPlugin& operator=(const LoadedPlugin&) = delete;

  int Init() { return descriptor->init(); }
  void Config() { descriptor->config(); }
  // Config, then waits for the configuration dialog; null when it never came.
  HWND OpenConfigDialog();
  void Quit() { descriptor->quit(); }
  void Unload();

  HMODULE module = nullptr;
  PluginDescriptor* descriptor = nullptr;
};

struct SeenMessageBox {
  std::string caption;
  std::string text;
  UINT icon;  // the dialog's icon style as far as it can be seen, else 0
};

// Closes every message box of this process as soon as it appears, from a
// second thread, and remembers its caption and text.
class MessageBoxWatcher {
 public:
  MessageBoxWatcher();
  ~MessageBoxWatcher();
  std::vector<SeenMessageBox> Seen();
  // The boxes seen once everything posted so far has been handled.
  std::vector<SeenMessageBox> SeenAfterPump();

 private:
  void Run();
  std::atomic<bool> stop_{false};
  CriticalSection mutex_;
  std::vector<SeenMessageBox> seen_;
  Win32Thread thread_;
};

// Whether exactly one box was seen: an error box with its icon, its caption
// and text.
::testing::AssertionResult OneErrorBox(const std::vector<SeenMessageBox>& seen, const std::string& text,
                                       const std::string& caption = "Error");

// Runs act on the first visible dialog (#32770) of this process, such as the
// colour or font picker, from inside that dialog's modal loop on this thread.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> act)
      : script_({WhenDialog(std::move(act))}, ModalScript::LaterBoxes::kLeave) {}
  bool Found() const { return script_.AllDone(); }

 private:
  ModalScript script_;
};

// A test through the real DLL with an install of its own, and no atom of ours
// before it or after it.
class DllTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TestInstall install;
};

// The global atom that tells every process a player runs the plug-in.
constexpr char kInstanceAtom[] = "Kelvo_plugin_running";

// Whether an atom of that name exists in the global atom table.
bool GlobalAtomExists(const char* name);
// Deletes every global atom the plug-in may hold, so one test's leftovers never
// leak into the next.
void ResetGlobalAtoms();
