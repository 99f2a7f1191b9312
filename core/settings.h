// The in-memory settings and the portable rules for reading and writing them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace klv {

constexpr int kHotkeyCount = 16;
constexpr int kAlphaLevelCount = 6;
constexpr size_t kMaxIniText = 2047;  // profile texts are read into a 2048-byte buffer

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
  std::string name = "Arial";
  int32_t size = 12;   // points
  uint32_t color = 0;  // 0x00BBGGRR; negative values name system colours
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

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
  int32_t osdMonitor = 0;  // 0 primary, 1 the player's, 2 the foreground window's, 3 the pointer's
  bool osdHideFullScreen = false;
  bool playOnStart = false;
  bool rememberPosition = false;
};

// Reads an integer the way the settings file stores it: leading blanks, an
// optional sign, decimal or hexadecimal ("$", "0x", "0X"). Anything else,
// including trailing characters or a decimal value outside 32 bits, gives
// fallback. Hexadecimal values up to 32 bits wrap to the signed range.
int32_t ParseIniInteger(std::string_view text, int32_t fallback);

// The profile-file operations the settings need, so that the schema below runs
// over the platform's profile functions and over a portable reader alike.
class IniReader {
 public:
  virtual ~IniReader() = default;
  // The value of section/key (matched without regard to case), at most
  // kMaxIniText characters, or fallback when the key is absent.
  virtual std::string ReadString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const = 0;

  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
};

class IniWriter {
 public:
  virtual ~IniWriter() = default;
  // False when the system refused the write.
  virtual bool WriteString(std::string_view section, std::string_view key, std::string_view value) = 0;

  bool WriteInteger(std::string_view section, std::string_view key, int32_t value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);
};

// The reads of init, one per step, each with the file's defaults.
bool ReadHotkeysEnabled(const IniReader& ini);
int32_t ReadPackedHotkey(const IniReader& ini, std::string_view atomName);
void ReadTransparencySettings(const IniReader& ini, Settings& settings);
void ReadOsdSettings(const IniReader& ini, Settings& settings);
// PlayOnStart and RememberPosition; Position only when RememberPosition is on.
void ReadTrackSettings(const IniReader& ini, Settings& settings, int32_t& lastPlaybackPosition);

// Writes every key but Position in the file's fixed order. Stops at the first
// refused write and returns false; the keys after it are not written.
bool WriteAllSettings(IniWriter& ini, const Settings& settings,
                      const std::array<int32_t, kHotkeyCount>& packedHotkeys);
bool WritePlaybackPosition(IniWriter& ini, int32_t position);

}  // namespace klv
