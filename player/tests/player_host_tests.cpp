// The stand-in player driven as the plug-in drives it: a real process,
// requests and commands through SendMessage, titles read from its memory,
// and the lifecycle seen through a probe plug-in and the --log file.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/host_codes.h"
#include "player/stand_in_commands.h"
#include "testkit/player_process.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"

namespace {

// A message to one of the player's windows as its log shows it.
std::string Logged(const char* windowClass, const char* message, unsigned code, WPARAM wParam,
                   LPARAM lParam) {
  char line[128];
  std::snprintf(line, sizeof line, "%s 0x%04x %u %ld %s", windowClass, code, static_cast<unsigned>(wParam),
                static_cast<long>(lParam), message);
  return line;
}

std::string LoggedCommand(WPARAM id) {
  return Logged(klv::kMainWindowClass, "WM_COMMAND", WM_COMMAND, id, 0);
}

// Where the probe plug-in notes the host's calls, and what its init answers (null: 0).
std::string ProbeLogIn(const TestInstall& install, const char* initAnswer = nullptr) {
  const std::string log = install.Directory() + "\\probe.txt";
  DeleteFileA(log.c_str());  // process ids, and so folder names, come round again
  SetEnvironmentVariableA("KLV_PROBE_LOG", log.c_str());
  SetEnvironmentVariableA("KLV_PROBE_INIT", initAnswer);
  return log;
}

// Its playlist's titles; wide titles, and in per-user mode its settings
// folder, as newer players do.
TEST(PlayerHost, HandsOutTitlesAndWideTextsUnlessToldToPlayAnOlderHost) {
  // "Ночной город - Νυχτερινή πόλη": the entry no ANSI code page holds.
  const std::wstring nightCity =
      L"\u041d\u043e\u0447\u043d\u043e\u0439 \u0433\u043e\u0440\u043e\u0434 - "
      L"\u039d\u03c5\u03c7\u03c4\u03b5\u03c1\u03b9\u03bd\u03ae \u03c0\u03cc\u03bb\u03b7";
  {
    TestInstall install;
    PlayerProcess player(install, {PluginSource::kNone, "--no-registry --per-user"});
    ASSERT_NE(player.MainWindow(), nullptr);
    EXPECT_TRUE(IsWindowUnicode(player.MainWindow()));
    std::wstring folder;
    ASSERT_TRUE(player.Answer(klv::kHostSettingsFolder, 0, folder));
    wchar_t appData[MAX_PATH] = L"";
    EXPECT_EQ(folder,
              std::wstring(appData, GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH)) + L"\\Winamp");
    EXPECT_NE(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    std::vector<std::wstring> titles;
    std::wstring title;
    for (WPARAM i = 0; player.Answer(klv::kHostWideTitleAt, i, title); ++i) titles.push_back(title);
    std::vector<std::string> ansiTitles;
    std::string ansi;
    for (WPARAM i = 0; player.Answer(klv::kHostTitleAt, i, ansi); ++i) ansiTitles.push_back(ansi);
    ASSERT_GE(ansiTitles.size(), 3u);
    auto any = [&](auto predicate) { return std::any_of(ansiTitles.begin(), ansiTitles.end(), predicate); };
    EXPECT_TRUE(any([](const std::string& t) { return t.find('&') != std::string::npos; }));
    EXPECT_TRUE(any([](const std::string& t) { return t.find('\xE9') != std::string::npos; }));
    EXPECT_TRUE(any([](const std::string& t) { return t.size() > 255; }));
    EXPECT_EQ(player.Request(klv::kHostTitleAt, ansiTitles.size()), 0);
    EXPECT_EQ(player.Request(klv::kHostTitleAt, static_cast<WPARAM>(-1)), 0);
    ASSERT_EQ(titles.size(), ansiTitles.size());  // every entry has both
    EXPECT_EQ(titles[1], nightCity);
    // The code page cannot hold it.
    EXPECT_EQ(ansiTitles[1].find_first_not_of("?- "), std::string::npos) << ansiTitles[1];
    EXPECT_EQ(ansiTitles[1].size(), nightCity.size());
    EXPECT_NE(std::find(titles.begin(), titles.end(), L"Caf\u00e9 Noir - Le Petit D\u00e9jeuner"),
              titles.end());
    EXPECT_EQ(player.Request(klv::kHostWideTitleAt, titles.size()), 0);
    // A classic skin, and the answer to a request it does not know.
    EXPECT_EQ(player.Request(klv::kHostSkinInfo), 0);
    EXPECT_EQ(player.Request(klv::kHostSkinInfoWide), 0);
    EXPECT_EQ(player.Request(klv::kHostDialogParent), reinterpret_cast<intptr_t>(player.MainWindow()));
    EXPECT_EQ(player.Request(9999), 1);
    EXPECT_TRUE(player.Quit());
  }
  TestInstall install;
  PlayerProcess older(install, {PluginSource::kNone, "--no-registry --no-wide-titles --2x"});
  ASSERT_NE(older.MainWindow(), nullptr);
  EXPECT_FALSE(IsWindowUnicode(older.MainWindow()));  // the 2.x player's 8-bit windows
  char caption[64] = "";
  GetWindowTextA(older.MainWindow(), caption, sizeof caption);
  EXPECT_STREQ(caption, "1. Demo Ensemble - Opening Theme - Winamp");
  EXPECT_EQ(older.Request(klv::kHostWideTitleAt, 0), 0);
  EXPECT_EQ(older.Request(klv::kHostWideTitleAt, 1), 0);
  EXPECT_EQ(older.Request(klv::kHostSettingsFolder), 0);
  EXPECT_EQ(older.Request(klv::kHostSkinInfo), 1);  // no skins, nor dialog parents, to ask for
  EXPECT_EQ(older.Request(klv::kHostDialogParent), 1);
  std::string ansi;
  EXPECT_TRUE(older.Answer(klv::kHostTitleAt, 0, ansi));
  EXPECT_TRUE(older.Quit());
}

TEST(PlayerHost, AnswersRequestsAndCarriesOutCommands) {
  TestInstall install;
  PlayerProcess player(install, PluginSource::kNone);
  ASSERT_NE(player.MainWindow(), nullptr);
  // Its playing state: stopped, playing, paused, and the pause command resumes.
  for (auto [command, state] : {std::pair<WPARAM, int>{0, 0},
                                {klv::kCommandPlay, 1},
                                {klv::kCommandPause, 3},
                                {klv::kCommandPause, 1},
                                {klv::kCommandStop, 0}}) {
    if (command != 0) player.Command(command);
    EXPECT_EQ(player.Request(klv::kHostPlayingState), state) << command;
  }
  EXPECT_EQ(player.Request(klv::kHostPosition, 0), -1);
  EXPECT_GT(player.Request(klv::kHostPosition, 1), 0);
  EXPECT_EQ(player.Request(klv::kHostPlaylistIndex), 0);

  player.Request(klv::kHostStartPlayback);
  Sleep(300);
  EXPECT_GE(player.Request(klv::kHostPosition, 0), 200);
  player.Request(klv::kHostSeek, 60000);
  intptr_t sought = player.Request(klv::kHostPosition, 0);
  EXPECT_GE(sought, 60000);
  EXPECT_LT(sought, 61000);
  player.Command(klv::kCommandForward);
  EXPECT_GE(player.Request(klv::kHostPosition, 0), 65000);
  player.Command(klv::kCommandRewind);
  player.Command(klv::kCommandRewind);
  EXPECT_LT(player.Request(klv::kHostPosition, 0), 61000);

  player.Command(klv::kCommandNext);
  EXPECT_EQ(player.Request(klv::kHostPlaylistIndex), 1);
  EXPECT_LT(player.Request(klv::kHostPosition, 0), 1000);
  player.Command(klv::kCommandPrevious);
  player.Command(klv::kCommandPrevious);
  EXPECT_GT(player.Request(klv::kHostPlaylistIndex), 1);  // previous wraps to the end

  struct Toggle {
    WPARAM command;
    int query;
  };
  for (const Toggle& toggle : {Toggle{klv::kCommandToggleRepeat, klv::kHostRepeatState},
                               Toggle{klv::kCommandToggleShuffle, klv::kHostShuffleState}}) {
    intptr_t before = player.Request(toggle.query);
    player.Command(toggle.command);
    EXPECT_EQ(player.Request(toggle.query), 1 - before) << toggle.command;
    player.Command(toggle.command);
    EXPECT_EQ(player.Request(toggle.query), before) << toggle.command;
  }

  player.Command(klv::kCommandVolumeUp);
  EXPECT_EQ(player.Request(klv::kHostVolume, static_cast<WPARAM>(klv::kHostVolumeQuery)),
            204);  // 200 at start, 4 a step
  player.Command(klv::kCommandPause);
  intptr_t paused = player.Request(klv::kHostPosition, 0);
  Sleep(300);
  EXPECT_EQ(player.Request(klv::kHostPosition, 0), paused);
  player.Command(klv::kCommandStop);
  EXPECT_EQ(player.Request(klv::kHostPosition, 0), -1);
  // To the tray, its main window hidden, and back as a click on the tray icon brings it.
  player.Command(player::kCommandMinimiseToTray);
  EXPECT_FALSE(IsWindowVisible(player.MainWindow()));
  player.Command(player::kCommandRestoreFromTray);
  EXPECT_TRUE(IsWindowVisible(player.MainWindow()));
  EXPECT_TRUE(player.Quit());
}

// What the player told its own main window, in order: "603/<wParam>" for each change notice,
// the code alone for a track start (3003, 13003) and a stop (3043), as its log shows them.
std::string HostNotices(const std::string& log) {
  std::string notices;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    unsigned long wParam = 0;
    long code = 0;
    const std::string format = std::string(klv::kMainWindowClass) + " 0x0400 %lu %ld WM_USER";
    if (std::sscanf(line.c_str(), format.c_str(), &wParam, &code) != 2) continue;
    if (code == klv::kHostChanged) notices += "603/" + std::to_string(wParam) + " ";
    if (code == klv::kHostTrackStarted || code == klv::kHostTrackStartedWide || code == klv::kHostStopped)
      notices += std::to_string(code) + " ";
  }
  return notices;
}

