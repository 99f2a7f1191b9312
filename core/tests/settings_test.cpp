#include "core/settings/settings_schema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "core/settings/ini_integer.h"
#include "core/settings/ini_text.h"
#include "core/tests/settings_check.h"

namespace klv {
namespace {

using settings_check::ExpectSameSettings;
using settings_check::UnusualSettings;

// --- ParseIniInteger -------------------------------------------------------

struct ParseCase {
  const char* text;
  int32_t expected;
};

constexpr int32_t kFallback = -777;

// Every integer the file holds, hotkey values among them, reads by this one
// rule; the Wine settings suite adds what the profile functions change first.
TEST(ParseIniInteger, ReadsDecimalAndHexadecimalFormsAndNothingElse) {
  const ParseCase cases[] = {
      {"0", 0},
      {"42", 42},
      {"+42", 42},
      {"-42", -42},
      {"+7", 7},
      {"-5", -5},
      {"007", 7},
      {"  12", 12},
      {"\t\t12", 12},
      {" \t -3", -3},
      {"  -1", -1},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"0x1F", 31},
      {"0X1F", 31},
      {"0X1f", 31},
      {"$1F", 31},
      {"$1f", 31},
      {"0xabcDEF", 0xABCDEF},
      {"-$10", -16},
      {"+$10", 16},
      {"-0x10", -16},
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"0x7FFFFFFF", INT32_MAX},
      {"-$FFFFFFFF", 1},
      {"$00000001", 1},
      {"0x0000000000D5FFFE", 0xD5FFFE},
      {"14024702", 0xD5FFFE},
      {"5242883", 5242883},    // Ctrl+Alt+P
      {"8060936", 8060936},    // Win+F12
      {"-65534", -65534},      // Ctrl and a key code with the top bit
      {"11730944", 11730944},  // MediaPlayPause
      {"0xB30000", 0xB30000},
      {"$B30000", 0xB30000},
      // Anything else gives the key's default.
      {"", kFallback},
      {" ", kFallback},
      {"\t", kFallback},
      {"+", kFallback},
      {"-", kFallback},
      {"$", kFallback},
      {"0x", kFallback},
      {"0X", kFallback},
      {"-$", kFallback},
      {"x1F", kFallback},
      {"1F", kFallback},
      {"12a", kFallback},
      {"12abc", kFallback},
      {"12 ", kFallback},
      {"12\t", kFallback},
      {"1 2", kFallback},
      {"- 1", kFallback},
      {"- 5", kFallback},
      {"+-1", kFallback},
      {"--1", kFallback},
      {"$G", kFallback},
      {"0x1G", kFallback},
      {"$1FFFFFFFF", kFallback},
      {"0x123456789", kFallback},
      {"2147483648", kFallback},
      {"-2147483649", kFallback},
      {"99999999999", kFallback},
      {"99999999999999999999", kFallback},
      {"1.5", kFallback},
      {"1e3", kFallback},
      {"\n12", kFallback},
      {"abc", kFallback},
      {"bad", kFallback},
      {"media", kFallback},
      {"0b101", kFallback},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseIniInteger(c.text, kFallback), c.expected);
  }
}

TEST(ParseIniInteger, StopsAtTheViewsEnd) {
  const std::string text = "123456";
  EXPECT_EQ(ParseIniInteger(std::string_view(text).substr(0, 3), kFallback), 123);
}

// --- The file's keys and the list's captions, written out -------------------

