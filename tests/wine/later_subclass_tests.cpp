// Another module subclasses the host window after the plug-in: quit cannot take
// its hook out, so the library must stay loaded and only pass messages on.
// A process of its own: the library stays pinned in it afterwards.
#include <windows.h>
#include <gtest/gtest.h>

#include "tests/wine/test_host.h"

namespace {

WNDPROC gOuterSaved = nullptr;
int gOuterCalls = 0;
LRESULT CALLBACK OuterSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  ++gOuterCalls;
  return CallWindowProcA(gOuterSaved, window, message, wParam, lParam);
}

TEST(LaterSubclassTest, KeepsTheLibraryLoadedAndOnlyPassesOn) {
  ResetGlobalAtoms();
  TestInstall install;
  TestHost host;
  LoadedPlugin plugin(host.main);
  ASSERT_EQ(plugin.Init(), 0);
  gOuterSaved = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(host.main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterSubclass)));
  plugin.Quit();
  plugin.Unload();
  EXPECT_NE(GetModuleHandleA(PluginDllPath().c_str()), nullptr);

  host.ClearLog();
  gOuterCalls = 0;
  SendMessageA(host.main, WM_NULL, 0, 0);
  SendMessageA(host.main, WM_ACTIVATE, WA_INACTIVE, 0);
  SendMessageA(host.main, WM_HOTKEY, 3, 0);
  EXPECT_EQ(gOuterCalls, 3);
  EXPECT_EQ(host.Count(host.main, WM_NULL), 1);
  EXPECT_EQ(host.Count(host.main, WM_HOTKEY), 1);
  // Passing on only: no more position requests of the plug-in's own.
  EXPECT_TRUE(host.Requests().empty());
  SetWindowLongPtrA(host.main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gOuterSaved));
  ResetGlobalAtoms();
}

}  // namespace