// The 5.x player's notices of each change, as its published source sends and posts them, from
// its commands, the volume request and its own Pause button and slider; the 2.x player has none.
TEST(PlayerHost, TellsItsMainWindowOfEachChangeAsThe5xPlayerDoes) {
  // Posted after a batch of requests: its line ends the notices posted before it.
  constexpr WPARAM kBatchMarker = 49997;
  constexpr WPARAM kMarker = 49998;  // posted last
  const std::pair<const char*, const char*> kinds[] = {
      {"--no-registry",
       "3003 13003 603/0 603/2 603/0 603/2 603/7 603/0 603/2 603/8 603/1 603/1 603/1 603/0 603/2 603/7 "
       "603/1 3043 603/0 603/2 "},
      {"--no-registry --2x", ""}};
  for (const auto& [args, expected] : kinds) {
    SCOPED_TRACE(args);
    TestInstall install;
    PlayerProcess player(install, {PluginSource::kNone, args});
    ASSERT_NE(player.MainWindow(), nullptr);
    const auto volumeQuery = static_cast<WPARAM>(klv::kHostVolumeQuery);
    player.Request(klv::kHostStartPlayback);  // a track starts
    player.Command(klv::kCommandPause);       // pause, resume
    player.Command(klv::kCommandPause);
    player.Command(klv::kCommandVolumeUp);  // the volume by a command, by the request, and to where it is
    player.Request(klv::kHostVolume, 100);
    player.Request(klv::kHostVolume, 100);
    EXPECT_EQ(player.Request(klv::kHostVolume, volumeQuery), 100);
    player.Request(klv::kHostVolume, 300);  // the low byte, as the player takes it
    EXPECT_EQ(player.Request(klv::kHostVolume, volumeQuery), 44);
    // Its own Pause button and volume slider, as a click reports them to the main window.
    HWND pause = FindWindowExA(player.MainWindow(), nullptr, "Button", "Pause");
    HWND slider = FindWindowExA(player.MainWindow(), nullptr, "msctls_trackbar32", nullptr);
    ASSERT_NE(pause, nullptr);
    ASSERT_NE(slider, nullptr);
    SendMessageA(pause, BM_CLICK, 0, 0);
    SendMessageA(slider, TBM_SETPOS, TRUE, 60);
    SendMessageA(player.MainWindow(), WM_HSCROLL, TB_THUMBPOSITION, reinterpret_cast<LPARAM>(slider));
    EXPECT_EQ(player.Request(klv::kHostVolume, volumeQuery), 60);
    // A message sent from another process runs before what waits in the queue, so the stop's
    // 3043 has its place among the notices only once those posted before it are handled.
    std::string log;
    PostMessageA(player.MainWindow(), WM_COMMAND, kBatchMarker, 0);
    ASSERT_TRUE(player.AwaitLog(LoggedCommand(kBatchMarker), log));
    player.Command(klv::kCommandStop);
    PostMessageA(player.MainWindow(), WM_COMMAND, kMarker, 0);
    ASSERT_TRUE(player.AwaitLog(LoggedCommand(kMarker), log));
    EXPECT_EQ(HostNotices(log), expected);
    EXPECT_TRUE(player.Quit());
  }
}