// One row per hotkey action in table order: its key under [HotKeys] and its
// caption in the configuration dialog's list. Users' files and the dialog
// depend on every letter, misspellings included.
struct ActionRow {
  const char* key;
  const char* caption;
};
const ActionRow kActionRows[] = {
    {"prev_hotkey", "Previous"},
    {"play_hotkey", "Play"},
    {"pause_hotkey", "Pause"},
    {"stop_hotkey", "Stop"},
    {"next_hotkey", "Next"},
    {"fwd_hotkey", "Forward"},
    {"rew_hotkey", "Rewind"},
    {"VolUp_hotkey", "Volume Up"},
    {"VolDown_hotkey", "Volume Down"},
    {"mainwindow_hotkey", "Activate Main WinAMP Window"},
    {"inform_hotkey", "Show Song Information"},
    {"jump_hotkey", "Jump To Song"},
    {"repeat_hotkey", "Repeat Mode On/Off"},
    {"shuffle_hotkey", "Shuffle Mode On/Off"},
    {"stop_after_current_hotkey", "Stop After Current"},
    {"playpause_hotkey", "Play/Pause"},
    {"rateup_hotkey", "Rating Up"},
    {"ratedown_hotkey", "Rating Down"},
    {"mute_hotkey", "Mute"},
};

TEST(ActionTable, NamesEveryRowAsTheFileAndTheListDo) {
  ASSERT_EQ(std::size(kActionRows), static_cast<size_t>(kHotkeyCount));
  for (int row = 0; row < kHotkeyCount; ++row) {
    SCOPED_TRACE(row);
    EXPECT_STREQ(kHotkeyActions[row].atomName, kActionRows[row].key);
    EXPECT_STREQ(kHotkeyActions[row].caption, kActionRows[row].caption);
  }
}

// --- Recording what the schema does ----------------------------------------

struct Write {
  std::string section, key, value;
  bool operator==(const Write& other) const {
    return section == other.section && key == other.key && value == other.value;
  }
};

