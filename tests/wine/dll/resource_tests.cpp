// Resource accounting over long runs through the real DLL: windows, GDI
// objects, kernel handles and private memory must come back to where they
// started. USER objects other than windows have no fallback count under Wine
// (see the kit's counts): where GetGuiResources answers 0 they are not counted
// at all, and the suite says so; windows stand in for them. The first test
// checks that every count sees what it counts.
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "testkit/resource_counts.h"
#include "testkit/test_host.h"
#include "ui/config_dialog_ids.h"

namespace {

TEST(ResourceCounts, EachCountSeesWhatItCounts) {
  // A thread's first window brings one of the system's along, and the heap's
  // first large block a handle or two: both before counting.
  HWND anchor = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  std::free(std::malloc(64 * 1024));
  const Resources before;
  std::vector<HWND> windows;
  for (int i = 0; i < 3; ++i) {
    windows.push_back(
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr));
  }
  std::vector<HGDIOBJ> objects;
  for (int i = 0; i < 5; ++i) objects.push_back(CreateSolidBrush(RGB(i, 0, 0)));
  std::vector<HANDLE> events;
  for (int i = 0; i < 4; ++i) events.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  std::vector<char*> blocks;
  for (int i = 0; i < 16; ++i) {
    blocks.push_back(static_cast<char*>(std::malloc(64 * 1024)));
    for (int at = 0; at < 64 * 1024; at += 4096) blocks.back()[at] = 1;
  }
  const Resources during;
  EXPECT_EQ(during.windows, before.windows + 3);
  EXPECT_EQ(during.gdiObjects, before.gdiObjects + 5);
  EXPECT_EQ(during.kernelHandles, before.kernelHandles + 4);
  EXPECT_GE(during.privateBytes, before.privateBytes + 1024 * 1024);
  EXPECT_GE(during.heapBytes, before.heapBytes + 1024 * 1024);
  if (before.userObjects >= 0) {
    EXPECT_GE(during.userObjects, before.userObjects + 3) << "USER objects";
  } else {
    RecordProperty("UserObjects", "not counted: GetGuiResources answers 0; windows counted instead");
    std::printf("note: USER objects other than windows are not counted here (GetGuiResources answers 0)\n");
  }

  for (HWND window : windows) DestroyWindow(window);
  for (HGDIOBJ object : objects) DeleteObject(object);
  for (HANDLE event : events) CloseHandle(event);
  for (char* block : blocks) std::free(block);
  const Resources after;
  EXPECT_EQ(after.windows, before.windows);
  EXPECT_EQ(after.gdiObjects, before.gdiObjects);
  EXPECT_EQ(after.kernelHandles, before.kernelHandles);
  EXPECT_LT(after.heapBytes, before.heapBytes + 64 * 1024);
  DestroyWindow(anchor);
}

// ---- Long runs through the real DLL ----

class ResourceTest : public DllTest {
 protected:
  // Posts WM_HOTKEY for the entries in turn as the system would, each taken by
  // the host's loop before the next (which also lets Wine handle its X events).
  void PostPresses(int count, const std::vector<ATOM>& ids) {
    for (int i = 0; i < count; ++i) {
      PostMessageA(host.main, WM_HOTKEY, ids[i % ids.size()], 0);
      PumpMessages();
      host.ClearLog();  // the host's own record must not grow the heap
    }
  }
  // Real key presses; each must reach the host before the next.
  int RealPresses(int count) {
    int arrived = 0;
    for (int i = 0; i < count; ++i) {
      const int seen = host.Count(host.main, WM_HOTKEY);
      PressKeys(kCtrlAltN);
      arrived += WaitUntil([&] { return host.Count(host.main, WM_HOTKEY) > seen; }, 1000) ? 1 : 0;
      host.ClearLog();
    }
    return arrived;
  }

  MessageBoxWatcher boxes;
  TestHost host;
};

struct PressCase {
  const char* label;
  int displayTime;  // 0: every press creates and destroys the OSD window
  int posted;
  int real;
};

// 10,000 presses in all: 9,600 posted WM_HOTKEY and 400 through SendInput.
// A window made and destroyed per press is slow under Wine, hence fewer of those.
TEST_F(ResourceTest, HotkeyPressesWithTheOsdOn) {
  const PressCase cases[] = {
      {"OSD made and destroyed at every press", 0, 900, 100},
      {"OSD kept on screen", 60000, 8700, 300},
  };
  for (const PressCase& c : cases) {
    SCOPED_TRACE(c.label);
    install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(kCtrlAltN) +
                     "\r\nVolUp_hotkey=" + std::to_string(klv::PackHotkey(VK_F7, true, true, false, false)) +
                     "\r\nrepeat_hotkey=" + std::to_string(klv::PackHotkey(VK_F8, true, true, false, false)) +
                     "\r\n[OSD]\r\nEnable=1\r\nOSDDisplayTime=" + std::to_string(c.displayTime) + "\r\n");
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    const std::vector<ATOM> ids = {GlobalFindAtomA("next_hotkey"), GlobalFindAtomA("VolUp_hotkey"),
                                   GlobalFindAtomA("repeat_hotkey")};
    for (ATOM id : ids) ASSERT_NE(id, 0);
    // Warm up: the first presses build what later ones reuse, and the heap settles.
    PostPresses(300, ids);
    ASSERT_EQ(RealPresses(5), 5);
    host.ClearLog();
    // A press whose key is still down when the host takes it starts a key watch on a thread of its
    // own, which ends once the key is up and this loop has caught up, and the next press closes
    // the handles of the watches ended: counted with none running and one press after.
    auto settle = [&] {
      auto watchesEnded = [&] { return ThreadsStartedIn(plugin.module) == 0; };
      ASSERT_TRUE(WaitUntil(watchesEnded));
      PostPresses(1, ids);
    };
    settle();

    const Resources before;
    PostPresses(c.posted, ids);
    EXPECT_EQ(RealPresses(c.real), c.real) << "presses that never reached the host";
    host.ClearLog();
    settle();
    EXPECT_EQ(FindOsdWindow() != nullptr, c.displayTime > 0);
    ExpectStable(before, "after the presses");
    plugin.Quit();
  }
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(ResourceTest, DialogOpenings) {
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(kCtrlAltN) +
                   "\r\n[OSD]\r\nEnable=1\r\n[Transparency]\r\nEnableActive=1\r\nWinAMP_active=204\r\n");
  LoadedPlugin plugin(host.main);
  ASSERT_EQ(plugin.Init(), 0);
  auto openAndClose = [this, &plugin](int opening) {
    plugin.Config();
    HWND dialog = FindWindowW(form1::kClassName, nullptr);
    if (dialog == nullptr) return false;
    // Mostly the close box; every tenth time "Exit", which also writes the file.
    if (opening % 10 == 9) {
      SendMessageA(GetDlgItem(dialog, form1::kExitButton), BM_CLICK, 0, 0);
    } else {
      SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    PumpMessages();
    host.ClearLog();
    return !IsWindow(dialog);
  };
  // Both ways of closing once before counting.
  ASSERT_TRUE(openAndClose(0));
  ASSERT_TRUE(openAndClose(9));
  const Resources before;
  int closed = 0;
  for (int opening = 0; opening < 100; ++opening) closed += openAndClose(opening) ? 1 : 0;
  EXPECT_EQ(closed, 100);
  ExpectStable(before, "after 100 openings");
  plugin.Quit();
  EXPECT_TRUE(boxes.Seen().empty());
}

}  // namespace
