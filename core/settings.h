// The in-memory settings. The initialisers are the file's defaults: the reads
// fall back to them and a fresh record holds them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace klv {

constexpr int kHotkeyCount = 16;
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
  std::string name = "Arial";  // UTF-8
  int32_t size = 12;           // points
  uint32_t color = 0;          // 0x00BBGGRR; negative values name system colours
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

// Where the OSD shows: OSDMonitor's values; any other reads as kPrimary.
enum class OsdMonitor : int32_t { kPrimary = 0, kPlayer = 1, kForeground = 2, kPointer = 3 };
constexpr OsdMonitor OsdMonitorFrom(int32_t value) {
  return value >= 0 && value <= 3 ? static_cast<OsdMonitor>(value) : OsdMonitor::kPrimary;
}

struct Settings {
  bool hotkeysEnabled = false;
  bool activeEnabled = false;
  bool inactiveEnabled = false;
  AlphaLevels alphaLevels{255, 255, 255, 255, 255, 255};
  bool osdEnabled = false;
  uint8_t osdPosition = 7;
  int32_t osdDisplayTime = 1000;
  uint32_t osdColor = 0xD5FFFE;
  OsdFontSettings osdFont;
  int32_t osdMonitor = 0;  // an OsdMonitor value
  bool osdHideFullScreen = false;
  bool osdOnTrackChange = false;  // the start-up text whenever the host starts a track
  bool osdShowVolume = false;     // the volume actions show the host's level
  bool playOnStart = false;
  bool rememberPosition = false;
};

}  // namespace klv
