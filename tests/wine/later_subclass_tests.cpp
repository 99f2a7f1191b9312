// Another module subclasses the host window after the plug-in: quit cannot take
// its hook out, so the library must stay loaded and only pass messages on.
// A process of its own: the library stays pinned in it after the last test.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "tests/wine/test_host.h"

namespace {

WNDPROC gOuterSaved = nullptr;
int gOuterCalls = 0;
LRESULT CALLBACK OuterSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  ++gOuterCalls;
  return CallWindowProcA(gOuterSaved, window, message, wParam, lParam);
}

// The host frees the library without quit under that subclass: the library
// stays, so the subclass still reaches code, and the host's procedure every
// message. Once the subclass has gone, a later quit gives the library back.
TEST(LaterSubclassTest, UnloadWithoutQuitUnderItKeepsTheChainWorking) {
  ResetGlobalAtoms();
  TestInstall install;
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=8060936\r\n");
  TestHost host;
  const WNDPROC hostProcedure = WindowProcedure(host.main);
  {
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    gOuterSaved = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(host.main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterSubclass)));
  }  // FreeLibrary without quit
  EXPECT_NE(GetModuleHandleA(PluginDllPath().c_str()), nullptr);
  host.ClearLog();
  gOuterCalls = 0;
  SendMessageA(host.main, WM_HOTKEY, GlobalFindAtomA("next_hotkey"), 0);
  SendMessageA(host.main, WM_NULL, 0, 0);
  EXPECT_GE(gOuterCalls, 2);
  EXPECT_EQ(host.Count(host.main, WM_HOTKEY), 1);
  EXPECT_EQ(host.Count(host.main, WM_NULL), 1);
  EXPECT_EQ(host.Commands(), std::vector<int>{40048});

  SetWindowLongPtrA(host.main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gOuterSaved));
  {
    LoadedPlugin again(host.main);
    again.Quit();
  }
  EXPECT_EQ(GetModuleHandleA(PluginDllPath().c_str()), nullptr);
  EXPECT_EQ(WindowProcedure(host.main), hostProcedure);
  ResetGlobalAtoms();
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
