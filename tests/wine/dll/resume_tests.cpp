// The remembered position and where the settings file lives, through the real DLL.
#include <windows.h>
#include <sddl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/host_codes.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"
#include "ui/config_dialog_ids.h"

namespace {

// The whole start through the DLL: the seek carries the position stored at
// the last quit, and the next quit stores the position the host reached. A
// player closed while muted is given its level back by Mute after the next
// start, and that quit stores that it is muted no more.
TEST(ResumeTest, PositionAndMuteSurviveARestart) {
  ResetGlobalAtoms();
  TestInstall install;
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nmute_hotkey=" + std::to_string(kCtrlAltP) +
                   "\r\n[Track]\r\nPlayOnStart=1\r\nRememberPosition=1\r\nPosition=5000\r\n");
  TestHost host;
  host.position = -1;
  {
    LoadedPlugin plugin(host.main);
    host.ClearLog();
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_EQ(host.RequestArguments(klv::kHostStartPlayback).size(), 1u);
    EXPECT_EQ(host.RequestArguments(klv::kHostSeek), std::vector<WPARAM>{5000});
    host.position = 81000;
    ASSERT_TRUE(host.PressHotkey(kCtrlAltP));
    EXPECT_EQ(host.volume, 0);
    plugin.Quit();
  }
  EXPECT_EQ(install.IniValue("Track", "Position"), "81000");
  EXPECT_EQ(install.IniValue("Steps", "MutedVolume"), "158");
  {
    LoadedPlugin plugin(host.main);
    host.ClearLog();
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_EQ(host.RequestArguments(klv::kHostSeek), std::vector<WPARAM>{81000});
    ASSERT_TRUE(host.PressHotkey(kCtrlAltP));
    EXPECT_EQ(host.volume, 158);
    plugin.Quit();
  }
  EXPECT_EQ(install.IniValue("Steps", "MutedVolume"), "0");
  ResetGlobalAtoms();
}

// Mode 555 under Wine, as Program Files is for a standard user; 777 again when writable.
void SetFolderWritable(const std::string& folder, bool writable) {
  PSECURITY_DESCRIPTOR dacl = nullptr;
  ConvertStringSecurityDescriptorToSecurityDescriptorA(writable ? "D:P(A;;GA;;;WD)" : "D:P(A;;GRGX;;;WD)",
                                                       SDDL_REVISION_1, &dacl, nullptr);
  SetFileSecurityA(folder.c_str(), DACL_SECURITY_INFORMATION, dacl);
  LocalFree(dacl);
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }
// A string value as stored: its text and the NUL.
std::wstring Sz(const std::wstring& text) { return text + L'\0'; }

// Stand-ins for a registry without the value or without its key.
constexpr DWORD kNoValue = 0xFFFFFFFE;
constexpr DWORD kNoKey = 0xFFFFFFFF;

