// The two-monitor display the two_monitors suite runs on (scripts/test.sh
// starts it twice: the second monitor right of the primary, then left of it),
// the monitors as the system reports them, and the OSD the real DLL shows there.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/wine/test_host.h"

bool operator==(const RECT& a, const RECT& b);
void PrintTo(const RECT& r, std::ostream* os);

// Where the run put the second monitor (%KLV_MONITOR_LAYOUT%, "right" or "left").
enum class SecondMonitorSide { kUnknown, kRight, kLeft };
SecondMonitorSide SecondMonitorSideOfRun();

// Every monitor's whole rectangle as EnumDisplayMonitors reports it, the
// primary first.
std::vector<RECT> MonitorRectangles();

RECT WindowRectangle(HWND window);
// Whether inner lies wholly inside outer.
bool Inside(const RECT& inner, const RECT& outer);
POINT CentreOf(const RECT& r);
// Moves a top-level window, size kept, a little way into the monitor; true
// when it is wholly on it then.
bool PlaceWindowOn(HWND window, const RECT& monitor);
// Moves the mouse pointer to the monitor's centre; true when it is there then.
bool PutPointerOn(const RECT& monitor);

// Loads the real DLL with the OSD on for a minute and osdLines added to its
// [OSD] section ("Key=value\r\n" each), runs act (to place windows or the
// pointer), presses a hotkey of the Next action and returns the OSD's window
// rectangle; an empty one when no OSD showed.
RECT OsdRectangleAfterHotkey(
    TestHost& host, const std::string& osdLines, const std::function<void()>& act = [] {});

// Every test of the suite starts by checking the display: the primary at
// (0,0)-(1024,768) and a second 1024x768 monitor on the side the run names.
// Any other display fails the test, loudly: a suite that skipped there would
// pass without ever having seen two monitors.
class TwoMonitorTest : public ::testing::Test {
 protected:
  void SetUp() override;

  SecondMonitorSide side = SecondMonitorSide::kUnknown;
  RECT primary{};
  RECT second{};
};
