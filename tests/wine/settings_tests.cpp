// The settings file against the platform's own profile and registry functions.
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

namespace {

const std::string kSuffix = "\\Plugins\\gen_klv.ini";

class SettingsFileTest : public ::testing::Test {
 protected:
  void TearDown() override {
    UseSettingsFile(nullptr);
    gSettings = klv::Settings{};
    for (klv::keystype& entry : gHotkeyTable) entry.packed = 0;
  }

  // A reader on the test install's file.
  SettingsFile Ini() const { return SettingsFile(install.IniPath()); }

  TestInstall install;
};

// gen_klv.ini beside this program, which links the plug-in's code in.
std::string FileBesideTheModule() {
  char name[MAX_PATH] = "";
  const std::string path(name, GetModuleFileNameA(nullptr, name, MAX_PATH));
  return path.substr(0, path.rfind('\\') + 1) + "gen_klv.ini";
}

struct RegistryCase {
  const char* label;
  DWORD type;
  std::string data;  // raw bytes as stored
  std::string expectedPath;
};

TEST_F(SettingsFileTest, PathComesFromTheHostKeyWhateverTheValue) {
  const std::string longDirectory = "C:\\" + std::string(296, 'd');  // 300 bytes with its NUL
  const std::string nearLimit = "C:\\" + std::string(247, 'e');      // 250 characters
  const std::string beside = FileBesideTheModule();
  const std::vector<RegistryCase> cases = {
      {"plain", REG_SZ, std::string("C:\\Winamp\0", 10), "C:\\Winamp" + kSuffix},
      {"longer than the buffer", REG_SZ, longDirectory + '\0', longDirectory.substr(0, 255)},
      {"suffix cut", REG_SZ, nearLimit + '\0', (nearLimit + kSuffix).substr(0, 255)},
      {"binary without NUL, read as UTF-16", REG_BINARY, std::string("D\0:\0\\\0B\0i\0n\0", 12),
       "D:\\Bin" + kSuffix},
      {"expand string taken literally", REG_EXPAND_SZ, std::string("%TEMP%\\W\0", 9), "%TEMP%\\W" + kSuffix},
      {"empty string: no folder", REG_SZ, std::string("\0", 1), beside},
      {"no bytes at all", REG_SZ, "", beside},
      {"cut at the first NUL", REG_SZ, std::string("E:\\A\0junk\0", 10), "E:\\A" + kSuffix},
  };
  for (const RegistryCase& c : cases) {
    SCOPED_TRACE(c.label);
    TestInstall::SetRegistryValueRaw(c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    ASSERT_TRUE(OpenSettingsFile());
    ASSERT_NE(CurrentSettingsFile(), nullptr);
    EXPECT_EQ(CurrentSettingsFile()->Path(), c.expectedPath);
    UseSettingsFile(nullptr);
  }
  TestInstall::SetRegistryValue(install.Directory());
  ASSERT_TRUE(OpenSettingsFile());
  EXPECT_EQ(CurrentSettingsFile()->Path(), install.IniPath());
}

struct IntegerCase {
  const char* raw;
  int32_t expected;
};

TEST_F(SettingsFileTest, IntegersParseThroughTheProfileFunctions) {
  const std::vector<IntegerCase> cases = {
      {"42", 42},
      {"  42", 42},
      {"+7", 7},
      {"-5", -5},
      {"0x1F", 31},
      {"0X1f", 31},
      {"$1F", 31},
      {"$FFFFFFFF", -1},
      {"abc", 1234},
      {"12abc", 1234},
      {"", 1234},
      {"0x", 1234},
      {"$", 1234},
      {"- 5", 1234},
      {"99999999999", 1234},
      {"-2147483648", INT32_MIN},
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

TEST_F(SettingsFileTest, EightBitFieldsKeepTheLowByte) {
  install.WriteIni(
      "[Transparency]\r\nEnableActive=1\r\nWinAMP_active=300\r\nPlaylist_inactive=$80\r\n"
      "[OSD]\r\nOSDPosition=263\r\nOSDDisplayTime=0x10\r\nOSDFontName=Courier New\r\n");
  const SettingsFile ini = Ini();
  klv::Settings settings;
  int32_t position = 0;
  klv::ReadSettings(ini, settings, position);
  EXPECT_TRUE(settings.activeEnabled);
  EXPECT_EQ(settings.alphaLevels[klv::kMainActive], 44);
  EXPECT_EQ(settings.alphaLevels[klv::kPlaylistInactive], 128);
  EXPECT_EQ(settings.alphaLevels[klv::kEqualizerActive], 255);
  EXPECT_EQ(settings.osdPosition, 7);
  EXPECT_EQ(settings.osdDisplayTime, 16);
  EXPECT_EQ(settings.osdFont.name, "Courier New");
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
  HotkeyEntry(1).packed = 8060936;
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
  for (int n = 1; n <= klv::kHotkeyCount; ++n) HotkeyEntry(n).packed = n * 65536 + (n % 16);
  ASSERT_TRUE(SaveSettings());

  klv::Settings loaded;
  loaded.alphaLevels = {9, 9, 9, 9, 9, 9};
  std::array<int32_t, klv::kHotkeyCount> packed{};
  int32_t position = -7;
  klv::ReadSettings(Ini(), loaded, packed, position);
  settings_check::ExpectSameSettings(loaded, saved);
  for (int n = 1; n <= klv::kHotkeyCount; ++n) EXPECT_EQ(packed[n - 1], n * 65536 + (n % 16));
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