// The 5.x player makes no characters of the keys for its own three windows;
// the 2.x player does for every window.
TEST(PlayerHost, TranslatesKeysForTheWindowsOfItsKind) {
  struct Case {
    const char* args;
    const char* windowClass;
    bool character;
  };
  const Case cases[] = {
      {"--no-registry", klv::kMainWindowClass, false},
      {"--no-registry", klv::kPlaylistWindowClass, false},
      {"--no-registry", "KlvPlayerJump", true},
      {"--no-registry --2x", klv::kMainWindowClass, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.args) + " " + c.windowClass);
    TestInstall install;
    PlayerProcess player(install, {PluginSource::kNone, c.args});
    ASSERT_NE(player.MainWindow(), nullptr);
    player.Command(klv::kCommandJumpToSong);  // opens the jump window
    HWND window = FindWindowA(c.windowClass, nullptr);
    ASSERT_NE(window, nullptr);
    std::string log;
    // A WM_CHAR made of the key is posted before the key's dispatch, so it
    // comes before a WM_NULL posted after that.
    PostMessageA(window, WM_KEYDOWN, 'A', 0x001E0001);
    ASSERT_TRUE(player.AwaitLog(Logged(c.windowClass, "WM_KEYDOWN", WM_KEYDOWN, 'A', 0x001E0001), log));
    PostMessageA(window, WM_NULL, 0, 0);
    ASSERT_TRUE(player.AwaitLog(Logged(c.windowClass, "WM_NULL", WM_NULL, 0, 0), log));
    EXPECT_EQ(log.find(Logged(c.windowClass, "WM_CHAR", WM_CHAR, 'a', 0x001E0001)) != std::string::npos,
              c.character)
        << log;
    EXPECT_TRUE(player.Quit());
  }
}

