// The keys of gen_klv.ini: one read and one write per setting, in the file's order.
#include "core/settings_schema.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/hotkey_actions.h"
#include "core/ini_escape.h"

namespace klv {
namespace {

constexpr std::string_view kHotkeysSection = "Hotkeys";
constexpr std::string_view kHotkeyValuesSection = "HotKeys";
constexpr std::string_view kTransparencySection = "Transparency";
constexpr std::string_view kOsdSection = "OSD";
constexpr std::string_view kTrackSection = "Track";

constexpr std::array<std::string_view, kAlphaLevelCount> kAlphaKeys = {
    "WinAMP_active",   "Playlist_active",   "Equalizer_active",
    "WinAMP_inactive", "Playlist_inactive", "Equalizer_inactive"};
constexpr std::array<AlphaIndex, 3> kActiveLevels = {kMainActive, kPlaylistActive, kEqualizerActive};
constexpr std::array<AlphaIndex, 3> kInactiveLevels = {kMainInactive, kPlaylistInactive, kEqualizerInactive};

// The font's exact name where OSDFontName cannot hold it: an older build
// reads OSDFontName alone and writes it alone.
constexpr std::string_view kExactFontNameKey = "OSDFontNameUnicode";

// 8-bit fields keep the low byte of whatever the file holds.
uint8_t LowByte(int32_t value) { return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu); }

// The defaults every read falls back to.
const Settings kDefaults{};

void ReadAlphaGroup(const IniReader& ini, const std::array<AlphaIndex, 3>& group, AlphaLevels& levels) {
  for (AlphaIndex index : group) {
    levels[index] =
        LowByte(ini.ReadInteger(kTransparencySection, kAlphaKeys[index], kDefaults.alphaLevels[index]));
  }
}

bool WriteAlphaGroup(IniWriter& ini, const std::array<AlphaIndex, 3>& group, const AlphaLevels& levels) {
  for (AlphaIndex index : group) {
    if (!ini.WriteInteger(kTransparencySection, kAlphaKeys[index], levels[index])) return false;
  }
  return true;
}

bool WriteHotkeys(IniWriter& ini, const Settings& settings,
                  const std::array<int32_t, kHotkeyCount>& packedHotkeys) {
  if (!ini.WriteBool(kHotkeysSection, "Enable", settings.hotkeysEnabled)) return false;
  for (int i = 0; i < kHotkeyCount; ++i) {
    if (!ini.WriteInteger(kHotkeyValuesSection, kHotkeyActions[i].atomName, packedHotkeys[i])) return false;
  }
  return true;
}

bool WriteTransparency(IniWriter& ini, const Settings& settings) {
  return ini.WriteBool(kTransparencySection, "EnableActive", settings.activeEnabled) &&
         WriteAlphaGroup(ini, kActiveLevels, settings.alphaLevels) &&
         ini.WriteBool(kTransparencySection, "EnableInactive", settings.inactiveEnabled) &&
         WriteAlphaGroup(ini, kInactiveLevels, settings.alphaLevels);
}

bool WriteOsd(IniWriter& ini, const Settings& settings) {
  const OsdFontSettings& font = settings.osdFont;
  return ini.WriteBool(kOsdSection, "Enable", settings.osdEnabled) &&
         ini.WriteInteger(kOsdSection, "OSDPosition", settings.osdPosition) &&
         ini.WriteInteger(kOsdSection, "OSDDisplayTime", settings.osdDisplayTime) &&
         ini.WriteInteger(kOsdSection, "OSDColor", static_cast<int32_t>(settings.osdColor)) &&
         ini.WriteString(kOsdSection, "OSDFontName", font.name) &&
         ini.WriteInteger(kOsdSection, "OSDFontSize", font.size) &&
         ini.WriteInteger(kOsdSection, "OSDFontColor", static_cast<int32_t>(font.color)) &&
         ini.WriteBool(kOsdSection, "OSDFontStyleBold", font.bold) &&
         ini.WriteBool(kOsdSection, "OSDFontStyleItalic", font.italic) &&
         ini.WriteBool(kOsdSection, "OSDFontStyleUnderlined", font.underline) &&
         ini.WriteBool(kOsdSection, "OSDFontStyleStrikeOut", font.strikeOut) &&
         ini.WriteInteger(kOsdSection, "OSDMonitor", settings.osdMonitor) &&
         ini.WriteBool(kOsdSection, "OSDHideFullScreen", settings.osdHideFullScreen) &&
         // Gone once OSDFontName holds the name, so that an older exact name never comes back.
         (ini.StoredForm(font.name) == font.name
              ? ini.DeleteKey(kOsdSection, kExactFontNameKey)
              : ini.WriteString(kOsdSection, kExactFontNameKey, EscapeIniText(font.name)));
}

bool WriteTrack(IniWriter& ini, const Settings& settings) {
  return ini.WriteBool(kTrackSection, "PlayOnStart", settings.playOnStart) &&
         ini.WriteBool(kTrackSection, "RememberPosition", settings.rememberPosition);
}

}  // namespace

