// The stand-in player driven as the plug-in drives it: a real process,
// requests and commands through SendMessage, titles read from its memory,
// and the lifecycle seen through a probe plug-in and the --log file.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char kMainClass[] = "Winamp v1.x";

std::string EnvPath(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// A fresh install directory: player.exe and, when asked, Plugins\gen_probe.dll.
class Install {
 public:
  explicit Install(bool withProbe) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir_ = std::string(temp) + "klv_player_" + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(++count_);
    CreateDirectoryA(dir_.c_str(), nullptr);
    CreateDirectoryA((dir_ + "\\Plugins").c_str(), nullptr);
    CopyFileA(EnvPath("KLV_PLAYER").c_str(), (dir_ + "\\player.exe").c_str(), FALSE);
    if (withProbe)
      CopyFileA(EnvPath("KLV_PROBE").c_str(), (dir_ + "\\Plugins\\gen_probe.dll").c_str(), FALSE);
    SetEnvironmentVariableA("KLV_PROBE_LOG", ProbeLog().c_str());
    SetEnvironmentVariableA("KLV_PROBE_INIT", nullptr);
    RemoveLeftovers();  // process ids, and so directory names, come round again
  }
  ~Install() {
    RemoveLeftovers();
    DeleteFileA((dir_ + "\\player.exe").c_str());
    DeleteFileA((dir_ + "\\Plugins\\gen_probe.dll").c_str());
    RemoveDirectoryA((dir_ + "\\Plugins").c_str());
    RemoveDirectoryA(dir_.c_str());
  }
  Install(const Install&) = delete;
  Install& operator=(const Install&) = delete;
  const std::string& Dir() const { return dir_; }
  std::string Log() const { return dir_ + "\\player.log"; }
  std::string ProbeLog() const { return dir_ + "\\probe.txt"; }
  // Whether the player's log holds `line` within 5 s; the log as last read.
  bool AwaitLog(const std::string& line, std::string& log) const {
    for (int i = 0; i < 100 && (log = ReadFile(Log())).find(line) == std::string::npos; ++i) Sleep(50);
    return log.find(line) != std::string::npos;
  }

 private:
  void RemoveLeftovers() const {
    for (const std::string& file : {Log(), ProbeLog(), dir_ + "\\player.ini"}) DeleteFileA(file.c_str());
  }

  static inline int count_ = 0;
  std::string dir_;
};

class PlayerRun {
 public:
  PlayerRun(const Install& install, const std::string& extraArgs = "--no-registry") {
    std::string command =
        "\"" + install.Dir() + "\\player.exe\" --log \"" + install.Log() + "\" " + extraArgs;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, install.Dir().c_str(),
                        &startup, &process_)) {
      return;
    }
    // Until it shows its windows: the 5.x player does once its plug-ins are running.
    for (int i = 0; i < 200 && (window_ == nullptr || !IsWindowVisible(window_)); ++i) {
      window_ = FindWindowA(kMainClass, nullptr);
      Sleep(50);
    }
  }
  ~PlayerRun() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 9);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
  HWND Window() const { return window_; }
  intptr_t Request(int code, WPARAM wParam = 0) const {
    return static_cast<intptr_t>(SendMessageA(window_, WM_USER, wParam, code));
  }
  void Command(WPARAM id) const { SendMessageA(window_, WM_COMMAND, id, 0); }
  // Title of entry `index` as the host hands it out, read from its memory.
  bool Title(int index, std::string& title) const { return Answer(212, index, title); }
  // Wide title of entry `index` as the host hands it out (request 213); false
  // when it answers 0.
  bool WideTitle(int index, std::wstring& title) const { return Answer(213, index, title); }
  // The text, 8-bit or UTF-16, a request's answer points to in the player's memory.
  template <typename Char>
  bool Answer(int code, int wParam, std::basic_string<Char>& text) const {
    const intptr_t address = Request(code, static_cast<WPARAM>(wParam));
    if (address == 0) return false;
    text.clear();
    for (Char unit = 0;; text += unit) {
      SIZE_T read = 0;
      if (!ReadProcessMemory(process_.hProcess,
                             reinterpret_cast<const void*>(address + text.size() * sizeof unit), &unit,
                             sizeof unit, &read) ||
          read != sizeof unit) {
        return false;
      }
      if (unit == 0) return true;
    }
  }
  // Closes through the player's own "quit" command; true when it ended with 0.
  bool Quit() const {
    PostMessageA(window_, WM_COMMAND, 41001, 0);
    return WaitForExit();
  }
  bool WaitForExit(DWORD timeoutMs = 15000) const {
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    DWORD code = 1;
    GetExitCodeProcess(process_.hProcess, &code);
    return code == 0;
  }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

