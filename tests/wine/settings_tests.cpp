// The settings file against the platform's own profile and registry
// functions (where the real DLL finds it: the resume suite).
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/hotkey_actions.h"
#include "core/settings_schema.h"
#include "core/tests/settings_check.h"
#include "plugin/plugin_state.h"
#include "plugin/settings_file.h"
#include "tests/wine/test_host.h"
#include "tests/wine/test_kit.h"

namespace {

const std::string kSuffix = "\\Plugins\\gen_klv.ini";

class SettingsFileTest : public ::testing::Test {
 protected:
  void TearDown() override {
    UseSettingsFile(nullptr);
    gSettings = klv::Settings{};
    for (klv::HotkeyRow& row : gHotkeyTable) row.entry.packed = 0;
  }

  // A reader on the test install's file.
  SettingsFile Ini() const { return SettingsFile(install.IniPath()); }

  TestInstall install;
};

struct IntegerCase {
  const char* raw;
  int32_t expected;
};

// What the profile functions change before the integer rule (the core
// suite's table) applies: blanks and one pair of quotes go, absent keys fall back.
TEST_F(SettingsFileTest, IntegersParseThroughTheProfileFunctions) {
  const std::vector<IntegerCase> cases = {
      {"  42", 42},
      {"42 \t", 42},
      {"\"$1F\"", 31},
  };
  std::string content = "[Test]\r\n";
  for (size_t i = 0; i < cases.size(); ++i) content += "k" + std::to_string(i) + "=" + cases[i].raw + "\r\n";
  install.WriteIni(content);
  const SettingsFile ini = Ini();
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].raw);
    EXPECT_EQ(ini.ReadInteger("Test", "k" + std::to_string(i), 1234), cases[i].expected);
  }
  EXPECT_EQ(ini.ReadInteger("Test", "absent", 1234), 1234);
  EXPECT_EQ(ini.ReadInteger("Absent", "k0", 1234), 1234);
}

TEST_F(SettingsFileTest, TextsAreReadUpTo2047Characters) {
  const std::string longName(3000, 'n');
  install.WriteIni("[OSD]\r\nOSDFontName=" + longName + "\r\n");
  EXPECT_EQ(Ini().ReadString("OSD", "OSDFontName", "Arial"), longName.substr(0, 2047));
}

TEST_F(SettingsFileTest, HotkeysAndHotKeysAreOneSection) {
  install.WriteIni("[HOTKEYS]\r\nEnable=1\r\nnext_hotkey=5242883\r\n");
  klv::Settings read;
  std::array<int32_t, klv::kHotkeyCount> packed{};
  int32_t position = 0;
  klv::ReadSettings(Ini(), read, packed, position);
  EXPECT_TRUE(read.hotkeysEnabled);
  EXPECT_EQ(packed[4], 5242883);  // next_hotkey

  ASSERT_TRUE(OpenSettingsFile());
  gSettings.hotkeysEnabled = true;
  gHotkeyTable[0].entry.packed = 8060936;
  ASSERT_TRUE(SaveSettings());
  std::string text = install.ReadIni();
  CharLowerA(text.data());
  size_t headers = 0;
  for (size_t at = text.find("[hotkeys]"); at != std::string::npos; at = text.find("[hotkeys]", at + 1)) {
    ++headers;
  }
  EXPECT_EQ(headers, 1u) << text;
  EXPECT_EQ(install.IniValue("HotKeys", "prev_hotkey"), "8060936");
  EXPECT_EQ(install.IniValue("Hotkeys", "Enable"), "1");
}

TEST_F(SettingsFileTest, SavedSettingsReadBackUnchanged) {
  ASSERT_TRUE(OpenSettingsFile());
  const klv::Settings saved = settings_check::UnusualSettings();
  gSettings = saved;
  for (klv::HotkeyRow& row : gHotkeyTable) row.entry.packed = (row.position + 1) * 65536 + row.position;
  ASSERT_TRUE(SaveSettings());

  klv::Settings loaded;
  loaded.alphaLevels = {9, 9, 9, 9, 9, 9};
  std::array<int32_t, klv::kHotkeyCount> packed{};
  int32_t position = -7;
  klv::ReadSettings(Ini(), loaded, packed, position);
  settings_check::ExpectSameSettings(loaded, saved);
  for (const klv::HotkeyRow& row : gHotkeyTable) EXPECT_EQ(packed[row.position], row.entry.packed);
  // Position belongs to quit alone.
  EXPECT_EQ(position, 0);
  EXPECT_EQ(install.IniValue("Track", "Position"), "<missing>");
}

TEST_F(SettingsFileTest, ReadOnlyFileReportsTheWriteAndKeepsItsContent) {
  const std::string content = "[Track]\r\nPosition=777\r\n";
  install.WriteIni(content);
  ASSERT_TRUE(SetFileAttributesA(install.IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(OpenSettingsFile());
  gSettings.playOnStart = true;
  EXPECT_FALSE(SaveSettings());
  EXPECT_FALSE(klv::WritePlaybackPosition(*CurrentSettingsFile(), 5));
  EXPECT_EQ(SettingsWriteErrorText(), "Unable to write to " + install.IniPath());
  SetFileAttributesA(install.IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(install.ReadIni(), content);
  // Writable again, the same object writes.
  EXPECT_TRUE(klv::WritePlaybackPosition(*CurrentSettingsFile(), 5));
  EXPECT_EQ(install.IniValue("Track", "Position"), "5");
}

TEST_F(SettingsFileTest, MissingDirectoryReportsTheWriteAndCreatesNothing) {
  const std::string directory = install.Directory() + "\\absent";
  TestInstall::SetRegistryValue(directory);
  ASSERT_TRUE(OpenSettingsFile());
  EXPECT_FALSE(SaveSettings());
  EXPECT_EQ(GetFileAttributesA(directory.c_str()), INVALID_FILE_ATTRIBUTES);
  TestInstall::SetRegistryValue(install.Directory());
}

TEST_F(SettingsFileTest, ErrorTextTakesAPercentInThePathLiterally) {
  const std::string directory = "C:\\100%s %d%%";
  TestInstall::SetRegistryValue(directory);
  ASSERT_TRUE(OpenSettingsFile());
  EXPECT_EQ(SettingsWriteErrorText(), "Unable to write to C:\\100%s %d%%" + kSuffix);
  TestInstall::SetRegistryValue(install.Directory());
}

}  // namespace
