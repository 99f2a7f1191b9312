// The settings file against the platform's own profile and registry
// functions (where the real DLL finds it: the resume suite).
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "core/settings/ini_text.h"
#include "core/settings/settings_schema.h"
#include "core/tests/settings_check.h"
#include "entry/lifecycle.h"
#include "entry/plugin_descriptor.h"
#include "plugin/plugin_state.h"
#include "plugin/settings/settings_file.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"
#include "ui/config_form_holder.h"

namespace {

const std::string kSuffix = "\\Plugins\\gen_klv.ini";

class SettingsFileTest : public ::testing::Test {
 protected:
  void TearDown() override {
    UseSettingsFile(nullptr);
    gSettings = klv::Settings{};
  }

  // A reader on the test install's file.
  SettingsFile Ini() const { return SettingsFile(install.IniPath()); }

  TestInstall install;
};

struct ReadCase {
  const char* lines;  // of the section [T], and any after it
  const char* key;
  const char* expected;
};

// What the profile functions make of a value before the settings' own rules
// (the core suite's tables) apply; init's snapshot of the file reads alike.
TEST_F(SettingsFileTest, SnapshotReadsAsTheProfileFunctions) {
  const std::vector<ReadCase> cases = {
      {"k=  42", "k", "42"},
      {"k=42 \t", "k", "42"},
      {"k=\"$1F\"", "k", "$1F"},
      {"k='a b'", "k", "a b"},
      {"k=\" x \"", "k", " x "},  // the blanks go first, then the quotes
      {"k=\"a'", "k", "\"a'"},
      {"k=\"", "k", "\""},
      {"k=", "k", ""},
      {"  K  =  v  ", "k", "v"},
      {"k=1\r\nk=2", "k", "1"},
      {"k\r\nk=2", "k", "(absent)"},  // the first of the name decides
      {";k=1\r\nkk=1", "k", "(absent)"},
      {"x=1\r\n[T]\r\nk=2", "k", "(absent)"},  // only the first [T] counts
  };
  for (const ReadCase& row : cases) {
    SCOPED_TRACE(row.lines);
    install.WriteIni(std::string("[T]\r\n") + row.lines + "\r\n");
    const SettingsFile ini = Ini();
    const SettingsSnapshot snapshot(ini);
    EXPECT_EQ(ini.ReadString("t", row.key, "(absent)"), row.expected);
    EXPECT_EQ(snapshot.ReadString("t", row.key, "(absent)"), row.expected);
    EXPECT_EQ(snapshot.ReadString("Absent", row.key, "(absent)"), "(absent)");
  }
}

// A section too large to list in one go is read key by key.
TEST_F(SettingsFileTest, TextsAreReadUpTo2047Characters) {
  const std::string longName(3000, 'n');
  install.WriteIni("[OSD]\r\nOSDFontName=" + longName + "\r\n[Track]\r\npad=" + std::string(1100000, 'p') +
                   "\r\nPosition=" + longName + "\r\n");
  const SettingsFile ini = Ini();
  const SettingsSnapshot snapshot(ini);
  EXPECT_EQ(ini.ReadString("OSD", "OSDFontName", "Arial"), longName.substr(0, 2047));
  EXPECT_EQ(snapshot.ReadString("OSD", "OSDFontName", "Arial"), longName.substr(0, 2047));
  EXPECT_EQ(snapshot.ReadString("Track", "Position", "0"), longName.substr(0, 2047));
}

TEST_F(SettingsFileTest, HotkeysAndHotKeysAreOneSection) {
  install.WriteIni("[HOTKEYS]\r\nEnable=1\r\nnext_hotkey=5242883\r\n");
  const klv::Settings read = klv::ReadSettings(Ini());
  EXPECT_TRUE(read.hotkeysEnabled);
  EXPECT_EQ(read.hotkeys[4], 5242883);  // next_hotkey

  ASSERT_TRUE(OpenSettingsFile());
  gSettings.hotkeysEnabled = true;
  gSettings.hotkeys[0] = 8060936;
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
  klv::Settings saved = settings_check::UnusualSettings();
  for (int i = 0; i < klv::kHotkeyCount; ++i) saved.hotkeys[i] = (i + 1) * 65536 + i;
  gSettings = saved;
  ASSERT_TRUE(SaveSettings());

  // Position belongs to quit alone.
  saved.playbackPosition = 0;
  settings_check::ExpectSameSettings(klv::ReadSettings(Ini()), saved);
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

// Init of the plug-in linked in, on a host of this process. Config then opens
// the dialog, and quit closes it.
class FreshFileTest : public DllTest {
 protected:
  MessageBoxWatcher boxes;
  TestHost host;
};

TEST_F(FreshFileTest, GivesEveryDefaultAndConfigOpensTheDialog) {
  // Leftovers of an earlier run that init must overwrite with the defaults an empty file reads as.
  gSettings = settings_check::UnusualSettings();
  gSettings.hotkeys.fill(99);
  host.position = -1;
  gPlugin.hwndParent = host.main;

  ASSERT_EQ(PluginInit(), 0);
  settings_check::ExpectSameSettings(gSettings, klv::ReadSettings(klv::IniText("")));
  EXPECT_FALSE(GlobalAtomExists("prev_hotkey"));
  PluginConfig();
  EXPECT_NE(ConfigDialogWindow(), nullptr);
  PluginQuit();
  EXPECT_EQ(ConfigDialogWindow(), nullptr);
  EXPECT_EQ(install.IniValue("Track", "Position"), "0");
  EXPECT_EQ(CurrentSettingsFile(), nullptr);
  gPlugin.hwndParent = nullptr;
}

}  // namespace