// Its playlist's titles; wide titles, and in per-user mode its settings
// folder, as newer players do.
TEST(PlayerHost, HandsOutTitlesAndWideTextsUnlessToldToPlayAnOlderHost) {
  // "Ночной город - Νυχτερινή πόλη": the entry no ANSI code page holds.
  const std::wstring nightCity =
      L"\u041d\u043e\u0447\u043d\u043e\u0439 \u0433\u043e\u0440\u043e\u0434 - "
      L"\u039d\u03c5\u03c7\u03c4\u03b5\u03c1\u03b9\u03bd\u03ae \u03c0\u03cc\u03bb\u03b7";
  {
    Install install(false);
    PlayerRun player(install, "--no-registry --per-user");
    ASSERT_NE(player.Window(), nullptr);
    EXPECT_TRUE(IsWindowUnicode(player.Window()));
    std::wstring folder;
    ASSERT_TRUE(player.Answer(1335, 0, folder));
    wchar_t appData[MAX_PATH] = L"";
    EXPECT_EQ(folder,
              std::wstring(appData, GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH)) + L"\\Winamp");
    EXPECT_NE(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    std::vector<std::wstring> titles;
    std::wstring title;
    for (int i = 0; player.WideTitle(i, title); ++i) titles.push_back(title);
    std::vector<std::string> ansiTitles;
    std::string ansi;
    for (int i = 0; player.Title(i, ansi); ++i) ansiTitles.push_back(ansi);
    ASSERT_GE(ansiTitles.size(), 3u);
    auto any = [&](auto predicate) { return std::any_of(ansiTitles.begin(), ansiTitles.end(), predicate); };
    EXPECT_TRUE(any([](const std::string& t) { return t.find('&') != std::string::npos; }));
    EXPECT_TRUE(any([](const std::string& t) { return t.find('\xE9') != std::string::npos; }));
    EXPECT_TRUE(any([](const std::string& t) { return t.size() > 255; }));
    EXPECT_EQ(player.Request(212, ansiTitles.size()), 0);
    EXPECT_EQ(player.Request(212, static_cast<WPARAM>(-1)), 0);
    ASSERT_EQ(titles.size(), ansiTitles.size());  // every entry has both
    EXPECT_EQ(titles[1], nightCity);
    // The code page cannot hold it.
    EXPECT_EQ(ansiTitles[1].find_first_not_of("?- "), std::string::npos) << ansiTitles[1];
    EXPECT_EQ(ansiTitles[1].size(), nightCity.size());
    EXPECT_NE(std::find(titles.begin(), titles.end(), L"Caf\u00e9 Noir - Le Petit D\u00e9jeuner"),
              titles.end());
    EXPECT_EQ(player.Request(213, titles.size()), 0);
    // A classic skin, and the answer to a request it does not know.
    EXPECT_EQ(player.Request(633), 0);
    EXPECT_EQ(player.Request(1633), 0);
    EXPECT_EQ(player.Request(365), reinterpret_cast<intptr_t>(player.Window()));
    EXPECT_EQ(player.Request(9999), 1);
    EXPECT_TRUE(player.Quit());
  }
  Install install(false);
  PlayerRun older(install, "--no-registry --no-wide-titles --2x");
  ASSERT_NE(older.Window(), nullptr);
  EXPECT_FALSE(IsWindowUnicode(older.Window()));  // the 2.x player's 8-bit windows
  char caption[64] = "";
  GetWindowTextA(older.Window(), caption, sizeof caption);
  EXPECT_STREQ(caption, "1. Demo Ensemble - Opening Theme - Winamp");
  EXPECT_EQ(older.Request(213, 0), 0);
  EXPECT_EQ(older.Request(213, 1), 0);
  EXPECT_EQ(older.Request(1335), 0);
  EXPECT_EQ(older.Request(633), 1);  // no skins, nor dialog parents, to ask for
  EXPECT_EQ(older.Request(365), 1);
  std::string ansi;
  EXPECT_TRUE(older.Title(0, ansi));
  EXPECT_TRUE(older.Quit());
}

