// Settings with every field away from its default, and one comparison of
// every field: the native schema tests and the Wine settings file tests both
// round-trip settings through them.
#pragma once

#include <gtest/gtest.h>

#include "core/settings.h"

namespace settings_check {

inline klv::Settings UnusualSettings() {
  klv::Settings s;
  s.hotkeysEnabled = true;
  s.activeEnabled = true;
  s.inactiveEnabled = true;
  s.alphaLevels = {1, 2, 3, 250, 128, 0};
  s.osdEnabled = true;
  s.osdPosition = 3;
  s.osdDisplayTime = 2500;
  s.osdColor = 0x00123456;
  s.osdFont.name = "Courier New";
  s.osdFont.size = 20;
  s.osdFont.color = 0x000000FF;
  s.osdFont.bold = s.osdFont.italic = s.osdFont.underline = s.osdFont.strikeOut = true;
  s.osdMonitor = 2;
  s.osdHideFullScreen = true;
  s.osdOnTrackChange = true;
  s.osdShowVolume = true;
  s.playOnStart = true;
  s.rememberPosition = true;
  return s;
}

// Field by field, so that a failure names the field. The bindings list every
// field: one added to the settings stops this from compiling until it is
// compared here too.
inline void ExpectSameSettings(const klv::Settings& actual, const klv::Settings& expected) {
  const auto& [hotkeysEnabled, activeEnabled, inactiveEnabled, alphaLevels, osdEnabled, osdPosition,
               osdDisplayTime, osdColor, osdFont, osdMonitor, osdHideFullScreen, osdOnTrackChange,
               osdShowVolume, playOnStart, rememberPosition] = actual;
  EXPECT_EQ(hotkeysEnabled, expected.hotkeysEnabled);
  EXPECT_EQ(activeEnabled, expected.activeEnabled);
  EXPECT_EQ(inactiveEnabled, expected.inactiveEnabled);
  EXPECT_EQ(alphaLevels, expected.alphaLevels);
  EXPECT_EQ(osdEnabled, expected.osdEnabled);
  EXPECT_EQ(osdPosition, expected.osdPosition);
  EXPECT_EQ(osdDisplayTime, expected.osdDisplayTime);
  EXPECT_EQ(osdColor, expected.osdColor);
  EXPECT_EQ(osdMonitor, expected.osdMonitor);
  EXPECT_EQ(osdHideFullScreen, expected.osdHideFullScreen);
  EXPECT_EQ(osdOnTrackChange, expected.osdOnTrackChange);
  EXPECT_EQ(osdShowVolume, expected.osdShowVolume);
  EXPECT_EQ(playOnStart, expected.playOnStart);
  EXPECT_EQ(rememberPosition, expected.rememberPosition);
  const auto& [name, size, color, bold, italic, underline, strikeOut] = osdFont;
  EXPECT_EQ(name, expected.osdFont.name);
  EXPECT_EQ(size, expected.osdFont.size);
  EXPECT_EQ(color, expected.osdFont.color);
  EXPECT_EQ(bold, expected.osdFont.bold);
  EXPECT_EQ(italic, expected.osdFont.italic);
  EXPECT_EQ(underline, expected.osdFont.underline);
  EXPECT_EQ(strikeOut, expected.osdFont.strikeOut);
}

}  // namespace settings_check
