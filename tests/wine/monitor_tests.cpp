// The OSD on a display of two monitors, the second right of the primary in
// one run and left of it in another: each placement rule through the real DLL.
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <gtest/gtest.h>

#include <string>

#include "tests/wine/monitor_kit.h"
#include "tests/wine/test_host.h"

namespace {

class OsdOnTwoMonitors : public TwoMonitorTest {};

// The player's window, in front, and the pointer on the second monitor do not
// draw the OSD there: the primary monitor is the default rule.
TEST_F(OsdOnTwoMonitors, MonitorZeroKeepsEveryPositionOnThePrimary) {
  TestHost host;
  for (int position = 0; position <= 8; ++position) {
    SCOPED_TRACE(position);
    const RECT osd = OsdRectangleAfterHotkey(
        host, "OSDMonitor=0\r\nOSDPosition=" + std::to_string(position) + "\r\n", [&] {
          EXPECT_TRUE(PlaceWindowOn(host.main, second));
          EXPECT_TRUE(PutPointerOn(second));
          SetForegroundWindow(host.main);
        });
    EXPECT_FALSE(IsRectEmpty(&osd));
    EXPECT_TRUE(Inside(osd, primary)) << testing::PrintToString(osd);
  }
}

}  // namespace