// A modern skin, at start or by a switch, as the skin engine runs one: its
// windows in front, owned by the main window, the playlist inside one of
// them, the equalizer hidden, the main window unseen on its monitor's bottom
// row; the skin's name and main window answered; the notice posted after a
// switch; and the classic windows given back by a switch to a classic skin.
TEST(PlayerHost, RunsAModernSkinAsTheSkinEngineDoes) {
  struct Case {
    const char* args;
    WPARAM command;  // 0: none
    bool modern;
    BYTE skinAlpha;  // 255: its windows not layered
  };
  const Case cases[] = {
      {"--no-registry --modern --skin-alpha 200", 0, true, 200},
      {"--no-registry", player::kCommandModernSkin, true, 255},
      {"--no-registry --modern", player::kCommandClassicSkin, false, 255},
      {"--no-registry", 0, false, 255},
  };
  auto alphaOf = [](HWND window) {  // 255 when not layered
    BYTE alpha = 255;
    if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED)
      GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr);
    return int{alpha};
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.args) + " " + std::to_string(c.command));
    TestInstall install;
    PlayerProcess player(install, {PluginSource::kNone, c.args});
    HWND main = player.MainWindow();
    ASSERT_NE(main, nullptr);
    if (c.command != 0) player.Command(c.command);
    std::string log;
    EXPECT_EQ(
        player.AwaitLog(Logged(klv::kMainWindowClass, "WM_USER", WM_USER, 0, klv::kHostSkinChanged), log),
        c.command != 0)
        << log;
    HWND skin = FindWindowA(klv::kSkinWindowClass, nullptr);
    HWND container = FindWindowExA(nullptr, skin, klv::kSkinWindowClass, nullptr);
    // Under the skin a child of its container, which FindWindow does not find.
    HWND playlist =
        FindWindowExA(c.modern ? container : nullptr, nullptr, klv::kPlaylistWindowClass, nullptr);
    EXPECT_EQ(FindWindowA(klv::kPlaylistWindowClass, nullptr) == nullptr, c.modern);
    EXPECT_EQ((GetWindowLongA(playlist, GWL_STYLE) & WS_CHILD) != 0, c.modern);
    EXPECT_EQ(GetAncestor(playlist, GA_ROOTOWNER), main);
    EXPECT_TRUE(IsWindowVisible(playlist));
    EXPECT_EQ(IsWindowVisible(FindWindowA(klv::kEqualizerWindowClass, nullptr)) != FALSE, !c.modern);
    EXPECT_EQ(alphaOf(main), c.modern ? 0 : 255);
    EXPECT_EQ(player.Request(klv::kHostSkinInfo) >= 0x10000, c.modern);
    EXPECT_EQ(player.Request(klv::kHostDialogParent), reinterpret_cast<intptr_t>(c.modern ? skin : main));
    RECT place{};
    GetWindowRect(main, &place);
    if (!c.modern) {
      EXPECT_EQ(skin, nullptr);
      EXPECT_EQ(place.top, 40);  // back at its place
      EXPECT_TRUE(player.Quit());
      continue;
    }
    ASSERT_NE(container, nullptr);
    for (HWND window : {skin, container}) {
      EXPECT_EQ(GetWindow(window, GW_OWNER), main);
      EXPECT_TRUE(IsWindowVisible(window));
      EXPECT_EQ(alphaOf(window), c.skinAlpha);
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(skin, MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_EQ(place.left, monitor.rcMonitor.left);
    EXPECT_EQ(place.top, monitor.rcMonitor.bottom - 1);
    std::wstring name;
    EXPECT_TRUE(player.Answer(klv::kHostSkinInfoWide, 0, name));
    EXPECT_EQ(name, L"Stand-in Modern");
    EXPECT_TRUE(player.Quit());
  }
}

