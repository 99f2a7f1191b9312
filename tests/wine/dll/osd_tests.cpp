// The OSD through the real DLL.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/host_codes.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"

namespace {

using OsdPrintTest = DllTest;

// An animated show prints the window before it is visible, and may ask with
// PRF_CHECKVISIBLE: the DLL's OSD answers with the finished picture either way.
TEST_F(OsdPrintTest, PrintsTheFinishedOsdShownOrHidden) {
  install.WriteIni(
      "[Hotkeys]\r\nEnable=1\r\nnext_hotkey=8060936\r\n"
      "[OSD]\r\nEnable=1\r\nOSDDisplayTime=60000\r\nOSDColor=65280\r\n");
  TestHost host;
  LoadedPlugin plugin(host.main);
  ASSERT_EQ(plugin.Init(), 0);
  SendMessageA(host.main, WM_HOTKEY, GlobalFindAtomA("next_hotkey"), 0);
  HWND osd = FindOsdWindow();
  ASSERT_NE(osd, nullptr);
  for (bool shown : {true, false}) {
    SCOPED_TRACE(shown ? "shown" : "hidden");
    ShowWindow(osd, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
    const Picture picture = PrintWindowPicture(osd, PRF_CHECKVISIBLE | PRF_CLIENT | PRF_NONCLIENT);
    // The client's last pixel, right of and below the text: background colour.
    EXPECT_EQ(picture.At(picture.width - 2, picture.height - 2), RGB(0, 255, 0));
    EXPECT_NE(picture.At(0, 0), RGB(1, 2, 3)) << "no frame";
  }
  plugin.Quit();
}

}  // namespace