// Each start reads where its host and the registry point: the registry's
// value read as UTF-16 whatever its type, up to its first NUL, cut at 255
// units. "Exit" writes every key there, quit the position,
// the next start resumes from it, and nothing shows a box unless the file is
// the player's own read-only one, which is never changed.
TEST(ResumeTest, TheSettingsLiveWhereTheHostAndRegistryPoint) {
  // The host's per-user folder; the player's, read-only; one the registry names.
  TestInstall user, install, named;
  const std::string old = "[Track]\r\nPlayOnStart=1\r\nRememberPosition=1\r\nPosition=5000\r\n";
  install.WriteIni(old);
  SetFileAttributesA(install.IniPath().c_str(), FILE_ATTRIBUTE_READONLY);
  SetFolderWritable(install.Directory() + "\\Plugins", false);
  RemoveDirectoryA((user.Directory() + "\\Plugins").c_str());
  const std::wstring suffix = L"\\Plugins\\gen_klv.ini";
  const std::wstring foreign = Wide(user.Directory()) + L" \u041f\u043b\u0435\u0435\u0440 \u97f3\u697d";
  CreateDirectoryW(foreign.c_str(), nullptr);
  CreateDirectoryW((foreign + L"\\Plugins").c_str(), nullptr);
  const std::wstring directory = Wide(named.Directory());
  // Longer than both 255 characters and the 256-byte buffer; its first 255
  // characters name a file in an existing folder.
  const std::wstring folder = directory + L"\\" + std::wstring(100, L'a');
  const std::wstring overLimit = folder + L"\\" + std::wstring(200, L'b');
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring nearLimit = L"C:\\" + std::wstring(247, L'e');  // 250 characters
  const std::wstring beside = Wide(IniBesideTheDll());
  struct Case {
    const char* label;
    std::wstring answer;  // the host's per-user folder, empty for none
    DWORD type;
    std::wstring value;  // the registry value's bytes, as UTF-16 units
    std::wstring file;
    bool inAFolder = true;  // else no folder holds it, and "Exit" names the file it cannot write
    LRESULT rawAnswer = 0;  // to 1335 instead, when not 0: no address is no folder
  };
  const Case cases[] = {
      {"per-user folder", Wide(user.Directory()), REG_SZ, Sz(Wide(install.Directory())),
       Wide(user.IniPath())},
      {"no answer: the player's file", L"", REG_SZ, Sz(Wide(install.Directory())), Wide(install.IniPath())},
      {"folder named outside the code page", L"", REG_SZ, Sz(foreign), foreign + suffix},
      {"per-user folder under a missing parent", Wide(user.Directory()) + L"\\none\\Winamp", REG_SZ,
       Sz(foreign), foreign + suffix},
      {"per-user folder under a read-only one", Wide(install.Directory()) + L"\\Plugins\\Winamp", REG_SZ,
       Sz(foreign), foreign + suffix},
      {"per-user path over 300 units", Wide(user.Directory()) + L"\\" + std::wstring(250, L'd'), REG_SZ,
       Sz(foreign), foreign + suffix},
      {"per-user path of exactly 260 units",
       Wide(user.Directory()) + L"\\" + std::wstring(239 - user.Directory().size(), L'd'), REG_SZ,
       Sz(foreign), foreign + suffix},
      {"plain", L"", REG_SZ, Sz(L"C:\\Winamp"), L"C:\\Winamp" + suffix, false},
      {"longer than the buffer", L"", REG_SZ, Sz(overLimit), overLimit.substr(0, 255)},
      {"suffix cut", L"", REG_SZ, Sz(nearLimit), (nearLimit + suffix).substr(0, 255), false},
      {"binary without NUL", L"", REG_BINARY, directory, Wide(named.IniPath())},
      {"expand string taken literally", L"", REG_EXPAND_SZ, Sz(L"%TEMP%\\W"), L"%TEMP%\\W" + suffix, false},
      {"expand string", L"", REG_EXPAND_SZ, Sz(directory), Wide(named.IniPath()), true, 2},
      {"several strings", L"", REG_MULTI_SZ, Sz(directory) + Sz(L"C:\\Other") + L'\0', Wide(named.IniPath()),
       true, -1},
      {"cut at the first NUL", L"", REG_SZ, std::wstring(L"E:\\A\0junk\0", 10), L"E:\\A" + suffix, false},
      {"empty string: no folder", L"", REG_SZ, Sz(L""), beside},
      {"no bytes at all", L"", REG_SZ, L"", beside},
      {"a number", L"", REG_DWORD, std::wstring(2, L'\0'), beside},
      {"no value", L"", kNoValue, L"", beside},
      {"no answer or key: beside the DLL", L"", kNoKey, L"", beside},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TestInstall::DeleteRegistryKey();
    if (c.type != kNoKey) {
      RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Winamp", nullptr, c.type == kNoValue ? REG_SZ : c.type,
                      c.value.data(), static_cast<DWORD>(c.value.size() * sizeof(wchar_t)));
    }
    if (c.type == kNoValue) TestInstall::DeleteRegistryValue();
    if (!c.inAFolder) {
      TestHost host;
      MessageBoxWatcher boxes;
      LoadedPlugin plugin(host.main);
      ASSERT_EQ(plugin.Init(), 0);
      SendMessageA(GetDlgItem(plugin.OpenConfigDialog(), form1::kExitButton), BM_CLICK, 0, 0);
      EXPECT_TRUE(OneErrorBox(boxes.SeenAfterPump(),
                              "Unable to write to " + std::string(c.file.begin(), c.file.end()) + ".",
                              "gen_klv"));
      plugin.Quit();
      continue;
    }
    const bool refused = c.file == Wide(install.IniPath());
    // A per-user file starts from the player's one; any other from its own.
    if (c.value != Sz(Wide(install.Directory()))) {
      WritePrivateProfileSectionW(L"Track", L"PlayOnStart=1\0RememberPosition=1\0Position=5000\0",
                                  c.file.c_str());
    }
    TestHost host;
    host.settingsFolder = c.answer;
    if (c.rawAnswer != 0) host.rawAnswers[klv::kHostSettingsFolder] = c.rawAnswer;
    for (const WPARAM resumed : {WPARAM{5000}, WPARAM{refused ? 5000u : 81000u}}) {
      ResetGlobalAtoms();
      host.ClearLog();
      MessageBoxWatcher boxes;
      {
        LoadedPlugin plugin(host.main);
        ASSERT_EQ(plugin.Init(), 0);
        EXPECT_TRUE(GlobalAtomExists(kInstanceAtom));
        EXPECT_EQ(host.RequestArguments(klv::kHostSeek), std::vector<WPARAM>{resumed});
        SendMessageA(GetDlgItem(plugin.OpenConfigDialog(), form1::kExitButton), BM_CLICK, 0, 0);
        host.position = 81000;
        SendMessageA(host.main, WM_NULL, 0, 0);
        plugin.Quit();
        EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
      }
      EXPECT_EQ(boxes.Seen().size(), refused ? 1u : 0u);
      for (const SeenMessageBox& box : boxes.Seen())
        EXPECT_EQ(box.text, "Unable to write to " + install.IniPath() + ".");
    }
    wchar_t alpha[8] = L"";
    GetPrivateProfileStringW(L"Transparency", L"WinAMP_active", L"", alpha, 8, c.file.c_str());
    EXPECT_STREQ(alpha, refused ? L"" : L"255");
    EXPECT_EQ(install.ReadIni(), old);
    if (!refused) DeleteFileW(c.file.c_str());
  }
  SetFolderWritable(install.Directory() + "\\Plugins", true);
  RemoveDirectoryW((foreign + L"\\Plugins").c_str());
  RemoveDirectoryW(foreign.c_str());
  EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
  ResetGlobalAtoms();
}

}  // namespace
