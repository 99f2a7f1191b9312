// Init, config and quit through the real DLL as the host loads it.
#include <windows.h>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "player/album_art_service.h"
#include "testkit/resource_counts.h"
#include "testkit/test_host.h"
#include "ui/config_dialog_ids.h"
#include "win32/host/plugin_contract.h"

namespace {

class LifecycleTest : public DllTest {
 protected:
  MessageBoxWatcher boxes;
  TestHost host;
};

TEST_F(LifecycleTest, LoadClearsTheHostFieldsOfTheDescriptor) {
  for (int load = 0; load < 2; ++load) {
    HMODULE module = LoadLibraryA(PluginDllPath().c_str());
    ASSERT_NE(module, nullptr);
    auto get = reinterpret_cast<PluginDescriptor*(__cdecl*)()>(
        reinterpret_cast<void*>(GetProcAddress(module, "winampGetGeneralPurposePlugin")));
    ASSERT_NE(get, nullptr);
    PluginDescriptor* descriptor = get();
    EXPECT_EQ(descriptor, get());
    EXPECT_EQ(descriptor->version, 0x10);
    EXPECT_STREQ(descriptor->description, "Kelvo-plugin... v1.0");
    EXPECT_EQ(descriptor->hwndParent, nullptr);
    EXPECT_EQ(descriptor->hDllInstance, nullptr);
    // What the host writes must not survive an unload and a new load.
    descriptor->hwndParent = host.main;
    descriptor->hDllInstance = module;
    FreeLibrary(module);
  }
}

struct PositionCase {
  const char* label;
  const char* track;     // the [Track] section as stored
  int32_t hostPosition;  // what the host answers while running
  const char* written;   // Position after quit
};

TEST_F(LifecycleTest, QuitWritesTheLastKnownPosition) {
  const PositionCase cases[] = {
      {"remembered, nothing played", "RememberPosition=1\r\nPosition=5000", -1, "5000"},
      {"not remembered, nothing played", "RememberPosition=0\r\nPosition=5000", -1, "0"},
      {"not remembered, playing", "RememberPosition=0\r\nPosition=5000", 65432, "65432"},
      {"remembered, playing", "RememberPosition=1\r\nPosition=5000", 3, "3"},
  };
  for (const PositionCase& c : cases) {
    SCOPED_TRACE(c.label);
    install.WriteIni(std::string("[Track]\r\n") + c.track + "\r\n");
    host.position = c.hostPosition;
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    SendMessageA(host.main, WM_NULL, 0, 0);
    // A later "nothing playing" answer never replaces what was seen.
    host.position = -1;
    SendMessageA(host.main, WM_NULL, 0, 0);
    plugin.Quit();
    EXPECT_EQ(install.IniValue("Track", "Position"), c.written);
  }
}

// The 5.x player calls quit only once its windows are gone, a log-off calls it
// with them still there, as the 2.x player does. Each way, with the dialog
// open, the OSD up and a toggle key still down: the position last read while
// playing is written, the hotkey and the atoms are free, neither the OSD nor
// the dialog stays on screen and no timer of ours is left to run.
TEST(LifecycleCloseTest, EveryCloseOrderWritesThePositionAndReleasesEverything) {
  enum class Close { kAfterTheWindows, kEndSession, kQuit };
  const std::pair<const char*, Close> cases[] = {
      {"windows first", Close::kAfterTheWindows}, {"log-off", Close::kEndSession}, {"quit", Close::kQuit}};
  const klv::PackedHotkey kCtrlShiftF9 = klv::PackHotkey(VK_F9, false, true, true, false);
  const WORD keys[] = {VK_CONTROL, VK_SHIFT, VK_F9};
  for (const auto& [label, close] : cases) {
    SCOPED_TRACE(label);
    ResetGlobalAtoms();
    MessageBoxWatcher boxes;
    TestInstall install;
    install.WriteIni("[Hotkeys]\r\nEnable=1\r\nshuffle_hotkey=" + std::to_string(kCtrlShiftF9) +
                     "\r\n[OSD]\r\nEnable=1\r\nOSDDisplayTime=60000\r\n[Track]\r\nPosition=5000\r\n");
    TestHost host;
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    ASSERT_NE(plugin.OpenConfigDialog(), nullptr);
    for (WORD key : keys) {
      INPUT down = KeyInput(key);
      SendInput(1, &down, sizeof(down));
    }
    EXPECT_TRUE(WaitUntil([&] { return host.Count(host.main, WM_HOTKEY) == 1; }));
    EXPECT_TRUE(IsWindowVisible(FindOsdWindow()));
    host.position = 70000;
    SendMessageA(host.main, WM_NULL, 0, 0);
    if (close == Close::kAfterTheWindows) host.Close(plugin);
    if (close == Close::kEndSession) host.EndSession(plugin);
    if (close == Close::kQuit) plugin.Quit();
    for (int i = 2; i >= 0; --i) {
      INPUT up = KeyInput(keys[i], KEYEVENTF_KEYUP);
      SendInput(1, &up, sizeof(up));
    }
    EXPECT_EQ(IsWindow(host.main) != FALSE, close != Close::kAfterTheWindows);
    EXPECT_EQ(install.IniValue("Track", "Position"), "70000");
    EXPECT_TRUE(IsFree(kCtrlShiftF9, nullptr));
    EXPECT_FALSE(GlobalAtomExists("shuffle_hotkey"));
    EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
    EXPECT_EQ(FindConfigDialog(), nullptr);
    EXPECT_TRUE(FindOsdWindow() == nullptr || !IsWindowVisible(FindOsdWindow()));
    Sleep(100);
    MSG message;
    int threadTimers = 0;
    while (PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE))
      threadTimers += message.hwnd == nullptr;
    EXPECT_EQ(threadTimers, 0);
    EXPECT_TRUE(boxes.Seen().empty());
  }
  ResetGlobalAtoms();
}