bool ReadHotkeysEnabled(const IniReader& ini) {
  return ini.ReadBool(kHotkeysSection, "Enable", kDefaults.hotkeysEnabled);
}

// A cleared entry is 0, as the file holds it when no combination was ever set.
int32_t ReadPackedHotkey(const IniReader& ini, std::string_view atomName) {
  return ini.ReadInteger(kHotkeyValuesSection, atomName, 0);
}

void ReadTransparencySettings(const IniReader& ini, Settings& settings) {
  settings.activeEnabled = ini.ReadBool(kTransparencySection, "EnableActive", kDefaults.activeEnabled);
  ReadAlphaGroup(ini, kActiveLevels, settings.alphaLevels);
  settings.inactiveEnabled = ini.ReadBool(kTransparencySection, "EnableInactive", kDefaults.inactiveEnabled);
  ReadAlphaGroup(ini, kInactiveLevels, settings.alphaLevels);
}

void ReadOsdSettings(const IniReader& ini, Settings& settings) {
  const OsdFontSettings& fontDefaults = kDefaults.osdFont;
  OsdFontSettings& font = settings.osdFont;
  settings.osdEnabled = ini.ReadBool(kOsdSection, "Enable", kDefaults.osdEnabled);
  settings.osdPosition = LowByte(ini.ReadInteger(kOsdSection, "OSDPosition", kDefaults.osdPosition));
  settings.osdDisplayTime = ini.ReadInteger(kOsdSection, "OSDDisplayTime", kDefaults.osdDisplayTime);
  settings.osdColor = static_cast<uint32_t>(
      ini.ReadInteger(kOsdSection, "OSDColor", static_cast<int32_t>(kDefaults.osdColor)));
  font.name = ini.ReadString(kOsdSection, "OSDFontName", fontDefaults.name);
  // Only while OSDFontName still holds exactly what the file made of it: a
  // font chosen later by an older build, or by hand, wins.
  const std::optional<std::string> exact =
      UnescapeIniText(ini.ReadString(kOsdSection, kExactFontNameKey, ""));
  if (exact && !exact->empty() && ini.StoredForm(*exact) == font.name) font.name = *exact;
  font.size = ini.ReadInteger(kOsdSection, "OSDFontSize", fontDefaults.size);
  font.color = static_cast<uint32_t>(
      ini.ReadInteger(kOsdSection, "OSDFontColor", static_cast<int32_t>(fontDefaults.color)));
  font.bold = ini.ReadBool(kOsdSection, "OSDFontStyleBold", fontDefaults.bold);
  font.italic = ini.ReadBool(kOsdSection, "OSDFontStyleItalic", fontDefaults.italic);
  font.underline = ini.ReadBool(kOsdSection, "OSDFontStyleUnderlined", fontDefaults.underline);
  font.strikeOut = ini.ReadBool(kOsdSection, "OSDFontStyleStrikeOut", fontDefaults.strikeOut);
  settings.osdMonitor =
      static_cast<int32_t>(OsdMonitorFrom(ini.ReadInteger(kOsdSection, "OSDMonitor", kDefaults.osdMonitor)));
  settings.osdHideFullScreen = ini.ReadBool(kOsdSection, "OSDHideFullScreen", kDefaults.osdHideFullScreen);
}

void ReadTrackSettings(const IniReader& ini, Settings& settings, int32_t& lastPlaybackPosition) {
  settings.playOnStart = ini.ReadBool(kTrackSection, "PlayOnStart", kDefaults.playOnStart);
  settings.rememberPosition = ini.ReadBool(kTrackSection, "RememberPosition", kDefaults.rememberPosition);
  // A stored position is ignored unless the user asked for it to be remembered.
  if (settings.rememberPosition) lastPlaybackPosition = ini.ReadInteger(kTrackSection, "Position", 0);
}

bool WriteAllSettings(IniWriter& ini, const Settings& settings,
                      const std::array<int32_t, kHotkeyCount>& packedHotkeys) {
  return WriteHotkeys(ini, settings, packedHotkeys) && WriteTransparency(ini, settings) &&
         WriteOsd(ini, settings) && WriteTrack(ini, settings);
}

bool WritePlaybackPosition(IniWriter& ini, int32_t position) {
  return ini.WriteInteger(kTrackSection, "Position", position);
}

}  // namespace klv