TEST(PlayerHost, AnswersRequestsAndCarriesOutCommands) {
  Install install(false);
  PlayerRun player(install);
  ASSERT_NE(player.Window(), nullptr);
  // Its playing state: stopped, playing, paused, and the pause command resumes.
  for (auto [command, state] :
       {std::pair<WPARAM, int>{0, 0}, {40045, 1}, {40046, 3}, {40046, 1}, {40047, 0}}) {
    if (command != 0) player.Command(command);
    EXPECT_EQ(player.Request(104), state) << command;
  }
  EXPECT_EQ(player.Request(105, 0), -1);
  EXPECT_GT(player.Request(105, 1), 0);
  EXPECT_EQ(player.Request(125), 0);

  player.Request(102);
  Sleep(300);
  EXPECT_GE(player.Request(105, 0), 200);
  player.Request(106, 60000);
  intptr_t sought = player.Request(105, 0);
  EXPECT_GE(sought, 60000);
  EXPECT_LT(sought, 61000);
  player.Command(40148);
  EXPECT_GE(player.Request(105, 0), 65000);
  player.Command(40144);
  player.Command(40144);
  EXPECT_LT(player.Request(105, 0), 61000);

  player.Command(40048);
  EXPECT_EQ(player.Request(125), 1);
  EXPECT_LT(player.Request(105, 0), 1000);
  player.Command(40044);
  player.Command(40044);
  EXPECT_GT(player.Request(125), 1);  // previous wraps to the end

  struct Toggle {
    WPARAM command;
    int query;
  };
  for (const Toggle& toggle : {Toggle{40022, 251}, Toggle{40023, 250}}) {
    intptr_t before = player.Request(toggle.query);
    player.Command(toggle.command);
    EXPECT_EQ(player.Request(toggle.query), 1 - before) << toggle.command;
    player.Command(toggle.command);
    EXPECT_EQ(player.Request(toggle.query), before) << toggle.command;
  }

  player.Command(40058);
  EXPECT_EQ(player.Request(122, static_cast<WPARAM>(-666)), 204);  // 200 at start, 4 a step
  player.Command(40046);
  intptr_t paused = player.Request(105, 0);
  Sleep(300);
  EXPECT_EQ(player.Request(105, 0), paused);
  player.Command(40047);
  EXPECT_EQ(player.Request(105, 0), -1);
  EXPECT_TRUE(player.Quit());
}

// What the player told its own main window, in order: "603/<wParam>" for each change notice,
// the code alone for a track start (3003, 13003) and a stop (3043).
std::string HostNotices(const std::string& log) {
  std::string notices;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    unsigned long wParam = 0;
    long code = 0;
    if (std::sscanf(line.c_str(), "Winamp v1.x 0x0400 %lu %ld WM_USER", &wParam, &code) != 2) continue;
    if (code == 603) notices += "603/" + std::to_string(wParam) + " ";
    if (code == 3003 || code == 13003 || code == 3043) notices += std::to_string(code) + " ";
  }
  return notices;
}