TEST_F(LifecycleTest, QuitOnlyStopsARunningPlugin) {
  LoadedPlugin plugin(host.main);
  plugin.Quit();  // never started
  EXPECT_EQ(install.ReadIni(), "");

  ASSERT_EQ(plugin.Init(), 0);
  EXPECT_EQ(plugin.Init(), -1);  // the same process again
  SendMessageA(host.main, WM_NULL, 0, 0);
  plugin.Quit();
  EXPECT_EQ(install.IniValue("Track", "Position"), "65432");
  // A second quit: another instance may already hold the marker.
  const ATOM other = GlobalAddAtomA(kInstanceAtom);
  install.WriteIni("[Track]\r\nPosition=1\r\n");
  plugin.Quit();
  EXPECT_EQ(install.ReadIni(), "[Track]\r\nPosition=1\r\n");
  EXPECT_EQ(GlobalFindAtomA(kInstanceAtom), other);
  GlobalDeleteAtom(other);
}

// Also after a start that found a marker atom whose process ended without
// quit: no live process holds the plug-in, so the start goes on and takes the
// atom over rather than adding it, and quit's one deletion removes it.
TEST_F(LifecycleTest, QuitReleasesHotkeysAtomsAndWindows) {
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=8060936\r\n");
  const std::array<WNDPROC, 3> procedures = host.Procedures();
  for (bool markerLeft : {false, true}) {
    SCOPED_TRACE(markerLeft ? "a marker left behind" : "no marker");
    const ATOM left = markerLeft ? GlobalAddAtomA(kInstanceAtom) : 0;
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    if (markerLeft) {
      EXPECT_EQ(GlobalFindAtomA(kInstanceAtom), left);
    }
    EXPECT_TRUE(GlobalAtomExists("next_hotkey"));
    EXPECT_NE(WindowProcedure(host.main), procedures[0]);
    EXPECT_NE(WindowProcedure(host.playlist), procedures[1]);
    EXPECT_NE(WindowProcedure(host.equalizer), procedures[2]);
    plugin.Quit();
    EXPECT_FALSE(GlobalAtomExists("next_hotkey"));
    EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
    // The combination is free again for anyone.
    EXPECT_TRUE(RegisterHotKey(host.main, 1, MOD_WIN, VK_F12));
    UnregisterHotKey(host.main, 1);
    EXPECT_EQ(host.Procedures(), procedures);
    plugin.Unload();
    host.ClearLog();
    for (HWND window : {host.main, host.playlist, host.equalizer}) {
      SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0);
      SendMessageA(window, WM_HOTKEY, 1, 0);
      EXPECT_EQ(host.Count(window, WM_HOTKEY), 1);
    }
    FlushPostedMessages();
  }
}

