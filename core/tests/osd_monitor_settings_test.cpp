// OSDMonitor and OSDHideFullScreen as the file holds them.
#include <gtest/gtest.h>

#include <string>

#include "core/ini_text.h"
#include "core/settings_schema.h"

namespace klv {
namespace {

Settings ReadOsd(const std::string& osdKeys) {
  Settings settings;
  ReadOsdSettings(IniText("[OSD]\n" + osdKeys), settings);
  return settings;
}

TEST(OsdMonitorSettings, MonitorValuesOutsideTheFourReadAsPrimary) {
  struct Case {
    const char* line;
    int32_t expected;
  } const cases[] = {
      {"", 0},
      {"OSDMonitor=0\n", 0},
      {"OSDMonitor=1\n", 1},
      {"OSDMonitor=2\n", 2},
      {"OSDMonitor=3\n", 3},
      {"osdmonitor=$3\n", 3},
      {"OSDMonitor=0x2\n", 2},
      {"OSDMonitor=4\n", 0},
      {"OSDMonitor=-1\n", 0},
      {"OSDMonitor=256\n", 0},
      {"OSDMonitor=two\n", 0},
      {"OSDMonitor=2x\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(ReadOsd(c.line).osdMonitor, c.expected);
  }
}

TEST(OsdMonitorSettings, HideFullScreenIsAFlag) {
  struct Case {
    const char* line;
    bool expected;
  } const cases[] = {
      {"", false},
      {"OSDHideFullScreen=1\n", true},
      {"OSDHideFullScreen=0\n", false},
      {"OSDHideFullScreen=7\n", true},
      {"OSDHideFullScreen=yes\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(ReadOsd(c.line).osdHideFullScreen, c.expected);
  }
}

}  // namespace
}  // namespace klv
