// The settings file against the platform's own profile and registry functions,
// and where the real DLL finds it.
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
#include "ui/gen_klv_form1.h"

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

// Stand-ins for a registry without the value or without its key.
constexpr DWORD kNoValue = 0xFFFFFFFE;
constexpr DWORD kNoKey = 0xFFFFFFFF;

struct RegistryCase {
  const char* label;
  DWORD type;
  std::string data;  // raw bytes as stored
  std::string expectedPath;
  // Through the real DLL: init, "Exit" and quit write there, and nothing shows a box.
  bool throughDll;
  LRESULT folderAnswer = 0;  // to 1335: no address is no per-user folder
};

// A value as read through the profile functions, past their cache.
std::string ValueIn(const std::string& path, const char* section, const char* key) {
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
  char value[64] = {};
  GetPrivateProfileStringA(section, key, "<missing>", value, sizeof(value), path.c_str());
  return value;
}

TEST_F(SettingsFileTest, PathComesFromTheHostKeyWhateverTheValue) {
  const std::string directory = install.Directory();
  std::string wideDirectory;  // a value is read as UTF-16 whatever its type
  for (const char ch : directory) wideDirectory.append({ch, '\0'});
  const DWORD zero = 0;
  // Longer than both 255 characters and the 256-byte buffer; its first 255
  // characters name a file in an existing folder.
  const std::string folder = directory + "\\" + std::string(100, 'a');
  const std::string overLimit = folder + "\\" + std::string(200, 'b');
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string nearLimit = "C:\\" + std::string(247, 'e');  // 250 characters
  const std::string beside = IniBesideTheDll();
  const std::vector<RegistryCase> cases = {
      {"plain", REG_SZ, std::string("C:\\Winamp\0", 10), "C:\\Winamp" + kSuffix, false},
      {"longer than the buffer", REG_SZ, overLimit + '\0', overLimit.substr(0, 255), true},
      {"suffix cut", REG_SZ, nearLimit + '\0', (nearLimit + kSuffix).substr(0, 255), false},
      {"binary without NUL, read as UTF-16", REG_BINARY, wideDirectory, install.IniPath(), true},
      {"expand string taken literally", REG_EXPAND_SZ, std::string("%TEMP%\\W\0", 9), "%TEMP%\\W" + kSuffix,
       false},
      {"expand string", REG_EXPAND_SZ, directory + '\0', install.IniPath(), true, 2},
      {"several strings", REG_MULTI_SZ, directory + '\0' + "C:\\Other" + '\0' + '\0', install.IniPath(), true,
       -1},
      {"cut at the first NUL", REG_SZ, std::string("E:\\A\0junk\0", 10), "E:\\A" + kSuffix, false},
      {"empty string: no folder", REG_SZ, std::string("\0", 1), beside, true},
      {"no bytes at all", REG_SZ, "", beside, true},
      {"a number", REG_DWORD, std::string(reinterpret_cast<const char*>(&zero), sizeof(zero)), beside, true},
      {"no value", kNoValue, "", beside, true},
      {"no key", kNoKey, "", beside, true},
  };
  ResetGlobalAtoms();
  MessageBoxWatcher boxes;
  TestHost host;
  for (const RegistryCase& c : cases) {
    SCOPED_TRACE(c.label);
    if (c.type == kNoValue) {
      TestInstall::DeleteRegistryValue();
    } else if (c.type == kNoKey) {
      TestInstall::DeleteRegistryKey();
    } else {
      TestInstall::SetRegistryValueRaw(c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    }
    if (!c.throughDll) {
      ASSERT_TRUE(OpenSettingsFile());
      EXPECT_EQ(CurrentSettingsFile()->Path(), c.expectedPath);
      UseSettingsFile(nullptr);
      continue;
    }
    host.rawAnswers[1335] = c.folderAnswer;
    {
      LoadedPlugin plugin(host.main);
      ASSERT_EQ(plugin.Init(), 0);
      EXPECT_TRUE(GlobalAtomExists(kInstanceAtom));
      SendMessageA(GetDlgItem(plugin.OpenConfigDialog(), form1::kButton1), BM_CLICK, 0, 0);
      FlushPostedMessages();
      SendMessageA(host.main, WM_NULL, 0, 0);
      plugin.Quit();
      EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
    }
    EXPECT_EQ(ValueIn(c.expectedPath, "Track", "Position"), "65432");
    EXPECT_EQ(ValueIn(c.expectedPath, "OSD", "OSDFontName"), "Arial");
    EXPECT_TRUE(DeleteFileA(c.expectedPath.c_str()));
  }
  EXPECT_TRUE(boxes.Seen().empty());
  EXPECT_TRUE(RemoveDirectoryA(folder.c_str()));
  TestInstall::SetRegistryValue(directory);
  ResetGlobalAtoms();
}

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