// A cover lookup hanging in the host's service at quit: quit and unload
// return at once, the library stays mapped under the lookup, and once the
// lookup returns its thread ends, its result is thrown away and the library
// goes. The host deletes its services right after quit: the lookup calls
// none of them again and leaves the picture and the interface it holds.
TEST_F(LifecycleTest, QuitAndUnloadLeaveAHungCoverLookupToEndOnItsOwn) {
  install.WriteIni("[OSD]\r\nEnable=1\r\nOSDShowArt=1\r\n");
  const HANDLE gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<bool> asked{false};
  player::AlbumArtService service([&](const std::wstring&, player::ArgbPicture& picture) {
    asked = true;
    WaitForSingleObject(gate, INFINITE);
    picture = {1, 1, {0xFF00FF00u}};
    return true;
  });
  const std::wstring path = L"C:\\Music\\1.mp3";
  host.rawAnswers[214] = reinterpret_cast<LRESULT>(path.c_str());
  host.rawAnswers[3025] = reinterpret_cast<LRESULT>(service.Manager());
  const int threadsBefore = ProcessThreads();
  {
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    SendMessageA(host.main, WM_USER, 0, 13003);  // a track start: its cover is fetched at once
    ASSERT_TRUE(WaitUntil([&] { return asked.load(); }));
    plugin.Quit();
    service.TearDown();
    plugin.Unload();
  }
  const std::string dll = PluginDllPath();
  EXPECT_NE(GetModuleHandleA(dll.c_str()), nullptr) << "unmapped under the lookup";
  SetEvent(gate);
  EXPECT_TRUE(WaitUntil(
      [&] { return ProcessThreads() == threadsBefore && GetModuleHandleA(dll.c_str()) == nullptr; }));
  EXPECT_EQ(service.Faults(), 0) << "called after quit";
  EXPECT_EQ(service.PicturesOut(), 1);
  EXPECT_EQ(service.InterfacesOut(), 1);
  CloseHandle(gate);
}

struct UnloadCase {
  const char* label;
  bool init;
  bool osd;
  bool dialog;
  bool laterSubclass;  // another module subclasses the main window after the plug-in
};

// The host frees the library without quit: while the host's windows or ours
// still call into it, the library stays mapped, every message reaches the
// host and the plug-in still acts; a later load's quit takes everything back
// and the library goes.
TEST_F(LifecycleTest, UnloadWithoutQuitKeepsEverythingWorkingUntilQuit) {
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(kCtrlAltN) +
                   "\r\n[OSD]\r\nEnable=1\r\nOSDDisplayTime=60000\r\n");
  const UnloadCase cases[] = {
      {"running", true, false, false, false},
      {"OSD on screen", true, true, false, false},
      {"dialog open", true, false, true, false},
      {"OSD and dialog", true, true, true, false},
      {"under a later subclass", true, false, false, true},
      {"config without init opens nothing", false, false, true, false},
  };
  const std::array<WNDPROC, 3> procedures = host.Procedures();
  const std::string dll = PluginDllPath();
  for (const UnloadCase& c : cases) {
    SCOPED_TRACE(c.label);
    ResetGlobalAtoms();
    HWND osd = nullptr;
    HWND dialog = nullptr;
    std::optional<LaterSubclass> later;
    {
      LoadedPlugin plugin(host.main);
      if (c.init) {
        ASSERT_EQ(plugin.Init(), 0);
      }
      if (c.osd) {
        SendMessageA(host.main, WM_HOTKEY, GlobalFindAtomA("next_hotkey"), 0);
        osd = FindOsdWindow();
        ASSERT_NE(osd, nullptr);
      }
      if (c.dialog) {
        plugin.Config();
        FlushPostedMessages();
        dialog = FindConfigDialog();
        EXPECT_EQ(dialog != nullptr, c.init);
      }
      if (c.laterSubclass) later.emplace(host.main);
    }  // FreeLibrary
    EXPECT_EQ(GetModuleHandleA(dll.c_str()) != nullptr, c.init);
    EXPECT_EQ(FindOsdWindow(), osd);
    EXPECT_EQ(FindConfigDialog(), dialog);
    if (dialog != nullptr) {
      SendMessageA(GetDlgItem(dialog, form1::kPlayOnStartBox), BM_CLICK, 0, 0);  // its handlers still run
      EXPECT_EQ(SendMessageA(GetDlgItem(dialog, form1::kPlayOnStartBox), BM_GETCHECK, 0, 0), BST_CHECKED);
    }

    FlushPostedMessages();  // the host's windows shown
    host.ClearLog();
    const ATOM id = GlobalFindAtomA("next_hotkey");
    for (HWND window : {host.main, host.playlist, host.equalizer}) {
      SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
      SendMessageA(window, WM_HOTKEY, id, 0);
      SendMessageA(window, WM_NULL, 0, 0);
      PostMessageA(window, WM_TIMER, 1, 0);
    }
    FlushPostedMessages();
    for (HWND window : {host.main, host.playlist, host.equalizer}) {
      EXPECT_EQ(host.Count(window, WM_ACTIVATE), 1);
      EXPECT_EQ(host.Count(window, WM_HOTKEY), 1);
      EXPECT_EQ(host.Count(window, WM_NULL), 1);
      EXPECT_EQ(host.Count(window, WM_TIMER), 1);
    }
    EXPECT_EQ(host.Commands(), c.init ? std::vector<int>{40048} : std::vector<int>{});
    if (later) {
      EXPECT_GE(later->Calls(), 4);
      later.reset();  // gone before quit, which can then take its hook out
    }

    {
      LoadedPlugin again(host.main);
      again.Quit();
    }
    EXPECT_EQ(GetModuleHandleA(dll.c_str()), nullptr);
    EXPECT_EQ(FindOsdWindow(), nullptr);
    EXPECT_EQ(FindConfigDialog(), nullptr);
    EXPECT_EQ(host.Procedures(), procedures);
    EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
    EXPECT_FALSE(GlobalAtomExists("next_hotkey"));
    EXPECT_TRUE(IsFree(kCtrlAltN, host.equalizer));
    // The next load starts and takes the same combination.
    LoadedPlugin next(host.main);
    EXPECT_EQ(next.Init(), 0);
    EXPECT_TRUE(GlobalAtomExists("next_hotkey"));
    next.Quit();
  }
  EXPECT_TRUE(boxes.Seen().empty());
}

