// The settings file's contents in memory: the settings, the hotkeys'
// combinations and the playback position. A fresh record holds the file's
// defaults, as the rows of core/settings/settings_keys.h give them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/hotkeys/hotkey_actions.h"

namespace klv {

constexpr int kAlphaLevelCount = 6;

// Index into AlphaLevels: main, playlist, equalizer; active levels first.
enum AlphaIndex {
  kMainActive,
  kPlaylistActive,
  kEqualizerActive,
  kMainInactive,
  kPlaylistInactive,
  kEqualizerInactive
};
using AlphaLevels = std::array<uint8_t, kAlphaLevelCount>;

struct OsdFontSettings {
  std::string name;  // UTF-8
  int32_t size;      // points
  uint32_t color;    // 0x00BBGGRR; negative values name system colours
  bool bold;
  bool italic;
  bool underline;
  bool strikeOut;
};

// Where the OSD shows: OSDMonitor's values; any other reads as kPrimary.
enum class OsdMonitor : int32_t { kPrimary = 0, kPlayer = 1, kForeground = 2, kPointer = 3 };
constexpr OsdMonitor OsdMonitorFrom(int32_t value) {
  return value >= 0 && value <= 3 ? static_cast<OsdMonitor>(value) : OsdMonitor::kPrimary;
}

// Every field has its row: a fresh record reads them from an empty file.
struct Settings {
  Settings();

  bool hotkeysEnabled;
  bool activeEnabled;
  bool inactiveEnabled;
  AlphaLevels alphaLevels;
  bool osdEnabled;
  uint8_t osdPosition;
  int32_t osdDisplayTime;
  uint32_t osdColor;
  OsdFontSettings osdFont;
  int32_t osdMonitor;  // an OsdMonitor value
  bool osdHideFullScreen;
  bool osdOnTrackChange;   // the start-up text whenever the host starts a track
  bool osdShowVolume;      // the volume actions show the host's level
  bool osdShowArt;         // the playing track's cover beside an OSD that names it
  bool osdOnPlayState;     // a pause, resume or stop by any means shows as our own actions show it
  bool osdOnVolumeChange;  // a change of the volume by any means shows the level
  bool playOnStart;
  bool rememberPosition;
  int32_t seekSeconds;    // Forward and Rewind, 1..600; 5 sends the player's own commands
  int32_t volumePercent;  // Volume Up and Down, 1..100; 0 sends the player's own commands
  // The level Mute took away, to give back also after a restart; 0 while not muted.
  int32_t mutedVolume;
  PackedHotkeys hotkeys;     // one per row of kHotkeyActions, in its order; 0: none
  int32_t playbackPosition;  // ms into the track where the host was last closed
};

}  // namespace klv
