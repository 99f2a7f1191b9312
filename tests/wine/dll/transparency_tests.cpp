// Transparency through the real DLL under a modern and a classic skin.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/host_codes.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"

namespace {

using TransparencyThroughTheDll = DllTest;

// Through the real DLL with both groups on (active 10, 20, 30; inactive 40,
// 50, 60) and another window active: under a modern skin the plug-in sets
// nothing, at init, at an activation that comes before the switch's 3018 and
// at quit, and at the 3018 it gives the playlist and equalizer back what it
// set on them (the playlist, the skin's child now, would otherwise keep its
// inactive level); under a classic one each has its level again, also a
// playlist that was the skin's child at init.
struct SkinStep {
  HostSkin skin;
  std::array<int, 3> beforeNotice;  // main, playlist, equalizer once the main window is activated
  std::array<int, 3> afterNotice;
  std::array<int, 2> activated;  // the playlist, then the equalizer unless hidden, each once activated
  bool newEqualizer = false;     // the switch builds the equalizer anew
};

struct SkinCase {
  const char* label;
  HostSkin atStart;
  std::array<int, 3> shown;    // once shown after the start, the last one shown active
  std::array<int, 3> started;  // then with the other window active
  std::vector<SkinStep> steps;
};

TEST_F(TransparencyThroughTheDll, AModernSkinKeepsItsOwnOpacity) {
  using S = HostSkin;
  const SkinCase cases[] = {
      {"classic, modern, classic",
       S::kClassic,
       {40, 50, 30},
       {40, 50, 60},
       {{S::kModern, {0, 50, 60}, {0, -1, -1}, {-1, -1}},
        {S::kClassic, {10, -1, -1}, {40, 50, 60}, {20, 30}},
        {S::kClassic, {10, 50, -1}, {40, 50, 60}, {20, 30}, true}}},
      {"modern, classic, modern",
       S::kModern,
       {0, -1, -1},
       {0, -1, -1},
       {{S::kClassic, {10, -1, -1}, {40, 50, 60}, {20, 30}},
        {S::kModern, {0, 50, 60}, {0, -1, -1}, {-1, -1}}}},
  };
  for (const SkinCase& c : cases) {
    SCOPED_TRACE(c.label);
    install.WriteIni(
        "[Transparency]\r\nEnableActive=1\r\nWinAMP_active=10\r\nPlaylist_active=20\r\n"
        "Equalizer_active=30\r\nEnableInactive=1\r\nWinAMP_inactive=40\r\nPlaylist_inactive=50\r\n"
        "Equalizer_inactive=60\r\n");
    TestHost host;
    host.SwitchSkin(c.atStart);  // the skin engine starts before the plug-ins
    HWND other = CreateTestWindow("KlvOtherProgram", DefWindowProcA, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  RECT{400, 300, 600, 400});
    auto alphas = [&] {
      return std::array<int, 3>{AlphaOf(host.main), AlphaOf(host.playlist), AlphaOf(host.equalizer)};
    };
    auto styles = [&] {
      return std::array<LONG, 4>{
          GetWindowLongW(host.playlist, GWL_STYLE), GetWindowLongW(host.playlist, GWL_EXSTYLE),
          GetWindowLongW(host.equalizer, GWL_STYLE), GetWindowLongW(host.equalizer, GWL_EXSTYLE)};
    };
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_FALSE(IsWindowVisible(host.main));  // started before the windows are shown
    FlushPostedMessages();
    EXPECT_TRUE(IsWindowVisible(host.main));
    EXPECT_EQ(alphas(), c.shown);
    SetForegroundWindow(other);
    ASSERT_TRUE(WaitUntil([&] { return GetActiveWindow() == other; }));
    EXPECT_EQ(alphas(), c.started);
    for (const SkinStep& step : c.steps) {
      if (step.newEqualizer) {
        host.RecreateEqualizer();
      } else {
        host.SwitchSkin(step.skin);
      }
      const auto switched = styles();
      SendMessageW(host.main, WM_ACTIVATE, WA_ACTIVE, 0);  // ahead of the posted 3018
      EXPECT_EQ(alphas(), step.beforeNotice);
      FlushPostedMessages();
      // The X server may hand the focus to the main window as the skin's windows go.
      SetForegroundWindow(other);
      ASSERT_TRUE(WaitUntil([&] { return GetActiveWindow() == other; }));
      EXPECT_EQ(alphas(), step.afterNotice);
      for (int i = 0; i < 2; ++i) {
        const HWND side = i == 0 ? host.playlist : host.equalizer;
        if (i == 1 && !IsWindowVisible(side)) continue;
        SendMessageW(side, WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_EQ(AlphaOf(side), step.activated[i]);
        SendMessageW(side, WM_ACTIVATE, WA_INACTIVE, 0);
      }
      EXPECT_EQ(alphas(), step.afterNotice);
      if (step.skin == S::kModern) {
        // As the skin left them, less the layered style the plug-in had added.
        auto given = switched;
        given[1] &= ~WS_EX_LAYERED;
        given[3] &= ~WS_EX_LAYERED;
        EXPECT_EQ(styles(), given);
      }
    }
    const std::array<int, 3> last = alphas();
    plugin.Quit();
    EXPECT_EQ(alphas(), last);
    DestroyWindow(other);
  }
}

}  // namespace