// The 5.x player's notices of each change, as its published source sends and posts them, from
// its commands, the volume request and its own Pause button and slider; the 2.x player has none.
TEST(PlayerHost, TellsItsMainWindowOfEachChangeAsThe5xPlayerDoes) {
  constexpr WPARAM kMarker = 49998;  // posted last: its line ends the notices posted before it
  const std::pair<const char*, const char*> kinds[] = {
      {"--no-registry",
       "3003 13003 603/0 603/2 603/0 603/2 603/7 603/0 603/2 603/8 603/1 603/1 603/1 603/0 603/2 603/7 "
       "603/1 3043 603/0 603/2 "},
      {"--no-registry --2x", ""}};
  for (const auto& [args, expected] : kinds) {
    SCOPED_TRACE(args);
    Install install(false);
    PlayerRun player(install, args);
    ASSERT_NE(player.Window(), nullptr);
    player.Request(102);    // a track starts
    player.Command(40046);  // pause, resume
    player.Command(40046);
    player.Command(40058);  // the volume by a command, by the request, and to where it is
    player.Request(122, 100);
    player.Request(122, 100);
    EXPECT_EQ(player.Request(122, static_cast<WPARAM>(-666)), 100);
    player.Request(122, 300);  // the low byte, as the player takes it
    EXPECT_EQ(player.Request(122, static_cast<WPARAM>(-666)), 44);
    // Its own Pause button and volume slider, as a click reports them to the main window.
    HWND pause = FindWindowExA(player.Window(), nullptr, "Button", "Pause");
    HWND slider = FindWindowExA(player.Window(), nullptr, "msctls_trackbar32", nullptr);
    ASSERT_NE(pause, nullptr);
    ASSERT_NE(slider, nullptr);
    SendMessageA(pause, BM_CLICK, 0, 0);
    SendMessageA(slider, TBM_SETPOS, TRUE, 60);
    SendMessageA(player.Window(), WM_HSCROLL, TB_THUMBPOSITION, reinterpret_cast<LPARAM>(slider));
    EXPECT_EQ(player.Request(122, static_cast<WPARAM>(-666)), 60);
    player.Command(40047);
    PostMessageA(player.Window(), WM_COMMAND, kMarker, 0);
    std::string log;
    ASSERT_TRUE(install.AwaitLog("0x0111 49998 0 WM_COMMAND", log));
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
      {"--no-registry", "Winamp v1.x", false},
      {"--no-registry", "Winamp PE", false},
      {"--no-registry", "KlvPlayerJump", true},
      {"--no-registry --2x", "Winamp v1.x", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.args) + " " + c.windowClass);
    Install install(false);
    PlayerRun player(install, c.args);
    ASSERT_NE(player.Window(), nullptr);
    player.Command(40194);  // opens the jump window
    HWND window = FindWindowA(c.windowClass, nullptr);
    ASSERT_NE(window, nullptr);
    const std::string prefix = std::string(c.windowClass) + " 0x";
    std::string log;
    // A WM_CHAR made of the key is posted before the key's dispatch, so it
    // comes before a WM_NULL posted after that.
    PostMessageA(window, WM_KEYDOWN, 'A', 0x001E0001);
    ASSERT_TRUE(install.AwaitLog(prefix + "0100 65 1966081 WM_KEYDOWN", log));
    PostMessageA(window, WM_NULL, 0, 0);
    ASSERT_TRUE(install.AwaitLog(prefix + "0000 0 0 WM_NULL", log));
    EXPECT_EQ(log.find(prefix + "0102 97 1966081 WM_CHAR") != std::string::npos, c.character) << log;
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
      {"--no-registry", 41003, true, 255},
      {"--no-registry --modern", 41004, false, 255},
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
    Install install(false);
    PlayerRun player(install, c.args);
    HWND main = player.Window();
    ASSERT_NE(main, nullptr);
    if (c.command != 0) player.Command(c.command);
    std::string log;
    EXPECT_EQ(install.AwaitLog("Winamp v1.x 0x0400 0 3018 WM_USER", log), c.command != 0) << log;
    HWND skin = FindWindowA("BaseWindow_RootWnd", nullptr);
    HWND container = FindWindowExA(nullptr, skin, "BaseWindow_RootWnd", nullptr);
    // Under the skin a child of its container, which FindWindow does not find.
    HWND playlist = FindWindowExA(c.modern ? container : nullptr, nullptr, "Winamp PE", nullptr);
    EXPECT_EQ(FindWindowA("Winamp PE", nullptr) == nullptr, c.modern);
    EXPECT_EQ((GetWindowLongA(playlist, GWL_STYLE) & WS_CHILD) != 0, c.modern);
    EXPECT_EQ(GetAncestor(playlist, GA_ROOTOWNER), main);
    EXPECT_TRUE(IsWindowVisible(playlist));
    EXPECT_EQ(IsWindowVisible(FindWindowA("Winamp EQ", nullptr)) != FALSE, !c.modern);
    EXPECT_EQ(alphaOf(main), c.modern ? 0 : 255);
    EXPECT_EQ(player.Request(633) >= 0x10000, c.modern);
    EXPECT_EQ(player.Request(365), reinterpret_cast<intptr_t>(c.modern ? skin : main));
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
    EXPECT_TRUE(player.Answer(1633, 0, name));
    EXPECT_EQ(name, L"Stand-in Modern");
    EXPECT_TRUE(player.Quit());
  }
}

