// Settings with every field away from its default, and one comparison of
// every field by the file's rows: the native schema tests and the Wine
// settings file tests both round-trip settings through them.
#pragma once

#include <gtest/gtest.h>

#include <type_traits>
#include <variant>

#include "core/settings/settings.h"
#include "core/settings/settings_keys.h"

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
  s.osdShowArt = true;
  s.osdOnPlayState = true;
  s.osdOnVolumeChange = true;
  s.playOnStart = true;
  s.rememberPosition = true;
  s.seekSeconds = 30;
  s.volumePercent = 10;
  s.mutedVolume = 158;
  for (int i = 0; i < klv::kHotkeyCount; ++i) s.hotkeys[i] = i % 2 ? 5242883 : -i;
  s.playbackPosition = 987654;
  return s;
}

// Row by row, so that a failure names the key.
inline void ExpectSameSettings(const klv::Settings& actual, const klv::Settings& expected) {
  // Lists every field: one added to the settings stops this from compiling
  // until it has its row, and through it its comparison.
  [[maybe_unused]] const auto& [hotkeysEnabled, activeEnabled, inactiveEnabled, alphaLevels, osdEnabled,
                                osdPosition, osdDisplayTime, osdColor, osdFont, osdMonitor, osdHideFullScreen,
                                osdOnTrackChange, osdShowVolume, osdShowArt, osdOnPlayState,
                                osdOnVolumeChange, playOnStart, rememberPosition, seekSeconds, volumePercent,
                                mutedVolume, hotkeys, playbackPosition] = actual;
  for (int i = 0; i < klv::kHotkeyCount; ++i)
    EXPECT_EQ(actual.hotkeys[i], expected.hotkeys[i]) << "[HotKeys]" << klv::kHotkeyActions[i].atomName;
  klv::Settings got = actual, want = expected;
  for (const klv::SettingsKey& row : klv::kSettingsKeys) {
    if (row.field.of == nullptr) continue;
    std::visit(
        [&row](auto* gotField, auto* wantField) {
          if constexpr (std::is_same_v<decltype(gotField), decltype(wantField)>) {
            EXPECT_EQ(*gotField, *wantField) << "[" << row.section << "]" << row.key;
          }
        },
        row.field.of(got), row.field.of(want));
  }
}

}  // namespace settings_check
