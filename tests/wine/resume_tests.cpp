// Play on start and the remembered position, against the host's request log.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/osd_window.h"
#include "plugin/playback_resume.h"
#include "plugin/plugin_state.h"
#include "tests/wine/test_host.h"
#include "ui/gen_klv_form1.h"

namespace {

// wParam of every request with this code to the main window, in order.
std::vector<WPARAM> RequestArguments(const TestHost& host, int code) {
  std::vector<WPARAM> arguments;
  for (const RecordedMessage& m : host.log) {
    if (m.window == host.main && m.message == WM_USER && m.lParam == code) arguments.push_back(m.wParam);
  }
  return arguments;
}

class PlayOnStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetHostMainWindow(host.main);
    gSettings = klv::Settings{};
    gLastPlaybackPosition = 5000;
    host.ClearLog();
  }
  void TearDown() override {
    DestroyOsdPlatformWindow();
    gSettings = klv::Settings{};
    SetHostMainWindow(nullptr);
  }

  TestHost host;
};

struct StartCase {
  const char* label;
  bool playOnStart;
  bool rememberPosition;
  int shuffle;
  std::vector<int> requests;
};

TEST_F(PlayOnStartTest, StartsAndSeeksAsAsked) {
  const StartCase cases[] = {
      {"off", false, false, 0, {}},
      {"off, remembering", false, true, 1, {}},
      {"on", true, false, 0, {102}},
      {"on, remembering", true, true, 0, {102, 106}},
      {"on, remembering, shuffle on", true, true, 1, {102, 106}},
  };
  for (const StartCase& c : cases) {
    SCOPED_TRACE(c.label);
    gSettings.playOnStart = c.playOnStart;
    gSettings.rememberPosition = c.rememberPosition;
    host.shuffle = c.shuffle;
    host.ClearLog();
    PlayOnStart();
    EXPECT_EQ(host.Requests(), c.requests);
    if (c.rememberPosition && c.playOnStart) {
      EXPECT_EQ(RequestArguments(host, 106), std::vector<WPARAM>{5000});
    }
    EXPECT_EQ(OsdPlatformWindow(), nullptr);
  }
}

TEST_F(PlayOnStartTest, AnnouncesTheTrackWhenTheOsdIsOn) {
  gSettings.playOnStart = true;
  gSettings.osdEnabled = true;
  PrepareOsd();
  host.title = "Intro";
  PlayOnStart();
  const std::vector<int> requests = host.Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.front(), 102);
  ASSERT_NE(OsdPlatformWindow(), nullptr);
  // The start-up text: the quoted title and the time, no prefix.
  EXPECT_EQ(WindowTextOf(OsdPlatformWindow()), "\"Intro\" [1:05/3:07]");
  ReleaseOsd();
}

// The whole start through the DLL: the seek carries the position stored at
// the last quit, and the next quit stores the position the host reached.
TEST(ResumeTest, PositionSurvivesARestart) {
  ResetGlobalAtoms();
  TestInstall install;
  install.WriteIni("[Track]\r\nPlayOnStart=1\r\nRememberPosition=1\r\nPosition=5000\r\n");
  TestHost host;
  host.position = -1;
  {
    LoadedPlugin plugin(host.main);
    host.ClearLog();
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_EQ(RequestArguments(host, 102).size(), 1u);
    EXPECT_EQ(RequestArguments(host, 106), std::vector<WPARAM>{5000});
    host.position = 81000;
    SendMessageA(host.main, WM_NULL, 0, 0);
    plugin.Quit();
  }
  EXPECT_EQ(install.IniValue("Track", "Position"), "81000");
  {
    LoadedPlugin plugin(host.main);
    host.ClearLog();
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_EQ(RequestArguments(host, 106), std::vector<WPARAM>{81000});
    plugin.Quit();
  }
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

// Each start reads where its host and the registry point; "Exit" writes every
// key there, quit the position, and the next start resumes from it. The
// player's own read-only file is never changed.
TEST(ResumeTest, TheSettingsLiveWhereTheHostAndRegistryPoint) {
  TestInstall user, install;  // the host's per-user folder; the player's, read-only
  const std::string old = "[Track]\r\nPlayOnStart=1\r\nRememberPosition=1\r\nPosition=5000\r\n";
  install.WriteIni(old);
  SetFileAttributesA(install.IniPath().c_str(), FILE_ATTRIBUTE_READONLY);
  SetFolderWritable(install.Directory() + "\\Plugins", false);
  RemoveDirectoryA((user.Directory() + "\\Plugins").c_str());
  const std::wstring named = Wide(user.Directory()) + L" \u041f\u043b\u0435\u0435\u0440 \u97f3\u697d";
  CreateDirectoryW(named.c_str(), nullptr);
  CreateDirectoryW((named + L"\\Plugins").c_str(), nullptr);
  struct Case {
    const char* label;
    std::wstring answer, registered, file;
  };
  const Case cases[] = {
      {"per-user folder", Wide(user.Directory()), Wide(install.Directory()), Wide(user.IniPath())},
      {"no answer: the player's file", L"", Wide(install.Directory()), Wide(install.IniPath())},
      {"folder named outside the code page", L"", named, named + L"\\Plugins\\gen_klv.ini"},
      {"per-user folder under a missing parent", Wide(user.Directory()) + L"\\none\\Winamp", named,
       named + L"\\Plugins\\gen_klv.ini"},
      {"per-user folder under a read-only one", Wide(install.Directory()) + L"\\Plugins\\Winamp", named,
       named + L"\\Plugins\\gen_klv.ini"},
      {"per-user path over 300 units", Wide(user.Directory()) + L"\\" + std::wstring(250, L'd'), named,
       named + L"\\Plugins\\gen_klv.ini"},
      {"no answer or entry: beside the DLL", L"", L"", Wide(IniBesideTheDll())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const bool refused = c.file == Wide(install.IniPath());
    if (c.registered != Wide(install.Directory())) {
      WritePrivateProfileSectionW(L"Track", L"PlayOnStart=1\0RememberPosition=1\0Position=5000\0",
                                  c.file.c_str());
    }
    TestInstall::DeleteRegistryKey();
    if (!c.registered.empty()) {
      RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Winamp", nullptr, REG_SZ, c.registered.c_str(),
                      static_cast<DWORD>(c.registered.size() + 1) * 2);
    }
    TestHost host;
    host.settingsFolder = c.answer;
    for (const WPARAM resumed : {WPARAM{5000}, WPARAM{refused ? 5000u : 81000u}}) {
      ResetGlobalAtoms();
      host.ClearLog();
      MessageBoxWatcher boxes;
      {
        LoadedPlugin plugin(host.main);
        ASSERT_EQ(plugin.Init(), 0);
        EXPECT_EQ(RequestArguments(host, 106), std::vector<WPARAM>{resumed});
        SendMessageA(GetDlgItem(plugin.OpenConfigDialog(), form1::kButton1), BM_CLICK, 0, 0);
        host.position = 81000;
        SendMessageA(host.main, WM_NULL, 0, 0);
        plugin.Quit();
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
  RemoveDirectoryW((named + L"\\Plugins").c_str());
  RemoveDirectoryW(named.c_str());
  ResetGlobalAtoms();
}

}  // namespace