std::ostream& operator<<(std::ostream& out, const Write& w) {
  return out << "[" << w.section << "]" << w.key << "=" << w.value;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// Notes every write in order, a deletion as "(deleted)", and can refuse one.
// Text() gives the writes as a file, so that the real reader reads them back.
class WriteRecorder : public IniWriter {
 public:
  bool WriteString(std::string_view section, std::string_view key, std::string_view value) override {
    attempts_.push_back({std::string(section), std::string(key), std::string(value)});
    if (refuseAttempt_ == static_cast<int>(attempts_.size()) - 1) return false;
    accepted_.push_back(attempts_.back());
    return true;
  }
  bool DeleteKey(std::string_view section, std::string_view key) override {
    return WriteString(section, key, "(deleted)");
  }
  // A code page of ASCII alone.
  std::string StoredForm(std::string_view text) const override {
    return std::all_of(text.begin(), text.end(), [](char c) { return c > 0; }) ? std::string(text) : "?";
  }

  void RefuseAttempt(int index) { refuseAttempt_ = index; }
  const std::vector<Write>& Attempts() const { return attempts_; }
  bool Wrote(std::string_view section, std::string_view key) const {
    return std::any_of(accepted_.begin(), accepted_.end(),
                       [&](const Write& w) { return SameName(w.section, section) && SameName(w.key, key); });
  }
  // Each section once, where it was first written, as the profile functions keep a file: a
  // write to a section further up (Position, after the steps) joins it there.
  std::string Text() const {
    std::vector<std::pair<std::string, std::string>> sections;
    for (const Write& w : accepted_) {
      auto section = std::find_if(sections.begin(), sections.end(),
                                  [&w](const auto& s) { return SameName(s.first, w.section); });
      if (section == sections.end()) section = sections.insert(sections.end(), {w.section, ""});
      section->second += w.key + "=" + w.value + "\n";
    }
    std::string text;
    for (const auto& [name, body] : sections) text += "[" + name + "]\n" + body;
    return text;
  }

 private:
  std::vector<Write> attempts_;
  std::vector<Write> accepted_;
  int refuseAttempt_ = -1;
};

// The real reader, noting which keys were asked for.
class ReadRecorder : public IniReader {
 public:
  explicit ReadRecorder(std::string_view text) : ini_(text) {}
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const override {
    reads_.push_back(std::string(section) + "/" + std::string(key));
    return ini_.ReadString(section, key, fallback);
  }
  const std::vector<std::string>& Reads() const { return reads_; }

 private:
  IniText ini_;
  mutable std::vector<std::string> reads_;
};

// --- IniReader / IniWriter helpers ------------------------------------------

TEST(IniAccess, BooleansAreIntegersNonZeroMeaningTrue) {
  struct Case {
    const char* stored;
    bool fallback;
    bool expected;
  };
  const Case cases[] = {{"1", false, true},    {"0", true, false},  {"2", false, true},
                        {"-1", false, true},   {"$0", true, false}, {"0x10", false, true},
                        {"yes", false, false}, {"yes", true, true}, {"", true, true},
                        {"", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    const IniText ini(std::string("[S]\nK=") + c.stored + "\n");
    EXPECT_EQ(ini.ReadBool("S", "K", c.fallback), c.expected);
  }
  const IniText empty("");
  EXPECT_TRUE(empty.ReadBool("S", "K", true));
  EXPECT_FALSE(empty.ReadBool("S", "K", false));
}

TEST(IniAccess, WritesBooleansAsOneAndZeroAndIntegersInSignedDecimal) {
  WriteRecorder ini;
  EXPECT_TRUE(ini.WriteBool("S", "On", true));
  EXPECT_TRUE(ini.WriteBool("S", "Off", false));
  EXPECT_TRUE(ini.WriteInteger("S", "Min", INT32_MIN));
  EXPECT_TRUE(ini.WriteInteger("S", "Packed", 5242883));
  EXPECT_EQ(
      ini.Attempts(),
      (std::vector<Write>{
          {"S", "On", "1"}, {"S", "Off", "0"}, {"S", "Min", "-2147483648"}, {"S", "Packed", "5242883"}}));
  WriteRecorder refusing;
  refusing.RefuseAttempt(0);
  EXPECT_FALSE(refusing.WriteInteger("S", "K", 1)) << "a refused write is reported";
  EXPECT_TRUE(refusing.WriteBool("S", "K", true));
}

// --- The settings schema -----------------------------------------------------

TEST(SettingsSchema, EmptyFileGivesTheDefaults) {
  const Settings settings = ReadSettings(IniText(""));

  EXPECT_FALSE(settings.hotkeysEnabled);
  for (int32_t value : settings.hotkeys) EXPECT_EQ(value, 0);
  EXPECT_FALSE(settings.activeEnabled);
  EXPECT_FALSE(settings.inactiveEnabled);
  EXPECT_EQ(settings.alphaLevels, (AlphaLevels{255, 255, 255, 255, 255, 255}));
  EXPECT_FALSE(settings.osdEnabled);
  EXPECT_EQ(settings.osdPosition, 7);
  EXPECT_EQ(settings.osdDisplayTime, 1000);
  EXPECT_EQ(settings.osdColor, 0xD5FFFEu);
  EXPECT_EQ(settings.osdFont.name, "Arial");
  EXPECT_EQ(settings.osdFont.size, 12);
  EXPECT_EQ(settings.osdFont.color, 0u);
  EXPECT_FALSE(settings.osdFont.bold);
  EXPECT_FALSE(settings.osdFont.italic);
  EXPECT_FALSE(settings.osdFont.underline);
  EXPECT_FALSE(settings.osdFont.strikeOut);
  EXPECT_EQ(settings.osdMonitor, 0);
  EXPECT_FALSE(settings.osdHideFullScreen);
  EXPECT_FALSE(settings.playOnStart);
  EXPECT_FALSE(settings.rememberPosition);
  EXPECT_EQ(settings.playbackPosition, 0);
}

TEST(SettingsSchema, ReadsEveryKeyIntoItsField) {
  // Each hotkey key once, in the spelling users' files hold, with a value of its own.
  std::string hotkeys = "[HotKeys]\nEnable=1\n";
  for (int i = 0; i < kHotkeyCount; ++i)
    hotkeys += std::string(kActionRows[i].key) + "=" + std::to_string(i + 1) + "\n";
  const IniText ini(
      hotkeys +
      "[Transparency]\nEnableActive=1\nEnableInactive=0\nWinAMP_active=10\nPlaylist_active=20\n"
      "Equalizer_active=30\nWinAMP_inactive=40\nPlaylist_inactive=50\nEqualizer_inactive=60\n"
      "[OSD]\nEnable=1\nOSDPosition=4\nOSDDisplayTime=-5\nOSDColor=255\nOSDFontName=Tahoma Bold\n"
      "OSDFontSize=9\nOSDFontColor=0xFF00\nOSDFontStyleBold=1\nOSDFontStyleItalic=0\n"
      "OSDFontStyleUnderlined=1\nOSDFontStyleStrikeOut=0\nOSDMonitor=2\nOSDHideFullScreen=1\n"
      "[Track]\nPlayOnStart=1\n");

  const Settings settings = ReadSettings(ini);

  EXPECT_TRUE(settings.hotkeysEnabled);
  for (int i = 0; i < kHotkeyCount; ++i) EXPECT_EQ(settings.hotkeys[i], i + 1) << kActionRows[i].key;
  EXPECT_TRUE(settings.activeEnabled);
  EXPECT_FALSE(settings.inactiveEnabled);
  EXPECT_EQ(settings.alphaLevels, (AlphaLevels{10, 20, 30, 40, 50, 60}));
  EXPECT_TRUE(settings.osdEnabled);
  EXPECT_EQ(settings.osdPosition, 4);
  EXPECT_EQ(settings.osdDisplayTime, -5);
  EXPECT_EQ(settings.osdColor, 255u);
  EXPECT_EQ(settings.osdFont.name, "Tahoma Bold");
  EXPECT_EQ(settings.osdFont.size, 9);
  EXPECT_EQ(settings.osdFont.color, 0xFF00u);
  EXPECT_TRUE(settings.osdFont.bold);
  EXPECT_FALSE(settings.osdFont.italic);
  EXPECT_TRUE(settings.osdFont.underline);
  EXPECT_FALSE(settings.osdFont.strikeOut);
  EXPECT_EQ(settings.osdMonitor, 2);
  EXPECT_TRUE(settings.osdHideFullScreen);
  EXPECT_TRUE(settings.playOnStart);
  EXPECT_FALSE(settings.rememberPosition);
}

TEST(SettingsSchema, EightBitFieldsKeepTheLowByte) {
  struct Case {
    const char* stored;
    uint8_t alpha;
    uint8_t position;
  };
  // An unreadable value falls back to each key's own default.
  const Case cases[] = {{"300", 44, 44},    {"263", 7, 7},     {"256", 0, 0},  {"-1", 255, 255},
                        {"$1FF", 255, 255}, {"$80", 128, 128}, {"-256", 0, 0}, {"junk", 255, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    const std::string stored = c.stored;
    const IniText ini("[Transparency]\nWinAMP_active=" + stored + "\nEqualizer_inactive=" + stored +
                      "\n[OSD]\nOSDPosition=" + stored + "\n");
    const Settings settings = ReadSettings(ini);
    EXPECT_EQ(settings.alphaLevels[kMainActive], c.alpha);
    EXPECT_EQ(settings.alphaLevels[kEqualizerInactive], c.alpha);
    EXPECT_EQ(settings.alphaLevels[kPlaylistActive], 255);
    EXPECT_EQ(settings.osdPosition, c.position);
  }
}

// SeekSeconds outside 1..600 and VolumePercent outside 0..100 read as the player's own steps,
// a MutedVolume outside 0..255 as not muted.
TEST(SettingsSchema, StepsOutOfTheirRangesReadAsThePlayersOwn) {
  const std::tuple<const char*, int32_t, int32_t, int32_t> cases[] = {
      {"SeekSeconds=1\nVolumePercent=100\nMutedVolume=255", 1, 100, 255},
      {"SeekSeconds=600\nVolumePercent=1\nMutedVolume=1", 600, 1, 1},
      {"SeekSeconds=0\nVolumePercent=101\nMutedVolume=256", 5, 0, 0},
      {"SeekSeconds=601\nVolumePercent=-1\nMutedVolume=-1", 5, 0, 0},
      {"SeekSeconds=-30\nVolumePercent=x\nMutedVolume=x", 5, 0, 0},
  };
  for (const auto& [stored, seconds, percent, muted] : cases) {
    const Settings settings = ReadSettings(IniText(std::string("[Steps]\n") + stored + "\n"));
    EXPECT_EQ(settings.seekSeconds, seconds) << stored;
    EXPECT_EQ(settings.volumePercent, percent) << stored;
    EXPECT_EQ(settings.mutedVolume, muted) << stored;
  }
}

// Read in any form, written back in signed decimal: system colours as negative numbers.
TEST(SettingsSchema, ColoursKeepTheirBitPattern) {
  struct Case {
    const char* stored;
    uint32_t expected;
    const char* written;
  };
  const Case cases[] = {{"-2147483633", 0x8000000Fu, "-2147483633"},
                        {"$FF0000", 0xFF0000u, "16711680"},
                        {"-1", 0xFFFFFFFFu, "-1"},
                        {"16777215", 0xFFFFFFu, "16777215"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    const std::string stored = c.stored;
    const IniText ini("[OSD]\nOSDColor=" + stored + "\nOSDFontColor=" + stored + "\n");
    const Settings settings = ReadSettings(ini);
    EXPECT_EQ(settings.osdColor, c.expected);
    EXPECT_EQ(settings.osdFont.color, c.expected);
    WriteRecorder out;
    ASSERT_TRUE(WriteAllSettings(out, settings));
    const IniText written(out.Text());
    EXPECT_EQ(written.ReadString("OSD", "OSDColor", ""), c.written);
    EXPECT_EQ(written.ReadString("OSD", "OSDFontColor", ""), c.written);
  }
}

TEST(SettingsSchema, PositionIsReadOnlyWhenRemembered) {
  struct Case {
    const char* remember;
    const char* stored;  // nullptr: no Position key
    int32_t expected;
    bool readsPosition;
  };
  const Case cases[] = {{"1", "123456", 123456, true},
                        {"0", "123456", 0, false},
                        {nullptr, "123456", 0, false},
                        {"1", nullptr, 0, true},
                        {"1", "bad", 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.remember ? c.remember : "none") << " "
                                    << (c.stored ? c.stored : "none"));
    std::string text = "[Track]\n";
    if (c.remember) text += std::string("RememberPosition=") + c.remember + "\n";
    if (c.stored) text += std::string("Position=") + c.stored + "\n";
    const ReadRecorder ini(text);
    EXPECT_EQ(ReadSettings(ini).playbackPosition, c.expected);
    const bool read = std::count(ini.Reads().begin(), ini.Reads().end(), "Track/Position") == 1;
    EXPECT_EQ(read, c.readsPosition);
  }
}

TEST(SettingsSchema, WritesEveryKeyButPositionInTheFilesOrder) {
  Settings s = UnusualSettings();
  for (int i = 0; i < kHotkeyCount; ++i) s.hotkeys[i] = (i + 1) * 1000;
  s.hotkeys[14] = -65536;

  std::vector<Write> expected = {{"Hotkeys", "Enable", "1"}};
  for (int i = 0; i < kHotkeyCount; ++i) {
    expected.push_back({"HotKeys", kActionRows[i].key, std::to_string(s.hotkeys[i])});
  }
  const std::vector<Write> rest = {
      {"Transparency", "EnableActive", "1"},
      {"Transparency", "WinAMP_active", "1"},
      {"Transparency", "Playlist_active", "2"},
      {"Transparency", "Equalizer_active", "3"},
      {"Transparency", "EnableInactive", "1"},
      {"Transparency", "WinAMP_inactive", "250"},
      {"Transparency", "Playlist_inactive", "128"},
      {"Transparency", "Equalizer_inactive", "0"},
      {"OSD", "Enable", "1"},
      {"OSD", "OSDPosition", "3"},
      {"OSD", "OSDDisplayTime", "2500"},
      {"OSD", "OSDColor", "1193046"},
      {"OSD", "OSDFontName", "Courier New"},
      {"OSD", "OSDFontSize", "20"},
      {"OSD", "OSDFontColor", "255"},
      {"OSD", "OSDFontStyleBold", "1"},
      {"OSD", "OSDFontStyleItalic", "1"},
      {"OSD", "OSDFontStyleUnderlined", "1"},
      {"OSD", "OSDFontStyleStrikeOut", "1"},
      {"OSD", "OSDMonitor", "2"},
      {"OSD", "OSDHideFullScreen", "1"},
      {"OSD", "OSDOnTrackChange", "1"},
      {"OSD", "OSDShowVolume", "1"},
      {"OSD", "OSDShowArt", "1"},
      {"OSD", "OSDOnPlayState", "1"},
      {"OSD", "OSDOnVolumeChange", "1"},
      {"OSD", "OSDFontNameUnicode", "(deleted)"},
      {"Track", "PlayOnStart", "1"},
      {"Track", "RememberPosition", "1"},
      {"Steps", "SeekSeconds", "30"},
      {"Steps", "VolumePercent", "10"},
      {"Steps", "MutedVolume", "158"},
  };
  expected.insert(expected.end(), rest.begin(), rest.end());

  WriteRecorder ini;
  EXPECT_TRUE(WriteAllSettings(ini, s));
  EXPECT_EQ(ini.Attempts(), expected);
  EXPECT_FALSE(ini.Wrote("Track", "Position"));
}

// Last in the OSD section, so that the monitor keys stay right after
// OSDFontStyleStrikeOut; only for a name an 8-bit file could lose.
TEST(SettingsSchema, ExactFontNameIsWrittenLastInTheOsdSectionForNamesBeyondAscii) {
  const std::string monitorKeys =
      "OSDFontStyleStrikeOut=0\nOSDMonitor=0\nOSDHideFullScreen=0\n"
      "OSDOnTrackChange=0\nOSDShowVolume=0\nOSDShowArt=0\nOSDOnPlayState=0\nOSDOnVolumeChange=0\n";
  const std::pair<std::string, std::string> cases[] = {
      {"Courier New", monitorKeys + "OSDFontNameUnicode=(deleted)\n"},
      {"\xEF\xBC\xAD\xEF\xBC\xB3", monitorKeys + "OSDFontNameUnicode=\\uFF2D\\uFF33\n"},  // "ＭＳ"
  };
  for (const auto& [name, tail] : cases) {
    Settings settings;
    settings.osdFont.name = name;
    WriteRecorder ini;
    ASSERT_TRUE(WriteAllSettings(ini, settings));
    const std::string text = ini.Text();
    const size_t from = text.find("OSDFontStyleStrikeOut");
    EXPECT_EQ(text.substr(from, text.find("[Track]") - from), tail);
  }
}

// Each flag on alone, all others off: a key written from another flag's field
// shows as a "1" where a "0" belongs.
TEST(SettingsSchema, EachFlagIsWrittenUnderItsOwnKey) {
  struct Case {
    const char* section;
    const char* key;
    void (*turnOn)(Settings&);
  };
  const Case cases[] = {
      {"HotKeys", "Enable", [](Settings& s) { s.hotkeysEnabled = true; }},
      {"Transparency", "EnableActive", [](Settings& s) { s.activeEnabled = true; }},
      {"Transparency", "EnableInactive", [](Settings& s) { s.inactiveEnabled = true; }},
      {"OSD", "Enable", [](Settings& s) { s.osdEnabled = true; }},
      {"OSD", "OSDFontStyleBold", [](Settings& s) { s.osdFont.bold = true; }},
      {"OSD", "OSDFontStyleItalic", [](Settings& s) { s.osdFont.italic = true; }},
      {"OSD", "OSDFontStyleUnderlined", [](Settings& s) { s.osdFont.underline = true; }},
      {"OSD", "OSDFontStyleStrikeOut", [](Settings& s) { s.osdFont.strikeOut = true; }},
      {"OSD", "OSDHideFullScreen", [](Settings& s) { s.osdHideFullScreen = true; }},
      {"OSD", "OSDOnTrackChange", [](Settings& s) { s.osdOnTrackChange = true; }},
      {"OSD", "OSDShowVolume", [](Settings& s) { s.osdShowVolume = true; }},
      {"OSD", "OSDShowArt", [](Settings& s) { s.osdShowArt = true; }},
      {"OSD", "OSDOnPlayState", [](Settings& s) { s.osdOnPlayState = true; }},
      {"OSD", "OSDOnVolumeChange", [](Settings& s) { s.osdOnVolumeChange = true; }},
      {"Track", "PlayOnStart", [](Settings& s) { s.playOnStart = true; }},
      {"Track", "RememberPosition", [](Settings& s) { s.rememberPosition = true; }},
  };
  for (const Case& on : cases) {
    SCOPED_TRACE(on.key);
    Settings s;
    on.turnOn(s);
    WriteRecorder ini;
    ASSERT_TRUE(WriteAllSettings(ini, s));
    const IniText written(ini.Text());
    for (const Case& c : cases) {
      EXPECT_EQ(written.ReadString(c.section, c.key, "<missing>"), &c == &on ? "1" : "0")
          << "[" << c.section << "]" << c.key;
    }
  }
}

TEST(SettingsSchema, StopsAtTheFirstRefusedWrite) {
  const Settings s = UnusualSettings();
  WriteRecorder full;
  ASSERT_TRUE(WriteAllSettings(full, s));
  const int total = static_cast<int>(full.Attempts().size());

  for (int refused : {0, 1, 15, 16, 17, 24, 25, 30, total - 1}) {
    SCOPED_TRACE(refused);
    WriteRecorder ini;
    ini.RefuseAttempt(refused);
    EXPECT_FALSE(WriteAllSettings(ini, s));
    ASSERT_EQ(static_cast<int>(ini.Attempts().size()), refused + 1);
    const Write& last = full.Attempts()[refused];
    EXPECT_EQ(ini.Attempts().back(), last);
    EXPECT_FALSE(ini.Wrote(last.section, last.key));
  }
}

TEST(SettingsSchema, WhatIsWrittenReadsBackTheSame) {
  const Settings written = UnusualSettings();
  WriteRecorder ini;
  ASSERT_TRUE(WriteAllSettings(ini, written));
  ASSERT_TRUE(WritePlaybackPosition(ini, written.playbackPosition));
  ExpectSameSettings(ReadSettings(IniText(ini.Text())), written);
}

TEST(SettingsSchema, PlaybackPositionAndTheMutedLevelAreWritesOfTheirOwn) {
  WriteRecorder ini;
  EXPECT_TRUE(WritePlaybackPosition(ini, -1));
  EXPECT_TRUE(WriteMutedVolume(ini, UnusualSettings()));
  EXPECT_EQ(ini.Attempts(),
            (std::vector<Write>{{"Track", "Position", "-1"}, {"Steps", "MutedVolume", "158"}}));
  WriteRecorder refusing;
  refusing.RefuseAttempt(0);
  EXPECT_FALSE(WritePlaybackPosition(refusing, 5));
}

}  // namespace
}  // namespace klv