TEST(PlayerHost, ExitsByItselfWhenAsked) {
  TestInstall install;
  PlayerProcess player(install, {PluginSource::kNone, "--no-registry --exit-after 1000"});
  ASSERT_NE(player.MainWindow(), nullptr);
  EXPECT_TRUE(player.WaitForExit());
}

// Whether each of the texts, separated by "|", occurs in the log after the one before it.
::testing::AssertionResult InOrder(const std::string& log, const std::string& texts) {
  size_t at = 0;
  for (size_t start = 0, end = 0; start <= texts.size(); start = end + 1) {
    end = std::min(texts.find('|', start), texts.size());
    const std::string text = texts.substr(start, end - start);
    if ((at = log.find(text, at)) == std::string::npos) return ::testing::AssertionFailure() << "no " << text;
  }
  return ::testing::AssertionSuccess();
}

TEST(PlayerHost, RunsThePluginLifecycleInOrder) {
  // The 5.x player inits before it shows its windows and quits (in reverse
  // load order) once they are gone, without unloading; at a log-off with the
  // windows there. The 2.x player shows them first and quits, then unloads,
  // with the windows still there. A plug-in that refuses init is unloaded
  // without quit.
  const std::string destroyed = Logged(klv::kMainWindowClass, "WM_DESTROY", WM_DESTROY, 0, 0);
  struct Case {
    const char* args;
    int probes;
    bool logOff;
    const char* probeInit;  // what the probe's init returns; null: 0
    const char* probeLog;   // null: not compared (two probes share it)
    std::string playerLog;  // in this order
    const char* absent;     // from the player's log
  };
  const Case cases[] = {
      {"--no-registry", 1, false, nullptr,
       "init parent=1 instance=1 shown=0\nconfig\nquit window=0\ndetach\n",
       "init gen_probe.dll returned 0|windows shown|main window closed|" + destroyed +
           "|quit gen_probe.dll|player: exit",
       "player: freed"},
      {"--no-registry --play", 1, false, nullptr,
       "init parent=1 instance=1 shown=0\nplay\nconfig\nquit window=0\ndetach\n",
       "init gen_probe.dll returned 0|" + LoggedCommand(klv::kCommandPlay) + "|windows shown",
       "player: freed"},
      {"--no-registry", 2, false, nullptr, nullptr,
       "init gen_probe.dll returned 0|init gen_second.dll returned 0|" + destroyed +
           "|quit gen_second.dll|quit gen_probe.dll",
       "player: freed"},
      {"--no-registry", 1, true, nullptr, "init parent=1 instance=1 shown=0\nconfig\nquit window=1\ndetach\n",
       "init gen_probe.dll returned 0|windows shown|session ends|quit gen_probe.dll|player: exit",
       "player: freed"},
      // The 2.x player keeps answering once the plug-in is gone.
      {"--no-registry --2x", 1, false, nullptr,
       "init parent=1 instance=1 shown=1\nconfig\nquit window=1\ndetach\n",
       "windows shown|init gen_probe.dll returned 0|quit gen_probe.dll|freed gen_probe.dll|" +
           Logged(klv::kMainWindowClass, "WM_USER", WM_USER, 0, klv::kHostPosition) + "|" + destroyed,
       "still foreign"},
      {"--no-registry", 1, false, "-1", "init parent=1 instance=1 shown=0\ndetach\n",
       "player: unloaded gen_probe.dll", "player: quit gen_probe.dll"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.args << " probes " << c.probes << (c.logOff ? " log-off" : "")
                                    << (c.probeInit != nullptr ? " refusing init" : ""));
    TestInstall install;
    const std::string probeLog = ProbeLogIn(install, c.probeInit);
    // A second plug-in, loaded after the first by its name.
    const std::string second = install.Directory() + "\\Plugins\\gen_second.dll";
    if (c.probes == 2) CopyFileA(EnvPath("KLV_PROBE").c_str(), second.c_str(), FALSE);
    std::string log;
    {
      PlayerProcess player(install, {PluginSource::kProbe, c.args});
      ASSERT_NE(player.MainWindow(), nullptr);
      player.Command(player::kCommandPluginConfig);
      player.Command(49999);  // swallowed by the probe's hook
      player.Command(klv::kCommandNext);
      if (c.logOff) {
        SendMessageA(player.MainWindow(), WM_ENDSESSION, TRUE, 0);
        ASSERT_TRUE(player.WaitForExit());
      } else {
        ASSERT_TRUE(player.Quit());
      }
      log = player.ReadLog();
    }
    DeleteFileA(second.c_str());
    if (c.probeLog != nullptr) {
      EXPECT_EQ(ReadWholeFile(probeLog), c.probeLog);
    }
    DeleteFileA(probeLog.c_str());
    EXPECT_TRUE(InOrder(log, c.playerLog)) << log;
    EXPECT_EQ(log.find(c.absent), std::string::npos) << log;
    EXPECT_EQ(log.find("still foreign"), std::string::npos);
    EXPECT_NE(log.find(LoggedCommand(klv::kCommandNext)), std::string::npos);
    if (c.probeInit == nullptr) {
      EXPECT_EQ(log.find("0x0111 49999"), std::string::npos);
    }
  }
}

// Across runs it remembers the entry; it writes its directory to the
// registry unless told not to.
TEST(PlayerHost, RemembersTheEntryAndWritesItsDirectoryToTheRegistryUnlessTold) {
  const std::string original = TestInstall::RegistryValue();
  TestInstall install;
  TestInstall::SetRegistryValue("C:\\sentinel");
  {
    PlayerProcess first(install, PluginSource::kNone);
    ASSERT_NE(first.MainWindow(), nullptr);
    first.Command(klv::kCommandNext);
    first.Command(klv::kCommandNext);
    ASSERT_TRUE(first.Quit());
  }
  EXPECT_EQ(TestInstall::RegistryValue(), "C:\\sentinel");
  {
    PlayerProcess second(install, {PluginSource::kNone, ""});
    ASSERT_NE(second.MainWindow(), nullptr);
    EXPECT_EQ(second.Request(klv::kHostPlaylistIndex), 2);
    EXPECT_TRUE(second.Quit());
  }
  char full[MAX_PATH];
  GetFullPathNameA(install.Directory().c_str(), MAX_PATH, full, nullptr);
  EXPECT_EQ(TestInstall::RegistryValue(), std::string(full));
  TestInstall::SetRegistryValue(original);
}

}  // namespace
