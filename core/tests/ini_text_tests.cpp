#include <gtest/gtest.h>

#include <array>
#include <string>

#include "core/hotkeys/hotkey_actions.h"
#include "core/settings/ini_text.h"
#include "core/settings/settings_schema.h"

namespace klv {
namespace {

constexpr const char* kAbsent = "<absent>";

struct LookupCase {
  const char* name;
  std::string text;
  const char* section;
  const char* key;
  const char* expected;
};

TEST(IniText, FindsValuesByTheProfileFunctionsRules) {
  const LookupCase cases[] = {
      {"plain", "[OSD]\nEnable=1\n", "OSD", "Enable", "1"},
      {"section case", "[osd]\nEnable=1\n", "OSD", "Enable", "1"},
      {"key case", "[OSD]\nENABLE=1\n", "OSD", "enable", "1"},
      {"CRLF", "[OSD]\r\nOSDFontName=Tahoma\r\n", "OSD", "OSDFontName", "Tahoma"},
      {"last line without LF", "[OSD]\nOSDFontName=Tahoma", "OSD", "OSDFontName", "Tahoma"},
      {"CR only file", "[OSD]\rOSDFontName=Tahoma\r", "OSD", "OSDFontName", "Tahoma"},
      {"blanks around key and value", "[OSD]\n \t OSDFontName \t=\t Courier New \t\n", "OSD", "OSDFontName",
       "Courier New"},
      {"blanks around header", "  [OSD]  \nEnable=1\n", "OSD", "Enable", "1"},
      {"requested names trimmed", "[OSD]\nEnable=1\n", " OSD ", " Enable ", "1"},
      {"blanks inside brackets kept", "[ OSD ]\nEnable=1\n", "OSD", "Enable", kAbsent},
      {"text after bracket ignored", "[OSD] ; display\nEnable=1\n", "OSD", "Enable", "1"},
      {"last bracket closes", "[a]b]\nk=v\n", "a]b", "k", "v"},
      {"double quotes removed", "[OSD]\nOSDFontName=\"  Arial \"\n", "OSD", "OSDFontName", "  Arial "},
      {"single quotes removed", "[OSD]\nOSDFontName='Arial'\n", "OSD", "OSDFontName", "Arial"},
      {"empty quotes", "[OSD]\nOSDFontName=\"\"\n", "OSD", "OSDFontName", ""},
      {"mismatched quotes kept", "[OSD]\nOSDFontName=\"Arial'\n", "OSD", "OSDFontName", "\"Arial'"},
      {"lone quote kept", "[OSD]\nOSDFontName=\"\n", "OSD", "OSDFontName", "\""},
      {"only one pair removed", "[OSD]\nOSDFontName=\"\"x\"\"\n", "OSD", "OSDFontName", "\"x\""},
      {"inner equals belongs to value", "[S]\nk=a=b\n", "S", "k", "a=b"},
      {"empty value", "[S]\nk=\n", "S", "k", ""},
      {"line without equals ignored", "[S]\nk\nk=2\n", "S", "k", "2"},
      {"first key wins", "[S]\nk=1\nK=2\n", "S", "k", "1"},
      {"first section wins", "[Hotkeys]\nEnable=1\n[HotKeys]\nprev_hotkey=5\n", "HotKeys", "prev_hotkey",
       kAbsent},
      {"later section of other name", "[A]\nk=1\n[B]\nk=2\n", "B", "k", "2"},
      {"key in other section", "[A]\nk=1\n", "B", "k", kAbsent},
      {"keys before any header", "k=1\n[A]\n", "A", "k", kAbsent},
      {"header without bracket is a line", "[A]\n[B=1\n", "A", "[B", "1"},
      {"NUL ends a value", std::string("[S]\nk=12\0 34\n", 12), "S", "k", "12"},
      {"NUL ends a key", std::string("[S]\nk\0x=5\n", 9), "S", "k", "5"},
      {"UTF-8 mark skipped", "\xEF\xBB\xBF[S]\nk=1\n", "S", "k", "1"},
      {"DOS end-of-file is a blank", "[S]\nk=1\x1a\n", "S", "k", "1"},
      {"empty file", "", "S", "k", kAbsent},
  };
  for (const LookupCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IniText(c.text).ReadString(c.section, c.key, kAbsent), c.expected);
  }
}

TEST(IniText, CutsValuesAndFallbacksTo2047Characters) {
  const std::string longText(3000, 'x');
  const IniText ini("[S]\nk=" + longText + "\nq=\"" + longText + "\"\n");
  EXPECT_EQ(ini.ReadString("S", "k", ""), longText.substr(0, kMaxIniText));
  EXPECT_EQ(ini.ReadString("S", "q", ""), longText.substr(0, kMaxIniText));
  EXPECT_EQ(ini.ReadString("S", "missing", longText), longText.substr(0, kMaxIniText));
}

TEST(IniText, FeedsTheSettingsReads) {
  const IniText ini(
      "[Hotkeys]\r\nEnable=1\r\n"
      "[HotKeys]\r\nnext_hotkey=999\r\n"  // hidden behind the first spelling
      "[Transparency]\r\nEnableActive=1\r\nWinAMP_active=300\r\nPlaylist_inactive=$80\r\n"
      "[OSD]\r\nEnable=1\r\nOSDPosition=263\r\nOSDFontName=\"Courier New\"\r\nOSDFontStyleBold=x\r\n"
      "[Track]\r\nRememberPosition=1\r\nPosition=123456\r\n");
  const Settings settings = ReadSettings(ini);
  EXPECT_TRUE(settings.hotkeysEnabled);
  EXPECT_EQ(settings.hotkeys[4], 0);  // next_hotkey

  EXPECT_TRUE(settings.activeEnabled);
  EXPECT_FALSE(settings.inactiveEnabled);
  EXPECT_EQ(settings.alphaLevels, (AlphaLevels{44, 255, 255, 255, 128, 255}));

  EXPECT_TRUE(settings.osdEnabled);
  EXPECT_EQ(settings.osdPosition, 7);
  EXPECT_EQ(settings.osdFont.name, "Courier New");
  EXPECT_FALSE(settings.osdFont.bold);

  EXPECT_TRUE(settings.rememberPosition);
  EXPECT_EQ(settings.playbackPosition, 123456);
}

TEST(IniText, ReadsPackedHotkeysFromTheOneSectionUnderBothSpellings) {
  const IniText ini("[hotkeys]\nENABLE=1\nprev_hotkey=5242883\nStop_After_Current_Hotkey=0x00500002\n");
  const Settings settings = ReadSettings(ini);
  EXPECT_TRUE(settings.hotkeysEnabled);
  EXPECT_EQ(settings.hotkeys[0], 5242883);
  EXPECT_EQ(settings.hotkeys[14], 0x00500002);
  EXPECT_EQ(settings.hotkeys[1], 0);
}

}  // namespace
}  // namespace klv
