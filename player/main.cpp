// A stand-in for the host media player: three windows with the host's class
// names, the host's requests and commands, and its plug-in lifecycle.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "player/demo_library.h"
#include "player/message_log.h"
#include "player/options.h"
#include "player/player_app.h"
#include "player/player_profile.h"
#include "player/stand_in_commands.h"
#include "player/track_titles.h"

namespace player {

PlayerApp* gApp = nullptr;

namespace {

// Modeless dialogs need the loop's help for Tab, Enter and Escape: the
// system's dialogs (the window or its parent) in the 5.x player, any window
// in a system dialog in the 2.x player; and our own jump list, which stands
// in for the player's dialog.
bool IsDialogFor(HWND window) {
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  return lstrcmpA(className, "#32770") == 0 || window == gApp->jumpWindow;
}

bool RouteDialogMessage(MSG& message) {
  if (message.hwnd == nullptr) return false;
  if (gApp->classicHost) {
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    return root != nullptr && IsDialogFor(root) && IsDialogMessageA(root, &message);
  }
  HWND dialog = IsDialogFor(message.hwnd) ? message.hwnd : GetParent(message.hwnd);
  return dialog != nullptr && IsDialogFor(dialog) && IsDialogMessageW(dialog, &message);
}

// The 5.x player's loop: wide, and keys are made characters for every window
// but its own three.
int RunWideMessageLoop() {
  MSG message;
  for (;;) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
      if (RouteDialogMessage(message)) continue;
      HWND target = message.hwnd;
      if (target != gApp->mainWindow && target != gApp->playlistWindow && target != gApp->equalizerWindow) {
        TranslateMessage(&message);
      }
      DispatchMessageW(&message);
    }
    WaitMessage();
  }
}

// The 2.x player's loop, of its windows' 8-bit kind: a wide loop would pass
// typed characters through the code page on their way to them.
int RunNarrowMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (RouteDialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

// The 5.x player: windows made, plug-ins started, then the windows shown
// from the loop; at the end the windows are gone before any quit.
int Run5x(const Options& options) {
  // The skin engine, a plug-in loaded before the others, has its skin in place by their init.
  if (options.modernSkin) LoadModernSkin();
  gApp->plugins = LoadPlugins(gApp->directory, gApp->mainWindow);
  LogEvent("%u plug-in(s) running", static_cast<unsigned>(gApp->plugins.size()));
  if (options.play) SendMessageW(gApp->mainWindow, WM_COMMAND, klv::kCommandPlay, 0);
  ShowPlayerWindowsOnceTheLoopRuns();
  int exitCode = RunWideMessageLoop();
  QuitPlugins(gApp->plugins);
  // Right after the plug-ins' quit the 5.x player deletes its services.
  if (gApp->albumArt) gApp->albumArt->TearDown();
  SavePlayerState(gApp->directory, gApp->playback);
  if (gApp->albumArt) LogEvent("service calls after quit %ld", gApp->albumArt->Faults());
  LogEvent("exit");
  return exitCode;
}

// The 2.x player: windows shown, plug-ins started; at the end quit and
// unload while the windows are still there.
int Run2x(const Options& options) {
  ShowPlayerWindows();
  gApp->plugins = LoadPlugins(gApp->directory, gApp->mainWindow);
  LogEvent("%u plug-in(s) running", static_cast<unsigned>(gApp->plugins.size()));
  if (options.play) SendMessageA(gApp->mainWindow, WM_COMMAND, klv::kCommandPlay, 0);
  int exitCode = RunNarrowMessageLoop();
  UnloadPlugins(gApp->plugins);
  RestoreOwnWindowProcedures();
  // The player goes on answering after its plug-ins are gone.
  LRESULT position = SendMessageA(gApp->mainWindow, WM_USER, 0, klv::kHostPosition);
  LogEvent("position after unload %ld", static_cast<long>(position));
  SavePlayerState(gApp->directory, gApp->playback);
  DestroyPlayerWindows();
  LogEvent("exit");
  return exitCode;
}

}  // namespace
}  // namespace player

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace player;
  Options options;
  std::string error;
  if (!ParseOptions(__argc, __argv, options, error)) {
    MessageBoxA(nullptr, error.c_str(), "Winamp stand-in", MB_OK | MB_ICONERROR);
    return 2;
  }
  if (!options.logPath.empty() && !OpenMessageLog(options.logPath.c_str())) return 3;

  const std::string directory = ExeDirectory();
  std::vector<Track> tracks = WithBothTitles(DemoPlaylist());
  PlaceDemoLibrary(directory, tracks);
  static PlayerApp app{
      directory, Playback(std::move(tracks), GetTickCount()), nullptr, nullptr, nullptr, nullptr, {}, 0};
  gApp = &app;
  app.exitAfterMs = options.exitAfterMs;
  app.wideTitles = options.wideTitles;
  app.classicHost = options.classicHost;
  app.skinAlpha = static_cast<BYTE>(options.skinAlpha);
  // Serves the pictures beside the files, as the 5.x player's album art service
  // does for files without a picture of their own.
  if (!app.classicHost) app.albumArt = std::make_unique<AlbumArtService>(ReadPictureBeside);
  LogEvent("directory %s", app.directory.c_str());
  if (options.writeRegistry) {
    bool written = WriteInstallDirectory(app.directory);
    LogEvent("registry %s", written ? "written" : "not written");
  }
  if (options.perUser) app.settingsFolder = PerUserSettingsFolder();
  LoadPlayerState(app.directory, app.playback);
  LogEvent("entry %d", app.playback.Index());

  // As the 5.x player does before its plug-ins: their common controls are then no cost of theirs.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  if (!RegisterPlayerClasses(instance) || !CreatePlayerWindows(instance)) {
    LogEvent("cannot create the windows");
    return 1;
  }
  int exitCode = app.classicHost ? Run2x(options) : Run5x(options);
  CloseMessageLog();
  return exitCode;
}