// A player that closes: its own procedure (here, a later subclass) quits and
// frees the library inside a message that came through the hook. The hook
// still has to return, so the library stays mapped (until a later load quits
// outside any call of ours), and every procedure is the host's again.
TEST_F(LifecycleTest, QuitAndUnloadInsideAHookedMessageKeepTheLibraryUntilALaterQuit) {
  constexpr UINT kClosePlayer = WM_APP + 7;
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=8060936\r\n");
  std::optional<LoadedPlugin> plugin;
  LaterSubclass closing(host.main, [&](UINT message) {
    if (message != kClosePlayer || !plugin) return;
    plugin->Quit();
    plugin->Unload();
  });
  const std::array<WNDPROC, 3> procedures = host.Procedures();
  plugin.emplace(host.main);
  ASSERT_EQ(plugin->Init(), 0);
  SendMessageA(host.main, kClosePlayer, 0, 0);
  plugin.reset();
  EXPECT_NE(GetModuleHandleA(PluginDllPath().c_str()), nullptr);
  EXPECT_EQ(host.Procedures(), procedures);
  EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
  EXPECT_FALSE(GlobalAtomExists("next_hotkey"));
  {
    LoadedPlugin again(host.main);
    ASSERT_EQ(again.Init(), 0);
    again.Quit();
  }
  EXPECT_EQ(GetModuleHandleA(PluginDllPath().c_str()), nullptr);
}

// Takes all but `left` of the process's free TLS slots until destroyed.
class TlsSlotsTaken {
 public:
  explicit TlsSlotsTaken(int left) {
    for (int free = FreeTlsSlots(); free > left; --free) taken_.push_back(TlsAlloc());
  }
  ~TlsSlotsTaken() {
    for (DWORD slot : taken_) TlsFree(slot);
  }
  TlsSlotsTaken(const TlsSlotsTaken&) = delete;
  TlsSlotsTaken& operator=(const TlsSlotsTaken&) = delete;

 private:
  std::vector<DWORD> taken_;
};

// A host that loads and frees the plug-in again and again in one process
// (plug-in managers do; so did the randomised run). With a slot left behind
// per load, the process would run out after about a thousand loads; here it
// has only a few slots left to start with, so that shows within a few dozen.
TEST_F(LifecycleTest, EveryLoadStartsAndLeavesNoTlsSlotBehind) {
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=8060936\r\n[OSD]\r\nEnable=1\r\n");
  constexpr int kSlotsLeft = 16;
  constexpr int kLoads = 3 * kSlotsLeft;
  const TlsSlotsTaken taken(kSlotsLeft);
  ASSERT_EQ(FreeTlsSlots(), kSlotsLeft);
  const int handlesBefore = KernelHandles();
  for (int load = 0; load < kLoads; ++load) {
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0) << "load " << load;
    // The OSD (a window, a font) and the hotkey's action run in every load.
    SendMessageA(host.main, WM_HOTKEY, GlobalFindAtomA("next_hotkey"), 0);
    plugin.Quit();
    plugin.Unload();
    ASSERT_EQ(GetModuleHandleA(PluginDllPath().c_str()), nullptr) << "load " << load;
  }
  EXPECT_EQ(FreeTlsSlots(), kSlotsLeft);
  // MinGW's unwinder creates the lock of its frame table on every mapping and
  // never closes it: one kernel handle per load, nothing else.
  EXPECT_LE(KernelHandles() - handlesBefore, kLoads + 4);
  EXPECT_EQ(host.Commands().size(), static_cast<size_t>(kLoads));
}

}  // namespace