TEST(PlayerHost, ExitsByItselfWhenAsked) {
  Install install(false);
  PlayerRun player(install, "--no-registry --exit-after 1000");
  ASSERT_NE(player.Window(), nullptr);
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
  struct Case {
    const char* args;
    int probes;
    bool logOff;
    const char* probeInit;  // what the probe's init returns; null: 0
    const char* probeLog;   // null: not compared (two probes share it)
    const char* playerLog;  // in this order
    const char* absent;     // from the player's log
  };
  const Case cases[] = {
      {"--no-registry", 1, false, nullptr,
       "init parent=1 instance=1 shown=0\nconfig\nquit window=0\ndetach\n",
       "init gen_probe.dll returned 0|windows shown|main window closed|v1.x 0x0002 0 0 WM_DESTROY|"
       "quit gen_probe.dll|player: exit",
       "player: freed"},
      {"--no-registry --play", 1, false, nullptr,
       "init parent=1 instance=1 shown=0\nplay\nconfig\nquit window=0\ndetach\n",
       "init gen_probe.dll returned 0|v1.x 0x0111 40045 0 WM_COMMAND|windows shown", "player: freed"},
      {"--no-registry", 2, false, nullptr, nullptr,
       "init gen_probe.dll returned 0|init gen_second.dll returned 0|v1.x 0x0002 0 0 WM_DESTROY|"
       "quit gen_second.dll|quit gen_probe.dll",
       "player: freed"},
      {"--no-registry", 1, true, nullptr, "init parent=1 instance=1 shown=0\nconfig\nquit window=1\ndetach\n",
       "init gen_probe.dll returned 0|windows shown|session ends|quit gen_probe.dll|player: exit",
       "player: freed"},
      // The 2.x player keeps answering once the plug-in is gone.
      {"--no-registry --2x", 1, false, nullptr,
       "init parent=1 instance=1 shown=1\nconfig\nquit window=1\ndetach\n",
       "windows shown|init gen_probe.dll returned 0|quit gen_probe.dll|freed gen_probe.dll|"
       "v1.x 0x0400 0 105 WM_USER|v1.x 0x0002 0 0 WM_DESTROY",
       "still foreign"},
      {"--no-registry", 1, false, "-1", "init parent=1 instance=1 shown=0\ndetach\n",
       "player: unloaded gen_probe.dll", "player: quit gen_probe.dll"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.args << " probes " << c.probes << (c.logOff ? " log-off" : "")
                                    << (c.probeInit != nullptr ? " refusing init" : ""));
    Install install(true);
    // A second plug-in, loaded after the first by its name.
    const std::string second = install.Dir() + "\\Plugins\\gen_second.dll";
    if (c.probes == 2) CopyFileA(EnvPath("KLV_PROBE").c_str(), second.c_str(), FALSE);
    SetEnvironmentVariableA("KLV_PROBE_INIT", c.probeInit);
    {
      PlayerRun player(install, c.args);
      ASSERT_NE(player.Window(), nullptr);
      player.Command(41000);
      player.Command(49999);  // swallowed by the probe's hook
      player.Command(40048);
      if (c.logOff) {
        SendMessageA(player.Window(), WM_ENDSESSION, TRUE, 0);
        ASSERT_TRUE(player.WaitForExit());
      } else {
        ASSERT_TRUE(player.Quit());
      }
    }
    DeleteFileA(second.c_str());
    if (c.probeLog != nullptr) {
      EXPECT_EQ(ReadFile(install.ProbeLog()), c.probeLog);
    }
    std::string log = ReadFile(install.Log());
    EXPECT_TRUE(InOrder(log, c.playerLog)) << log;
    EXPECT_EQ(log.find(c.absent), std::string::npos) << log;
    EXPECT_EQ(log.find("still foreign"), std::string::npos);
    EXPECT_NE(log.find("Winamp v1.x 0x0111 40048 0 WM_COMMAND"), std::string::npos);
    if (c.probeInit == nullptr) {
      EXPECT_EQ(log.find("0x0111 49999"), std::string::npos);
    }
  }
}

std::string InstallDirectoryValue() {
  char value[MAX_PATH] = "";
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Winamp", nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return "";
  }
  return value;
}

void SetInstallDirectoryValue(const std::string& value) {
  RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Winamp", nullptr, REG_SZ, value.c_str(),
                  static_cast<DWORD>(value.size() + 1));
}

// Across runs it remembers the entry; it writes its directory to the
// registry unless told not to.
TEST(PlayerHost, RemembersTheEntryAndWritesItsDirectoryToTheRegistryUnlessTold) {
  std::string original = InstallDirectoryValue();
  Install install(false);
  SetInstallDirectoryValue("C:\\sentinel");
  {
    PlayerRun first(install, "--no-registry");
    ASSERT_NE(first.Window(), nullptr);
    first.Command(40048);
    first.Command(40048);
    ASSERT_TRUE(first.Quit());
  }
  EXPECT_EQ(InstallDirectoryValue(), "C:\\sentinel");
  {
    PlayerRun second(install, "");
    ASSERT_NE(second.Window(), nullptr);
    EXPECT_EQ(second.Request(125), 2);
    EXPECT_TRUE(second.Quit());
  }
  char full[MAX_PATH];
  GetFullPathNameA(install.Dir().c_str(), MAX_PATH, full, nullptr);
  EXPECT_EQ(InstallDirectoryValue(), std::string(full));
  SetInstallDirectoryValue(original);
}

}  // namespace
