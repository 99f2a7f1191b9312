// Resource accounting over long runs of the OSD's own functions, linked in:
// what they hold must come back to where it started (through the DLL, and
// the counts' own check: dll/resource_tests.cpp).
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
#include "plugin/osd/osd_style.h"
#include "plugin/osd/osd_window.h"
#include "plugin/plugin_state.h"
#include "testkit/resource_counts.h"
#include "testkit/test_host.h"
#include "tests/wine/osd_fixture.h"
#include "ui/config_dialog.h"
#include "ui/osd_pickers.h"

namespace {

// ---- The OSD's own functions, linked in ----

class OsdResourceTest : public OsdFixture {};

TEST_F(OsdResourceTest, ThousandShows) {
  const std::string longText =
      "Next : \"" + std::string(150, 'w') + " words to break " + std::string(120, 'v') + "\" [1:05/3:07]";
  ShowOsd("warm up");
  DestroyOsdPlatformWindow();
  const Resources before;
  for (int i = 0; i < 1000; ++i) {
    gSettings.osdPosition = static_cast<uint8_t>(i % 10);
    ShowOsd(i % 3 == 0 ? longText : "Next : \"Song " + std::to_string(i) + "\" [0:01/3:07]");
    if (i % 4 == 0) ShowOsd("Volume Up");
    if (i % 2 == 0) DestroyOsdPlatformWindow();
    if (i % 50 == 0) PumpMessages();  // let the OSD paint now and then
  }
  DestroyOsdPlatformWindow();
  ExpectStable(before, "after 1,000 shows");
}

TEST_F(OsdResourceTest, FontAndColourChanges) {
  const char* const faces[] = {"Arial", "Tahoma", "Courier New", "Times New Roman"};
  ShowOsd("Pause");
  auto usePickers = [] {
    {
      DialogDriver confirm([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
      ChooseOsdColor(nullptr);
      EXPECT_TRUE(confirm.Found());
    }
    {
      DialogDriver confirm([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
      ChooseOsdFont(nullptr);
      EXPECT_TRUE(confirm.Found());
    }
  };
  usePickers();  // the first use loads the dialogs' library
  const Resources before;
  for (int i = 0; i < 100; ++i) {
    klv::OsdFontSettings& font = gSettings.osdFont;
    font.name = faces[i % 4];
    font.size = 8 + i % 20;
    font.color = RGB(i, 255 - i, i * 2);
    font.bold = i % 2 == 0;
    font.italic = i % 3 == 0;
    font.underline = i % 5 == 0;
    font.strikeOut = i % 7 == 0;
    ApplyOsdFont();
    gSettings.osdColor = i % 10 == 0 ? 0x8000000F : RGB(255 - i, i, 128);  // now and then a system colour
    ApplyOsdColor();
    if (i % 3 == 0) ShowOsd("Stop : " + std::to_string(i));
    if (i % 10 == 0) PumpMessages();
  }
  // The real pickers, a few times: each is slow to build under Wine.
  ShowOsd("Play");  // on screen as at the start
  ExpectStable(before, "after 100 font and colour changes");

  // The real pickers. Wine's own dialogs keep GDI caches that grow now and
  // then, so across them count windows and handles, and follow the OSD's font.
  const Resources beforePickers;
  HWND osd = OsdPlatformWindow();
  ASSERT_NE(osd, nullptr);
  const auto replacedFont = reinterpret_cast<HGDIOBJ>(SendMessageA(osd, WM_GETFONT, 0, 0));
  for (int i = 0; i < 2; ++i) usePickers();
  FlushPostedMessages();
  const Resources afterPickers;
  EXPECT_EQ(afterPickers.windows, beforePickers.windows);
  EXPECT_LE(afterPickers.kernelHandles, beforePickers.kernelHandles + kHandleSlack);
  EXPECT_EQ(GetObjectType(replacedFont), 0u) << "the font before the pickers leaked";
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(SendMessageA(osd, WM_GETFONT, 0, 0))), DWORD(OBJ_FONT));
}

}  // namespace
