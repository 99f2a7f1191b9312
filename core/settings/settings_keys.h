// The keys of gen_klv.ini, one row each in the file's order. The reads of
// init, the write of "Exit", a fresh record's defaults and the tests'
// comparison all walk these rows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "core/hotkeys/player_steps.h"
#include "core/settings/settings.h"

namespace klv {

// How a key is read and written.
enum KeyKind {
  kFlag,           // bool: "1" or "0", read as an integer, non-zero meaning true
  kInteger,        // int32_t
  kColour,         // uint32_t 0x00BBGGRR, as a signed integer: system colours stay negative
  kLowByte,        // uint8_t: the low 8 bits of whatever integer the file holds
  kMonitor,        // int32_t, an OsdMonitor value; any other reads as kPrimary
  kSeekStep,       // int32_t, seconds 1..600; any other reads as the default
  kVolumeStep,     // int32_t, percent 0..100; any other reads as the default
  kVolumeLevel,    // int32_t, the host's volume 0..255; any other reads as 0
  kText,           // UTF-8
  kExactFontName,  // the font name, escaped, only where OSDFontName cannot hold it
  kPackedHotkeys,  // one key per hotkey action, named by kHotkeyActions
  kPosition,       // int32_t: read when remembered, written by quit alone
};

using FieldRef = std::variant<bool*, int32_t*, uint32_t*, uint8_t*, std::string*>;
using ConstFieldRef =
    std::variant<const bool*, const int32_t*, const uint32_t*, const uint8_t*, const std::string*>;

// One field of Settings: reads store into it, writes only look at it.
struct FieldAccess {
  FieldRef (*of)(Settings&) = nullptr;  // null for the hotkeys, one key per action
  ConstFieldRef (*in)(const Settings&) = nullptr;
};

// Function templates rather than lambdas: the rows stay constant data, set
// before any constructor of another file reads them.
template <typename S>
using FieldRefIn = std::conditional_t<std::is_const_v<S>, ConstFieldRef, FieldRef>;
template <auto kMember, typename S>
FieldRefIn<S> MemberOf(S& s) {
  return &(s.*kMember);
}
template <auto kMember, typename S>
FieldRefIn<S> FontMemberOf(S& s) {
  return &(s.osdFont.*kMember);
}
template <AlphaIndex kIndex, typename S>
FieldRefIn<S> AlphaOf(S& s) {
  return &s.alphaLevels[kIndex];
}
template <auto kMember>
inline constexpr FieldAccess Field = {MemberOf<kMember, Settings>, MemberOf<kMember, const Settings>};
template <auto kMember>
inline constexpr FieldAccess FontField = {FontMemberOf<kMember, Settings>,
                                          FontMemberOf<kMember, const Settings>};
template <AlphaIndex kIndex>
inline constexpr FieldAccess AlphaField = {AlphaOf<kIndex, Settings>, AlphaOf<kIndex, const Settings>};

struct KeyDefault {
  constexpr KeyDefault(int32_t value) : number(value) {}
  constexpr KeyDefault(const char* value) : text(value) {}
  int32_t number = 0;
  std::string_view text;
};

struct SettingsKey {
  std::string_view section;
  std::string_view key;
  FieldAccess field;
  KeyKind kind;
  KeyDefault fallback;  // what a file without the key reads as
};

// "Hotkeys" and "HotKeys" are one section to the profile functions; the file
// has always spelt it both ways.
inline constexpr SettingsKey kSettingsKeys[] = {
    {"Hotkeys", "Enable", Field<&Settings::hotkeysEnabled>, kFlag, false},
    {"HotKeys", "", {}, kPackedHotkeys, 0},
    {"Transparency", "EnableActive", Field<&Settings::activeEnabled>, kFlag, false},
    {"Transparency", "WinAMP_active", AlphaField<kMainActive>, kLowByte, 255},
    {"Transparency", "Playlist_active", AlphaField<kPlaylistActive>, kLowByte, 255},
    {"Transparency", "Equalizer_active", AlphaField<kEqualizerActive>, kLowByte, 255},
    {"Transparency", "EnableInactive", Field<&Settings::inactiveEnabled>, kFlag, false},
    {"Transparency", "WinAMP_inactive", AlphaField<kMainInactive>, kLowByte, 255},
    {"Transparency", "Playlist_inactive", AlphaField<kPlaylistInactive>, kLowByte, 255},
    {"Transparency", "Equalizer_inactive", AlphaField<kEqualizerInactive>, kLowByte, 255},
    {"OSD", "Enable", Field<&Settings::osdEnabled>, kFlag, false},
    {"OSD", "OSDPosition", Field<&Settings::osdPosition>, kLowByte, 7},
    {"OSD", "OSDDisplayTime", Field<&Settings::osdDisplayTime>, kInteger, 1000},
    {"OSD", "OSDColor", Field<&Settings::osdColor>, kColour, 0xD5FFFE},
    {"OSD", "OSDFontName", FontField<&OsdFontSettings::name>, kText, "Arial"},
    {"OSD", "OSDFontSize", FontField<&OsdFontSettings::size>, kInteger, 12},
    {"OSD", "OSDFontColor", FontField<&OsdFontSettings::color>, kColour, 0},
    {"OSD", "OSDFontStyleBold", FontField<&OsdFontSettings::bold>, kFlag, false},
    {"OSD", "OSDFontStyleItalic", FontField<&OsdFontSettings::italic>, kFlag, false},
    {"OSD", "OSDFontStyleUnderlined", FontField<&OsdFontSettings::underline>, kFlag, false},
    {"OSD", "OSDFontStyleStrikeOut", FontField<&OsdFontSettings::strikeOut>, kFlag, false},
    {"OSD", "OSDMonitor", Field<&Settings::osdMonitor>, kMonitor, 0},
    {"OSD", "OSDHideFullScreen", Field<&Settings::osdHideFullScreen>, kFlag, false},
    {"OSD", "OSDOnTrackChange", Field<&Settings::osdOnTrackChange>, kFlag, false},
    {"OSD", "OSDShowVolume", Field<&Settings::osdShowVolume>, kFlag, false},
    {"OSD", "OSDShowArt", Field<&Settings::osdShowArt>, kFlag, false},
    {"OSD", "OSDOnPlayState", Field<&Settings::osdOnPlayState>, kFlag, false},
    {"OSD", "OSDOnVolumeChange", Field<&Settings::osdOnVolumeChange>, kFlag, false},
    // Last in its section, so that an older build's keys keep their places.
    {"OSD", "OSDFontNameUnicode", FontField<&OsdFontSettings::name>, kExactFontName, ""},
    {"Track", "PlayOnStart", Field<&Settings::playOnStart>, kFlag, false},
    {"Track", "RememberPosition", Field<&Settings::rememberPosition>, kFlag, false},
    {"Track", "Position", Field<&Settings::playbackPosition>, kPosition, 0},
    // After the sections an older build writes, so that its own keep their places.
    {"Steps", "SeekSeconds", Field<&Settings::seekSeconds>, kSeekStep, kPlayerSeekSeconds},
    {"Steps", "VolumePercent", Field<&Settings::volumePercent>, kVolumeStep, kPlayerVolumeStep},
    // Also written by quit, whenever Mute changed it since the start.
    {"Steps", "MutedVolume", Field<&Settings::mutedVolume>, kVolumeLevel, 0},
};

}  // namespace klv
