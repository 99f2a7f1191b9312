// Another module subclasses the host window after the plug-in: quit cannot take
// its hook out, so the library must stay loaded and only pass messages on.
// A process of its own: the library stays pinned in it after the test.
#include <windows.h>
#include <gtest/gtest.h>

#include "testkit/test_host.h"

namespace {

using LaterSubclassTest = DllTest;

TEST_F(LaterSubclassTest, KeepsTheLibraryLoadedAndOnlyPassesOn) {
  TestHost host;
  LoadedPlugin plugin(host.main);
  ASSERT_EQ(plugin.Init(), 0);
  const LaterSubclass later(host.main);
  plugin.Quit();
  plugin.Unload();
  EXPECT_NE(GetModuleHandleA(PluginDllPath().c_str()), nullptr);

  host.ClearLog();
  SendMessageA(host.main, WM_NULL, 0, 0);
  SendMessageA(host.main, WM_ACTIVATE, WA_INACTIVE, 0);
  SendMessageA(host.main, WM_HOTKEY, 3, 0);
  EXPECT_EQ(later.Calls(), 3);
  EXPECT_EQ(host.Count(host.main, WM_NULL), 1);
  EXPECT_EQ(host.Count(host.main, WM_HOTKEY), 1);
  // Passing on only: no more position requests of the plug-in's own.
  EXPECT_TRUE(host.Requests().empty());
}

}  // namespace
